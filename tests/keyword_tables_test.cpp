#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/keyword_tables/decomposition.h"
#include "tools/keyword_tables/table_builder.h"

namespace mardovane::tables {
namespace {

std::vector<DecompositionRecord> records(const std::string& utf8) {
    return parse_decomposition(utf8).records;
}

std::u16string pairs_as_text(const BuiltTable& table) {
    std::u16string text;
    for (const auto& pair : table.pairs) {
        text += pair.character;
        text += u'→';
        text += pair.replacement;
        text += u' ';
    }
    return text;
}

TEST(Decomposition, ParsesThePackagedForm) {
    const auto parsed = parse_decomposition(
        "module.exports = `10001:ra(丨)\n好:a(女,子)\n亅:me(亅)亅\n湖:a(氵,胡)`;\n");
    ASSERT_EQ(parsed.records.size(), 3u);
    EXPECT_EQ(parsed.skipped_lines, 1u);
    EXPECT_EQ(parsed.records[1].character, u"好");
    EXPECT_EQ(parsed.records[1].kind, "a");
    EXPECT_EQ(parsed.records[1].components, (std::vector<std::u16string>{u"女", u"子"}));
    EXPECT_EQ(parsed.records[0].components, (std::vector<std::u16string>{u"丨"}));
}

struct BuildCase {
    const char* name;
    std::string data;
    std::u16string default_table;
    std::u16string full_table;
};

TEST(BuildTable, TakesOnlyTheSplitsThatReadWell) {
    const std::vector<BuildCase> cases = {
        {"left-right", "好:a(女,子)", u"好→女子 ", u"好→女子 "},
        {"three across", "謝:a(言,身,寸)", u"謝→言身寸 ", u"謝→言身寸 "},
        {"repetitions", "林:ra(木)\n森:r3tr(木)\n品:r3tr(口)", u"品→口口口 林→木木 森→木木木 ",
         u"品→口口口 林→木木 森→木木木 "},
        {"bottom-left enclosure", "这:sbl(辶,文)", u"这→辶文 ", u"这→辶文 "},
        {"top-bottom only in the full table", "李:d(木,子)\n多:rd(夕)", u"", u"多→夕夕 李→木子 "},
        {"other configurations left out", "国:s(囗,玉)\n爱:d/t(爫,友)\n司:stl(𠃌,口)", u"", u""},
        {"radical form outside GBK becomes its full form", "笑:d(⺮,夭)\n路:a(⻊,各)", u"路→足各 ",
         u"笑→竹夭 路→足各 "},
        {"intermediate shape left out", "尝:a(21648,云)", u"", u""},
        {"component outside GBK left out", "场:a(土,𠃏)", u"", u""},
        {"character outside GBK left out", "𠀀:a(女,子)", u"", u""},
        {"private use left out", "好:a(女,\uE000)", u"", u""},
        {"self-map left out", "口:a(口,一)", u"", u""},
        {"first usable record wins", "好:c()\n好:a(女,子)\n好:a(子,女)", u"好→女子 ", u"好→女子 "},
        {"cycles left out, the rest kept", "甲:a(乙,一)\n乙:a(甲,一)\n丙:a(甲,人)", u"丙→甲人 ",
         u"丙→甲人 "},
        // A component's pair comes first, so one click splits one level; else code point.
        {"component before its users", "湖:a(氵,胡)\n胡:a(古,月)\n明:a(日,月)",
         u"明→日月 胡→古月 湖→氵胡 ", u"明→日月 胡→古月 湖→氵胡 "},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(pairs_as_text(build_table(records(test.data), TableKind::Default)),
                  test.default_table)
            << test.name;
        EXPECT_EQ(pairs_as_text(build_table(records(test.data), TableKind::Full)), test.full_table)
            << test.name;
    }
}

TEST(BuildTable, CountsCharactersLeftOutForCycles) {
    const auto built = build_table(records("甲:a(乙,一)\n乙:a(丙,一)\n丙:a(甲,一)\n丁:a(丁,一)"),
                                   TableKind::Default);
    EXPECT_EQ(built.left_out_for_cycles, 3u);
    EXPECT_TRUE(built.pairs.empty());
}

TEST(KeywordFileBytes, AreGbkWithCrLfAfterEveryLine) {
    EXPECT_EQ(to_keyword_file({{u'好', u"女子"}}), "\xBA\xC3\r\n\xC5\xAE\xD7\xD3\r\n");
    EXPECT_EQ(to_keyword_file({}), "");
}

}  // namespace
}  // namespace mardovane::tables
