#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/keyword_tables/decomposition.h"
#include "tools/keyword_tables/level_check.h"
#include "tools/keyword_tables/piece_splitter.h"
#include "tools/keyword_tables/stroke_check.h"
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

// Builds both tables of each case's data and compares them with what the case expects.
void expect_tables(const std::vector<BuildCase>& cases, const Overrides& overrides = {},
                   const CharacterFacts& facts = {}) {
    for (const auto& test : cases) {
        EXPECT_EQ(
            pairs_as_text(build_table(records(test.data), TableKind::Default, overrides, facts)),
            test.default_table)
            << test.name;
        EXPECT_EQ(pairs_as_text(build_table(records(test.data), TableKind::Full, overrides, facts)),
                  test.full_table)
            << test.name;
    }
}

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
        {"no bare strokes", "儿:a(丿,乚)\n川:r3a(丨)\n旦:d(日,一)\n主:d(丶,王)", u"", u""},
        {"乙 is a character of its own, written as its stroke too", "亿:a(亻,㇠)\n钇:a(钅,乙)",
         u"亿→亻乙 钇→钅乙 ", u"亿→亻乙 钇→钅乙 "},
        {"the two dots of 丷 are a component, and a known top", "并:d(丷,开)\n兑:d(丷,兄)",
         u"兑→丷兄 并→丷开 ", u"兑→丷兄 并→丷开 "},
        {"units stay whole", "二:rd(一)\n疒:a(亠,广)\n丬:a(亠,丨)\n石:stl(厂,口)", u"", u""},
        {"pieces readers do not know leave it whole", "福:a(礻,畐)", u"", u""},
        {"a component GBK lacks spelled out by its own split", "得:a(彳,㝵)\n㝵:d(旦,寸)",
         u"得→彳旦寸 ", u"得→彳旦寸 "},
        {"a numbered shape as the pieces it stacks", "尝:a(21648,云)\n21648:a(口,口)",
         u"尝→口口云 ", u"尝→口口云 "},
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
    expect_tables(cases);
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

// A few lines of Unihan and CJKRadicals.txt, as Debian's unicode-data has them.
const CharacterFacts& small_facts() {
    static const CharacterFacts facts = parse_character_facts(
        "# Unihan_Variants.txt\n"
        "U+9580\tkSimplifiedVariant\tU+95E8\n"   // 門 → 门
        "U+95E8\tkTraditionalVariant\tU+9580\n"  // 门 → 門
        "U+99AC\tkSimplifiedVariant\tU+9A6C\n"   // 馬 → 马
        "U+9A6C\tkTraditionalVariant\tU+99AC\n"
        "U+5011\tkSimplifiedVariant\tU+4EEC\n"  // 們 → 们
        "U+4EEC\tkTraditionalVariant\tU+5011\n"
        "U+5011\tkSemanticVariant\tU+4EEC<kMatthews\n",
        "U+9580\tkTotalStrokes\t8\nU+8A18\tkTotalStrokes\t10\nU+8A00\tkTotalStrokes\t7\n"
        "U+51E0\tkTotalStrokes\t2\nU+5DF1\tkTotalStrokes\t3\nU+91CC\tkTotalStrokes\t7\n"
        "U+7530\tkTotalStrokes\t5\nU+571F\tkTotalStrokes\t3\nU+2000B\tkTotalStrokes\t6\n",
        "# CJKRadicals.txt\n169; 2FA8; 9580\n169'; 2EC6; 95E8\n187; 2FBA; 99AC\n");
    return facts;
}

TEST(CharacterFacts, ReadsVariantsStrokesAndRadicals) {
    const auto& facts = small_facts();
    EXPECT_TRUE(facts.is_traditional_only(u'門'));
    EXPECT_TRUE(facts.is_simplified_only(u'门'));
    EXPECT_FALSE(facts.is_traditional_only(u'门'));
    EXPECT_EQ(facts.simplified_of_traditional(u'門'), std::u16string(u"门"));
    EXPECT_EQ(facts.stroke_count(u'記'), 10);
    EXPECT_EQ(facts.stroke_count(u'好'), std::nullopt);
    EXPECT_EQ(facts.radicals, (std::set<char16_t>{u'門', u'门', u'馬'}));
}

TEST(BuildTable, SplitsEachScriptIntoItsOwnPieces) {
    const std::vector<BuildCase> cases = {
        {"traditional pieces for traditional text", "們:a(亻,門)\n問:st(門,口)\n媽:a(女,馬)",
         u"們→亻門 問→門口 媽→女馬 ", u"們→亻門 問→門口 媽→女馬 "},
        {"simplified pieces for simplified text", "们:a(亻,门)", u"们→亻门 ", u"们→亻门 "},
        {"no traditional piece in simplified text", "们:a(亻,門)", u"", u""},
        {"no simplified piece in traditional text", "們:a(亻,门)", u"", u""},
        {"radicals of either script stay whole", "門:a(37001,37002)\n馬:a(匚,灬)\n门:a(丶,冂)", u"",
         u""},
    };
    expect_tables(cases, {}, small_facts());
}

TEST(BuildTable, TakesFamiliarPiecesWrappingPiecesAndRiddles) {
    const Overrides overrides = parse_overrides(
        "+夬\t-\tthe right of 快\n!出\t山山\ttwo 山\n~37333\t爫冖\tthe top of 爱\n");
    const auto data = records(
        "快:a(忄,夬)\n出:d(凵,山)\n题:sbl(是,页)\n爬:sbl(爪,巴)\n早:d/t(日,十)\n"
        "爱:d(37333,友)");
    EXPECT_EQ(pairs_as_text(build_table(data, TableKind::Default, overrides)),
              u"快→忄夬 早→日十 爬→爪巴 爱→爫冖友 题→是页 ");
    EXPECT_EQ(pairs_as_text(build_table(data, TableKind::Full, overrides)),
              u"出→山山 快→忄夬 早→日十 爬→爪巴 爱→爫冖友 题→是页 ");
    EXPECT_THROW(parse_overrides("+夬夬\t-\ttwo\n"), std::runtime_error);
}

TEST(StrokeCheck, ListsPairsWhosePiecesDoNotAddUp) {
    const std::vector<KeywordPair> pairs = {
        {u'記', u"言几"},  // one stroke short: the right is 己
        {u'記', u"言己"},  // adds up
        {u'里', u"田土"},  // one stroke shared: accepted
        {u'門', u"言言"},  // far too many
        {u'好', u"女子"},  // counts unknown: not judged
    };
    const auto differences = stroke_differences(pairs, small_facts());
    ASSERT_EQ(differences.size(), 2u);
    EXPECT_EQ(differences[0].pair.replacement, u"言几");
    EXPECT_EQ(differences[0].character_strokes, 10);
    EXPECT_EQ(differences[0].piece_strokes, 9);
    EXPECT_EQ(differences[1].pair.replacement, u"言言");

    const auto reviewed = parse_stroke_review("# reviewed\n門\t言言\ta reason\n記\t言己\tother\n");
    const auto left = unreviewed(differences, reviewed);
    ASSERT_EQ(left.size(), 1u);  // reviewed with other pieces: still listed
    EXPECT_EQ(left[0].pair.replacement, u"言几");
    EXPECT_THROW(parse_stroke_review("門\t言言\n"), std::runtime_error);
}

// Variants, strokes and simplified forms for the rules on the form of a piece.
const CharacterFacts& variant_facts() {
    static const CharacterFacts facts = parse_character_facts(
        "U+5185\tkTraditionalVariant\tU+5167 U+5185\n"  // 内: 內 and itself
        "U+5167\tkSimplifiedVariant\tU+5185\n"
        "U+7D0D\tkSimplifiedVariant\tU+7EB3\n"                 // 納 → 纳
        "U+5436\tkSimplifiedVariant\tU+5450\n"                 // 吶 → 呐
        "U+5E76\tkTraditionalVariant\tU+4E26 U+4F75 U+5E76\n"  // 并: 並 併 and itself
        "U+4E26\tkSimplifiedVariant\tU+5E76\n"
        "U+4F75\tkSimplifiedVariant\tU+5E76\n"
        "U+9905\tkSimplifiedVariant\tU+997C\n"          // 餅 → 饼
        "U+866B\tkTraditionalVariant\tU+866B U+87F2\n"  // 虫: itself and 蟲
        "U+87F2\tkSimplifiedVariant\tU+866B\n"
        "U+87EC\tkSimplifiedVariant\tU+8749\n"   // 蟬 → 蝉
        "U+55AE\tkSimplifiedVariant\tU+5355\n"   // 單 → 单
        "U+5415\tkTraditionalVariant\tU+5442\n"  // 吕 → 呂
        "U+5442\tkSimplifiedVariant\tU+5415\n"
        "U+92C1\tkSimplifiedVariant\tU+94DD\n"  // 鋁 → 铝
        "U+8F29\tkSimplifiedVariant\tU+8F88\n"  // 輩 → 辈
        "U+8ECA\tkSimplifiedVariant\tU+8F66\n"  // 車 → 车
        "U+8F66\tkTraditionalVariant\tU+8ECA\n",
        "U+5185\tkTotalStrokes\t4\nU+5167\tkTotalStrokes\t4\nU+5E76\tkTotalStrokes\t6\n"
        "U+4E26\tkTotalStrokes\t8\nU+866B\tkTotalStrokes\t6\nU+87F2\tkTotalStrokes\t18\n"
        "U+5415\tkTotalStrokes\t6\nU+5442\tkTotalStrokes\t7\nU+5DFF\tkTotalStrokes\t4\n"
        "U+5341\tkTotalStrokes\t2\nU+5DFE\tkTotalStrokes\t3\nU+58F4\tkTotalStrokes\t9\n"
        "U+58EB\tkTotalStrokes\t3\nU+8C46\tkTotalStrokes\t7\nU+65E6\tkTotalStrokes\t5\n"
        "U+5BF8\tkTotalStrokes\t3\nU+3775\tkTotalStrokes\t8\n",
        "");
    return facts;
}

TEST(BuildTable, DrawsTraditionalCharactersWithTraditionalPieces) {
    const std::vector<BuildCase> cases = {
        {"a form both scripts write, drawn as traditional text draws it",
         "吶:a(口,內)\n納:a(糹,内)", u"吶→口內 納→糸內 ", u"吶→口內 納→糸內 "},
        {"not without a shape the data draws with the traditional form", "納:a(糹,内)", u"納→糸内 ",
         u"納→糸内 "},
        {"a piece simplification merged with several characters keeps its form",
         "餅:a(飠,并)\n碰:a(石,並)", u"碰→石並 餅→食并 ", u"碰→石並 餅→食并 "},
        {"a form many strokes apart is another character", "蟬:a(虫,單)\n蠱:d(蟲,皿)",
         u"蟬→虫單 蠱→蟲皿 ", u"蟬→虫單 蠱→蟲皿 "},
        {"a piece only simplified text writes, in its traditional form", "鋁:a(金,吕)", u"鋁→金呂 ",
         u"鋁→金呂 "},
    };
    const Overrides overrides = parse_overrides("~糹\t糸\tthe side form\n~飠\t食\tthe side form\n");
    expect_tables(cases, overrides, variant_facts());
}

TEST(BuildTable, LeavesWholeWhatNoPiecesSpell) {
    const auto data =
        records("沛:a(氵,巿)\n巿:d/m(十,巾)\n樹:a(木,尌)\n尌:a(壴,寸)\n得:a(彳,㝵)\n㝵:d(旦,寸)");
    const Overrides reviewed_rewrite = parse_overrides("~壴\t士豆\tthe left of 鼓\n");
    // 巿 has four strokes and 十巾 five: found, and 沛 stays whole; 尌 spelled through a
    // reviewed rewrite is taken as reviewed, and 㝵 adds up.
    EXPECT_EQ(pairs_as_text(build_table(data, TableKind::Full, reviewed_rewrite, variant_facts())),
              u"尌→士豆寸 巿→十巾 得→彳旦寸 樹→木士豆寸 ");
    const auto found = unspellable_shapes(data, TableKind::Full, reviewed_rewrite, variant_facts());
    EXPECT_EQ(found, (std::map<char16_t, std::u16string>{{u'巿', u"十巾"}}));

    // Once recorded, the shape stays whole wherever it stands, and no longer counts as found.
    const Overrides recorded = parse_overrides("~壴\t士豆\tthe left of 鼓\n=巿\t-\tfour strokes\n");
    EXPECT_EQ(pairs_as_text(build_table(records("沛:a(氵,巿)\n巿:d/m(十,巾)\n杮:a(木,巿)"),
                                        TableKind::Full, recorded, variant_facts())),
              u"");
    EXPECT_TRUE(unspellable_shapes(data, TableKind::Full, recorded, variant_facts()).empty());
}

TEST(BuildTable, SplitsStackedPartsAsTheDataShowsThem) {
    const std::string own = "猒:a(明,犬)\n明:a(日,月)\n";
    const std::vector<BuildCase> cases = {
        {"the data's own shape stacks the parts", own + "28527:d(日,月)\n38207:a(28527,犬)",
         u"明→日月 猒→日月犬 ", u"明→日月 猒→日月犬 "},
        {"no stacked shape of the same record", own + "28527:d(日,月)\n38207:a(28527,口)",
         u"明→日月 猒→明犬 ", u"明→日月 猒→明犬 "},
        {"a character of its own with the stacked parts is another character",
         own + "㬆:d(日,月)\n𤞞:a(㬆,犬)", u"明→日月 猒→明犬 ", u"明→日月 猒→明犬 "},
    };
    expect_tables(cases);
}

TEST(BuildTable, TakesTraditionalTopBottomSplitsAsTheSimplifiedOnes) {
    // 非 over 车 reads well, both being among the most common; 非 over 車 the same.
    const auto data = records("辈:d(非,车)\n輩:d(非,車)\n骂:d(吅,马)");
    const Overrides overrides = parse_overrides("~吅\t口口\ttwo 口\n");
    EXPECT_EQ(pairs_as_text(build_table(data, TableKind::Default, overrides, variant_facts())),
              u"輩→非車 辈→非车 骂→口口马 ");
}

// Strokes as Unihan counts them, for the numbered shapes' checks.
CharacterFacts stroke_facts(int tan_strokes) {
    return parse_character_facts(
        "U+9D3B\tkSimplifiedVariant\tU+9E3F\nU+9E3F\tkTraditionalVariant\tU+9D3B\n"   // 鴻 鸿
        "U+9CE5\tkSimplifiedVariant\tU+9E1F\nU+9E1F\tkTraditionalVariant\tU+9CE5\n",  // 鳥 鸟
        "U+8983\tkTotalStrokes\t" + std::to_string(tan_strokes) +
            "\nU+897F\tkTotalStrokes\t6\nU+65E9\tkTotalStrokes\t6\n",  // 覃 西 早
        "");
}

TEST(BuildTable, ReadsNumberedShapesAsTheCharactersTheyDraw) {
    const std::string tan = "潭:a(氵,37079)\n37079:d(西,早)\n覃:d(覀,早)\n";
    const std::vector<std::pair<BuildCase, int>> cases = {
        {{"the same parts and strokes, 西 drawn as 覀", tan, u"覃→覀早 潭→氵覃 ",
          u"覃→覀早 潭→氵覃 "},
         12},
        {{"strokes that differ: another shape, spelled out", tan, u"潭→氵西早 覃→覀早 ",
          u"潭→氵西早 覃→覀早 "},
         13},
        {{"a surround's parts listed the other way",
          "涵:a(氵,37324)\n37324:sb(37450,凵)\n函:sb(凵,37450)\n37450:w(了,37036)", u"涵→氵函 ",
          u"涵→氵函 "},
         12},
        {{"a plain stack with a component form, in the default table too",
          "浆:d(37194,水)\n37194:a(丬,夕)", u"浆→丬夕水 ", u"浆→丬夕水 "},
         12},
    };
    for (const auto& [test, strokes] : cases) {
        expect_tables({test}, {}, stroke_facts(strokes));
    }
}

TEST(BuildTable, SplitsOneLevelAClick) {
    const std::vector<BuildCase> cases = {
        {"a row's last piece joins the piece after it", "唎:a(咊,刂)\n咊:a(口,禾)\n利:a(禾,刂)",
         u"利→禾刂 咊→口禾 唎→口利 ", u"利→禾刂 咊→口禾 唎→口利 "},
        {"but a first piece never the piece before it",
         "傚:a(亻,45642)\n45642:a(交,夂)\n佼:a(亻,交)", u"佼→亻交 傚→亻交夂 ",
         u"佼→亻交 傚→亻交夂 "},
        {"pieces that make a character in the same arrangement",
         "硦:a(石,37131)\n37131:d(王,廾)\n弄:d(王,廾)", u"硦→石弄 ", u"弄→王廾 硦→石弄 "},
        {"a traditional character keeps its simplified form's level",
         "鸿:a(江,鸟)\n鴻:a(氵,䲨)\n䲨:a(工,鳥)\n江:a(氵,工)", u"江→氵工 鴻→江鳥 鸿→江鸟 ",
         u"江→氵工 鴻→江鳥 鸿→江鸟 "},
        {"行 holds the other part between its halves", "銜:a(行,金)", u"銜→彳金亍 ", u"銜→彳金亍 "},
    };
    expect_tables(cases, {}, stroke_facts(12));
}

// A shape GBK has no character for, inside a component being spelled out, is spelled out
// in turn, where the pieces add up to the character's strokes exactly.
TEST(BuildTable, SpellsShapesInsideShapesWhereTheStrokesAddUp) {
    const auto facts = [](int bian_strokes) {
        return parse_character_facts("",
                                     "U+908A\tkTotalStrokes\t" + std::to_string(bian_strokes) +
                                         "\nU+8FB6\tkTotalStrokes\t3\nU+81EA\tkTotalStrokes\t6\n"
                                         "U+7A74\tkTotalStrokes\t5\nU+65B9\tkTotalStrokes\t4\n"
                                         "U+5AB2\tkTotalStrokes\t13\nU+5973\tkTotalStrokes\t3\n"
                                         "U+56DF\tkTotalStrokes\t6\nU+6BD4\tkTotalStrokes\t4\n"
                                         "U+56A0\tkTotalStrokes\t15\nU+53E3\tkTotalStrokes\t3\n"
                                         "U+536F\tkTotalStrokes\t5\nU+79BE\tkTotalStrokes\t5\n"
                                         "U+5202\tkTotalStrokes\t2\n",
                                     "");
    };
    const std::string bian = "邊:sbl(辶,臱)\n臱:d(自,37233)\n37233:d(穴,方)\n";
    const std::vector<std::pair<BuildCase, int>> cases = {
        {{"pieces that add up", bian, u"臱→自穴方 邊→辶自穴方 ", u"臱→自穴方 邊→辶自穴方 "}, 18},
        {{"pieces a stroke short", bian, u"臱→自穴方 ", u"臱→自穴方 "}, 19},
        // 比 (a unit) is recorded as 匕 twice in a row: the pieces 匕匕 in a row are 比.
        {{"a repetition is the character it repeats",
          "媲:a(女,37102)\n37102:d(囟,37103)\n"
          "37103:a(匕,匕)\n比:ra(匕)",
          u"媲→女囟比 ", u"媲→女囟比 "},
         18},
        // 禾 stands under 卯, not alone at the end of the row: it does not join 刂 as 利.
        {{"a piece inside a stack joins nothing across the row",
          "嚠:a(37569,刂)\n37569:a(口,37570)\n37570:d(卯,禾)\n利:a(禾,刂)", u"利→禾刂 嚠→口卯禾刂 ",
          u"利→禾刂 嚠→口卯禾刂 "},
         18},
    };
    for (const auto& [test, strokes] : cases) {
        expect_tables({test}, {}, facts(strokes));
    }
}

// The generator's check of one level a click: a pair that writes out the pieces of a
// component the data names, at the first level or inside a spelled-out component.
TEST(LevelCheck, FindsPairsThatWriteOutANamedComponent) {
    struct Case {
        const char* name;
        std::string data;
        std::map<char16_t, CharacterSplit> splits;
        std::string overrides;
        std::u16string expected;  // character and component of each pair found
    };
    const auto split = [](std::u16string pieces, std::string rule = "") {
        CharacterSplit made;
        made.pieces = std::move(pieces);
        made.rule = std::move(rule);
        return made;
    };
    const std::vector<Case> cases = {
        {"a named component written out",
         "聈:a(耳,幼)\n幼:a(幺,力)",
         {{u'聈', split(u"耳幺力")}, {u'幼', split(u"幺力")}},
         "",
         u"聈幼"},
        {"a named component kept",
         "聈:a(耳,幼)\n幼:a(幺,力)",
         {{u'聈', split(u"耳幼")}, {u'幼', split(u"幺力")}},
         "",
         u""},
        {"named inside a spelled-out component",
         "湧:a(氵,勈)\n勈:a(幼,心)\n幼:a(幺,力)",
         {{u'湧', split(u"氵幺力心")}, {u'幼', split(u"幺力")}},
         "",
         u"湧幼"},
        {"the parts the data stacks are meant",
         "猒:a(明,犬)\n明:a(日,月)",
         {{u'猒', split(u"日月犬", kStackedPartsRule)}, {u'明', split(u"日月")}},
         "",
         u""},
        {"a reviewed pair stands",
         "聈:a(耳,幼)\n幼:a(幺,力)",
         {{u'聈', split(u"耳幺力")}, {u'幼', split(u"幺力")}},
         "聈\t耳幺力\treviewed\n",
         u""},
    };
    for (const auto& test : cases) {
        const Overrides overrides = parse_overrides(test.overrides);
        const CharacterFacts facts;
        std::u16string found;
        for (const auto& [pair, component] : skipped_levels(
                 records(test.data), test.splits, overrides, ReaderRules(facts, overrides))) {
            found += std::u16string{pair.character, component};
        }
        EXPECT_EQ(found, test.expected) << test.name;
    }
}

// A riddle is the fuller table's; the default table takes the reviewed split the eye sees
// where there is one (卡 上卜), and leaves the rest whole, whatever the data says (天).
TEST(BuildTable, KeepsRiddlesForTheFullerTableAndTheReviewedSplitForTheDefault) {
    const Overrides overrides =
        parse_overrides("卡\t上卜\t上 over 卜\n!卡\t上下\tneither\n!天\t二人\ta riddle\n");
    expect_tables({{"riddles beside a split the eye sees", "卡:d/t(上,卜)\n天:d/t(二,大)",
                    u"卡→上卜 ", u"卡→上下 天→二人 "}},
                  overrides);
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
