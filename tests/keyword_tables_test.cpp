#include <gtest/gtest.h>

#include <stdexcept>
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
    return pairs_as_text(table.pairs);
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
        {"three across", "谢:a(讠,身,寸)", u"谢→讠身寸 ", u"谢→讠身寸 "},
        {"repetitions", "林:ra(木)\n森:r3tr(木)\n品:r3tr(口)", u"品→口口口 林→木木 森→木木木 ",
         u"品→口口口 林→木木 森→木木木 "},
        {"enclosures that read well", "这:sbl(辶,文)\n国:s(囗,玉)\n问:st(门,口)\n店:stl(广,占)",
         u"国→囗玉 店→广占 这→辶文 问→门口 ", u"国→囗玉 店→广占 这→辶文 问→门口 "},
        {"other enclosures left out", "司:stl(𠃌,口)\n凶:sb(凵,乂)\n同:st(冂,口)", u"", u""},
        {"top-bottom with a well-known top or bottom", "花:d(艹,化)\n想:d(相,心)",
         u"想→相心 花→艹化 ", u"想→相心 花→艹化 "},
        {"top-bottom of two common halves", "李:d(木,子)\n多:rd(夕)", u"多→夕夕 李→木子 ",
         u"多→夕夕 李→木子 "},
        {"other top-bottom only in the full table", "公:d(八,厶)", u"", u"公→八厶 "},
        {"radical form outside GBK becomes its full form", "笑:d(⺮,夭)\n路:a(⻊,各)",
         u"笑→竹夭 路→足各 ", u"笑→竹夭 路→足各 "},
        {"no bare strokes", "儿:a(丿,乚)\n川:r3a(丨)\n旦:d(日,一)\n并:d(丷,开)", u"", u""},
        {"units stay whole", "二:rd(一)\n疒:a(亠,广)\n丬:a(亠,丨)\n石:stl(厂,口)", u"", u""},
        {"pieces readers do not know leave it whole", "福:a(礻,畐)", u"", u""},
        {"a component GBK lacks spelled out by its own split", "得:a(彳,㝵)\n㝵:d(旦,寸)",
         u"得→彳旦寸 ", u"得→彳旦寸 "},
        {"but not a numbered shape", "尝:a(21648,云)\n21648:a(口,口)", u"", u""},
        {"at most four pieces", "𠀋:a(日,月)\n謽:a(言,㚐,寸)\n㚐:a(日,月,口)", u"", u""},
        {"component outside GBK left out", "场:a(土,𠃏)", u"", u""},
        {"character outside GBK left out", "𠀀:a(女,子)", u"", u""},
        {"private use left out", "好:a(女,\uE000)", u"", u""},
        {"self-map left out", "口:a(口,口)", u"", u""},
        {"first usable record wins", "好:c()\n好:a(女,子)\n好:a(子,女)", u"好→女子 ", u"好→女子 "},
        {"cycles left out, the rest kept", "呆:a(杏,口)\n杏:a(呆,口)\n困:a(呆,人)", u"困→呆人 ",
         u"困→呆人 "},
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

TEST(BuildTable, FollowsTheReviewedOverrides) {
    const Overrides overrides = parse_overrides(
        "# a comment\n卉\t十廾\tthe bottom is 廾\n向\t-\treads badly\n~戶\t户\tthe simplified "
        "form\n");
    const auto data = records("卉:d(十,艹)\n向:st(宀,口)\n所:a(戶,斤)\n好:a(女,子)");
    EXPECT_EQ(pairs_as_text(build_table(data, TableKind::Default, overrides)),
              u"卉→十廾 好→女子 所→户斤 ");
    EXPECT_THROW(parse_overrides("卉 十廾\n"), std::runtime_error);
}

TEST(BuildTable, CountsCharactersLeftOutForCycles) {
    const auto built = build_table(records("呆:a(杏,口)\n杏:a(困,口)\n困:a(呆,口)\n回:a(回,口)"),
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
