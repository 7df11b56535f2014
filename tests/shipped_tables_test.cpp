#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/splitter.h"
#include "substitution/file_reader.h"
#include "substitution/keyword_file.h"
#include "substitution/paths.h"
#include "tools/keyword_tables/table_builder.h"

namespace mardovane {
namespace {

const std::filesystem::path kData = MARDOVANE_DATA_DIR;
const std::filesystem::path kDefaultTable = kData / "keyword.info";
const std::filesystem::path kFullTable = kData / "tables" / "keyword-full.info";

class ShippedTable : public ::testing::TestWithParam<std::filesystem::path> {};

TEST_P(ShippedTable, KeepsTheFileFormat) {
    const auto bytes = std::get<std::string>(read_whole_file(GetParam(), FileRole::KeywordFile));
    EXPECT_FALSE(bytes.starts_with("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    std::size_t lone = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool cr_without_lf =
            bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n');
        const bool lf_without_cr = bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r');
        lone += cr_without_lf || lf_without_cr ? 1 : 0;
    }
    EXPECT_EQ(lone, 0u);
}

TEST_P(ShippedTable, EveryPairFollowsTheRules) {
    auto loaded = load_keyword_file(GetParam());
    ASSERT_TRUE(std::holds_alternative<KeywordTable>(loaded));
    const auto& table = std::get<KeywordTable>(loaded);
    EXPECT_FALSE(table.has_unpaired_last_line());
    EXPECT_GT(table.pair_count(), 10000u);

    std::map<char16_t, std::size_t> position;
    for (std::size_t pair = 0; pair < table.pair_count(); ++pair) {
        const auto& find = table.find_text(pair);
        const auto& replacement = table.replacement(pair);
        ASSERT_EQ(find.size(), 1u) << "pair " << pair;
        EXPECT_TRUE(position.emplace(find[0], pair).second) << "duplicate at pair " << pair;
        EXPECT_GE(replacement.size(), 2u) << "pair " << pair;
        EXPECT_LE(replacement.size(), 4u) << "pair " << pair;
        EXPECT_EQ(replacement.find(find[0]), std::u16string::npos) << "self-map at " << pair;
        EXPECT_TRUE(tables::is_gbk_character(find[0])) << "pair " << pair;
        for (const char16_t c : replacement) {
            EXPECT_TRUE(tables::is_gbk_character(c)) << "pair " << pair;
        }
    }
    // One level per click: a component that has a pair of its own has it earlier.
    for (std::size_t pair = 0; pair < table.pair_count(); ++pair) {
        for (const char16_t c : table.replacement(pair)) {
            const auto it = position.find(c);
            EXPECT_TRUE(it == position.end() || it->second < pair) << "order at pair " << pair;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, ShippedTable, ::testing::Values(kDefaultTable, kFullTable));

struct WellKnownSplit {
    std::filesystem::path table;
    const char* clicks;
    std::string text;
    std::string expected;
};

TEST(ShippedTables, SplitWellKnownCharacters) {
    const std::vector<WellKnownSplit> cases = {
        {kDefaultTable, "1", "好", "女子"}, {kDefaultTable, "1", "明", "日月"},
        {kDefaultTable, "1", "林", "木木"}, {kDefaultTable, "1", "们", "亻门"},
        {kDefaultTable, "1", "湖", "氵胡"}, {kDefaultTable, "2", "湖", "氵古月"},
        {kDefaultTable, "1", "这", "辶文"}, {kDefaultTable, "1", "森", "木木木"},
        {kDefaultTable, "1", "李", "李"},   {kFullTable, "1", "李", "木子"},
        {kFullTable, "1", "想", "相心"},    {kFullTable, "1", "岩", "山石"},
    };
    for (const auto& test : cases) {
        std::istringstream in(test.text);
        std::ostringstream out;
        std::ostringstream err;
        const int status = cli::run_splitter(
            {"--keywords", display_path(test.table), "--times", test.clicks}, in, out, err, kData);
        EXPECT_EQ(status, cli::kDone) << err.str();
        EXPECT_EQ(out.str(), test.expected) << test.text << " in " << test.table.filename();
    }
}

}  // namespace
}  // namespace mardovane
