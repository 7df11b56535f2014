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
#include "substitution/text_codec.h"
#include "tools/keyword_tables/piece_forms.h"
#include "tools/keyword_tables/stroke_check.h"
#include "tools/keyword_tables/table_builder.h"

namespace mardovane {
namespace {

const std::filesystem::path kData = MARDOVANE_DATA_DIR;
const std::filesystem::path kDefaultTable = kData / "keyword.info";
const std::filesystem::path kFullTable = kData / "tables" / "keyword-full.info";
const std::filesystem::path kTableTools = MARDOVANE_TABLE_TOOLS_DIR;

std::string read_text(const std::filesystem::path& path) {
    return std::get<std::string>(read_whole_file(path));
}

// The rules as the generator applies them: Unicode's data and our reviewed overrides.
struct Rules {
    tables::CharacterFacts facts = tables::load_character_facts(MARDOVANE_UNICODE_DIR);
    tables::Overrides overrides = tables::parse_overrides(read_text(kTableTools / "overrides.txt"));
    tables::ReaderRules reader{facts, overrides};
};

const Rules& rules() {
    static const Rules loaded;
    return loaded;
}

std::vector<tables::KeywordPair> pairs_of(const KeywordTable& table) {
    std::vector<tables::KeywordPair> pairs;
    for (std::size_t pair = 0; pair < table.pair_count(); ++pair) {
        pairs.push_back({table.find_text(pair)[0], std::u16string(table.replacement(pair))});
    }
    return pairs;
}

class ShippedTable : public ::testing::TestWithParam<std::filesystem::path> {};

TEST_P(ShippedTable, KeepsTheFileFormat) {
    const auto bytes = std::get<std::string>(read_whole_file(GetParam()));
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
        const bool reviewed = rules().overrides.characters.contains(find[0]) ||
                              rules().overrides.riddles.contains(find[0]);
        EXPECT_TRUE(reviewed || !rules().reader.is_unit(find[0]))
            << "a unit split at pair " << pair;
        for (const char16_t c : replacement) {
            EXPECT_TRUE(tables::is_gbk_character(c)) << "pair " << pair;
            EXPECT_TRUE(rules().reader.is_known_piece(c)) << "an obscure piece at pair " << pair;
            EXPECT_TRUE(reviewed || rules().reader.fits(find[0], c))
                << "a piece of the other script at pair " << pair;
            EXPECT_TRUE(reviewed || !tables::is_bare_stroke(c)) << "a bare stroke at pair " << pair;
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

// A test name from a table's file name: keyword-full.info gives keyword_full.
std::string table_name(const std::filesystem::path& table) {
    std::string name = table.stem().string();
    for (char& c : name) {
        c = c == '-' ? '_' : c;
    }
    return name;
}

// Every pair whose pieces' strokes differ from the character's beyond a shared stroke has
// been reviewed, with these very pieces.
TEST_P(ShippedTable, EveryStrokeDifferenceIsReviewed) {
    auto loaded = load_keyword_file(GetParam());
    ASSERT_TRUE(std::holds_alternative<KeywordTable>(loaded));
    const auto reviewed = tables::parse_stroke_review(read_text(kTableTools / "stroke_review.txt"));
    const auto differences =
        tables::stroke_differences(pairs_of(std::get<KeywordTable>(loaded)), rules().facts);
    EXPECT_FALSE(differences.empty());  // the check runs on real counts
    for (const auto& left : tables::unreviewed(differences, reviewed)) {
        ADD_FAILURE() << "not reviewed: U+" << std::hex << static_cast<int>(left.pair.character)
                      << std::dec << ", " << left.character_strokes << " strokes, pieces "
                      << left.piece_strokes;
    }
}

std::vector<tables::KeywordPair> shipped_pairs(const std::filesystem::path& table) {
    auto loaded = load_keyword_file(table);
    EXPECT_TRUE(std::holds_alternative<KeywordTable>(loaded));
    return std::holds_alternative<KeywordTable>(loaded) ? pairs_of(std::get<KeywordTable>(loaded))
                                                        : std::vector<tables::KeywordPair>{};
}

std::string utf8_of(std::u16string_view text) {
    return std::get<std::string>(encode_utf8(std::u16string(text)));
}

// A traditional character is split into the forms traditional text draws: no piece that
// both scripts write (内 吴 争) where the table's other traditional characters use the
// traditional form (內 吳 爭), and no piece that only simplified text writes.
TEST_P(ShippedTable, TraditionalCharactersHaveTraditionalPieces) {
    const auto pairs = shipped_pairs(GetParam());
    const auto& facts = rules().facts;
    const auto in_use = tables::traditional_forms_in_use(pairs, facts);
    EXPECT_TRUE(in_use.contains(u'內') && in_use.contains(u'爭'));  // the check has practice
    for (const auto& pair : pairs) {
        if (!facts.is_traditional_only(pair.character) ||
            rules().overrides.characters.contains(pair.character)) {
            continue;
        }
        for (const char16_t piece : pair.replacement) {
            EXPECT_FALSE(tables::traditional_drawing(piece, in_use, facts).has_value())
                << utf8_of(std::u16string(1, pair.character)) << " → " << utf8_of(pair.replacement)
                << ": the table writes this piece otherwise";
            EXPECT_FALSE(facts.is_simplified_only(piece))
                << utf8_of(std::u16string(1, pair.character)) << " → " << utf8_of(pair.replacement)
                << ": a simplified piece";
        }
    }
}

// A traditional character is split by the tables that split its simplified form, unless
// the overrides review it, or no table splits it at all (還's 睘 stands where 还 has 不: the
// shapes differ, and the same rules decide both).
TEST(ShippedTables, SplitTraditionalTextAsTheySplitSimplifiedText) {
    std::map<char16_t, std::u16string> by_table[2];
    for (int table = 0; table < 2; ++table) {
        for (auto& pair : shipped_pairs(table == 0 ? kDefaultTable : kFullTable)) {
            by_table[table].emplace(pair.character, std::move(pair.replacement));
        }
    }
    const auto& facts = rules().facts;
    std::size_t compared = 0;
    for (const auto& [traditional, simplified] : facts.simplified_forms) {
        if (!facts.is_traditional_only(traditional) || simplified.size() != 1 ||
            !tables::is_gbk_character(traditional) ||
            rules().overrides.characters.contains(traditional)) {
            continue;
        }
        const bool split_somewhere =
            by_table[0].contains(traditional) || by_table[1].contains(traditional);
        for (int table = 0; split_somewhere && table < 2; ++table) {
            ++compared;
            EXPECT_FALSE(by_table[table].contains(simplified[0]) &&
                         !by_table[table].contains(traditional))
                << utf8_of(std::u16string(1, traditional)) << " is whole in the "
                << (table == 0 ? "default" : "fuller") << " table, which splits "
                << utf8_of(simplified);
        }
    }
    EXPECT_GT(compared, 1000u);
}

// The shapes no GBK pieces spell (巿 is not 十巾) are never split themselves.
TEST_P(ShippedTable, LeavesShapesNoPiecesSpellWhole) {
    const auto& shapes = rules().overrides.unspellable_shapes;
    EXPECT_TRUE(shapes.contains(u'巿') && shapes.contains(u'菐'));
    for (const auto& pair : shipped_pairs(GetParam())) {
        EXPECT_FALSE(shapes.contains(pair.character))
            << utf8_of(std::u16string(1, pair.character)) << " is split";
        for (const char16_t piece : pair.replacement) {
            EXPECT_FALSE(shapes.contains(piece)) << utf8_of(pair.replacement);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, ShippedTable, ::testing::Values(kDefaultTable, kFullTable),
                         [](const auto& info) { return table_name(info.param); });

struct WellKnownSplit {
    std::filesystem::path table;
    const char* clicks;
    std::string text;
    std::string expected;
};

class WellKnownSplits : public ::testing::TestWithParam<WellKnownSplit> {};

TEST_P(WellKnownSplits, ReadAsAReaderSplits) {
    const auto& test = GetParam();
    std::istringstream in(test.text);
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::run_splitter(
        {"--keywords", display_path(test.table), "--times", test.clicks}, in, out, err, kData);
    EXPECT_EQ(status, cli::kDone) << err.str();
    EXPECT_EQ(out.str(), test.expected) << test.text << " in " << test.table.filename();
}

std::vector<WellKnownSplit> in_both(const char* clicks, const char* text, const char* expected) {
    return {{kDefaultTable, clicks, text, expected}, {kFullTable, clicks, text, expected}};
}

std::vector<WellKnownSplit> well_known_splits() {
    std::vector<WellKnownSplit> cases;
    const auto add = [&](std::vector<WellKnownSplit> more) {
        cases.insert(cases.end(), more.begin(), more.end());
    };
    // Left-right, repetitions and one level a click.
    add(in_both("1", "好明林们湖这森", "女子日月木木亻门氵胡辶文木木木"));
    add(in_both("2", "湖", "氵古月"));
    // Surrounding shapes.
    add(in_both("1", "问间国因房老者名病店", "门口门日囗玉囗大户方耂匕耂日夕口疒丙广占"));
    // Top-bottom, in the default table too.
    add(in_both("1", "李章吴想家花岩", "木子立早口天相心宀豕艹化山石"));
    // Pieces GBK lacks, spelled out; 得 in at most three clicks (the fuller table then
    // reads 旦 as the riddle 日一).
    add(in_both("1", "服报经所", "月卩又扌卩又纟又工户斤"));
    add({{kDefaultTable, "3", "得", "彳旦寸"}, {kFullTable, "3", "得", "彳日一寸"}});
    // The data's errors, mended.
    add(in_both("1", "卉弁异弄弈弊羿舁瓣望", "十廾厶廾巳廾王廾亦廾敝廾羽廾臼廾辛瓜辛亡月王"));
    // Units, and splits that read badly, stay whole.
    add(in_both("3", "儿川丬疒二向周甘石或勺戒骨网凤甸", "儿川丬疒二向周甘石或勺戒骨网凤甸"));
    // Traditional characters split into the pieces a reader of traditional text sees,
    // and the traditional units stay whole.
    add(in_both("1", "們問說紅媽順鯉鴨", "亻門門口言兌糸工女馬川頁魚里甲鳥"));
    add(in_both("3", "門馬車魚鳥頁糸貝見金言食豸", "門馬車魚鳥頁糸貝見金言食豸"));
    add(in_both("1", "財員", "貝才口貝"));
    // Familiar pieces outside the common characters, components spelled out, more
    // wrapping pieces.
    add(in_both("1", "快决块缺福副富幅", "忄夬冫夬土夬缶夬礻畐畐刂宀畐巾畐"));
    add(in_both("1", "荣营劳莹满瞒", "艹冖木艹冖吕艹冖力艹冖玉氵艹两目艹两"));
    add(in_both("1", "题匙勉爬毯旭尴尬", "是页是匕免力爪巴毛炎九日尢监尢介"));
    // The everyday characters a reader splits at a glance; true units stay whole.
    add(in_both("1", "去看回鸿早坐死受爱量节靠哥",
                "土厶手目囗口江鸟日十人人土歹匕爫冖又爫冖友旦里艹卩告非可可"));
    add({{kDefaultTable, "3", "不了一人来上小子也自方心", "不了一人来上小子也自方心"},
         {kFullTable, "3", "不了一人来上小子也自方心", "不了一人一八十八卜一小子也丿目方心"}});
    // 丷 on top is a piece; the top of 学 is written as 党's is.
    add(in_both("1", "关并总兰学觉党光交", "丷天丷开丷口心丷三小冖子小冖见小冖兄小兀亠父"));
    // Mended where the data is wrong.
    add(in_both("1", "記蔺罕匀", "言己艹门隹冖八干勹冫"));
    // What the eye sees in these everyday characters, in both tables.
    add(in_both("1", "出里是我四", "山山田土日疋手戈囗儿"));
    // Only the fuller table takes the other top-bottom splits and the riddle splits; the
    // default table keeps what the eye sees (卡 上卜, 茶 艹人木).
    add({{kDefaultTable, "1", "高米木夫南", "高米木夫南"},
         {kFullTable, "1", "高米木夫南", "亠口冂口八十八十八二人十冂丷干"}});
    add({{kDefaultTable, "1", "大百旦王来自中", "大百旦王来自中"},
         {kFullTable, "1", "大百旦王来自中", "一人一白日一一土一米丿目口丨"}});
    add({{kDefaultTable, "1", "天重実武卡乖來夾巫茶", "天重実武上卜乖來夾巫艹人木"},
         {kFullTable, "1", "天重実武卡乖來夾巫茶",
          "二人千里宀三人止戈上下千北木人人大人人工人人廿八十八"}});
    // The data's numbered shapes read as the characters they draw, or as the pieces of a
    // plain stack.
    add(in_both("1", "潭涵禧谭牵浆償", "氵覃氵函礻喜讠覃大冖牛丬夕水亻賞"));
    // One level a click, where the data inlines a piece the reader sees.
    add(in_both("1", "聈湧唎鴻鸿", "耳幼氵勇口利江鳥江鸟"));
    add(in_both("2", "聈唎", "耳幺力口禾刂"));
    // Traditional characters split as their simplified forms are.
    add(in_both("1", "誡诫緩缓", "言戒讠戒糸爰纟爰"));
    // The reader's second list: 須 over 此; 行 round the other part; 爭 in 鬇; 幵 as two 干.
    add(in_both("1", "頾銜衔鬇姸筓詽豣郉銒牚",
                "須此彳金亍彳钅亍髟爭女干干竹干干言干干豕干干干干阝金干干小冖口牙"));
    add(in_both("3", "殩", "殩"));
    add(in_both("1", "栞", "干干木"));
    // Shapes inside shapes spelled out where the strokes add up; 比 as one piece; the
    // data's other drawings of 爰 and of the right of 漢 read as drawn.
    add(in_both("1", "邊隨潔俊凌浸媲湲漢難",
                "辶自穴方阝辶左月氵丰刀糸亻厶八夂冫土八夂氵彐冖又女囟比氵爰"
                "氵廿口夫廿口夫隹"));
    add(in_both("2", "媲", "女囟匕匕"));
    add(in_both("3", "鐟", "鐟"));
    // Familiar pieces of traditional text, and the everyday characters reviewed again.
    add(in_both("1", "識錄權觀", "言戠金彔木雚雚見"));
    add(in_both(
        "1", "應變務歷厚衡雖親畝鞏競暴",
        "广亻隹心糸言糸攵矛攵力厂禾禾止厂日子彳角大亍口虫隹立木見亠田久工凡革立兄立兄日共氺"));
    // Top-bottom in the default table: 糸 a well-known bottom, halves spelled out of
    // common pieces.
    add(in_both("1", "索緊寧愛毫堅", "十冖糸臣又糸宀心皿丁爫冖心夂亠口冖毛臣又土"));
    // More familiar pieces, 鬥 round the other part, two 火 over 冖 in traditional text.
    add(in_both("1", "叫迎陷滴讯越拔降刺聘贯雄考",
                "口丩辶卬阝臽氵啇讠卂走戉扌犮阝夅朿刂耳甹毌贝厷隹耂丂"));
    add(in_both("1", "鬧勞鷹鹰雀号兮", "鬥市火火冖力广亻隹鳥广亻隹鸟小隹口丂八丂"));
    // 乙 is a piece, as the character it is.
    add(in_both("1", "亿忆艺", "亻乙忄乙艹乙"));
    // Well-known tops and bottoms: 亠 and 日 on top, 隹 and 土 below.
    add(in_both("1", "亢昂崔垦", "亠几日卬山隹艮土"));
    // Traditional characters drawn with traditional pieces, as 吶 is 口內.
    add(in_both("1", "納誤廣諍鈞鋁閭", "糸內言吳广黃言爭金勻金呂門呂"));
    // Shapes no pieces spell stay whole, and so does every character that has one.
    add(in_both("3", "巿沛肺杮菐僕撲", "巿沛肺杮菐僕撲"));
    // 隺 is no 巾 over 隹, but a piece readers know all the same.
    add(in_both("1", "隺鶴確", "隺隺鳥石隺"));
    // Parts the character stacks are pieces of their own: 厭 has 日 over 月, not 明.
    add(in_both("1", "厭", "厂日月犬"));
    // Traditional text split as simplified text is, in the default table too.
    add(in_both("1", "輩聖驚魯鬍隻", "非車耳口王敬馬魚日髟胡隹又"));
    add(in_both("1", "辈圣惊鲁胡只", "非车又土忄京鱼日古月口八"));
    // Frequent characters a reader splits at a glance; 青 and 素 keep a top GBK lacks.
    add(in_both("1", "腰腐悬罚葬撤毁贞唇孕卓翅婴凑蜜流害青素",
                "月要府肉县心罒讠刂艹死廾扌育攵臼工殳卜贝辰口乃子卜早支羽贝贝女冫奏宀必虫"
                "氵亠厶川宀丰口青素"));
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Tables, WellKnownSplits, ::testing::ValuesIn(well_known_splits()),
                         [](const auto& info) {
                             return table_name(info.param.table) + "_" + info.param.clicks +
                                    "_clicks_row_" + std::to_string(info.index);
                         });

}  // namespace
}  // namespace mardovane
