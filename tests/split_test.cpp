#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "substitution/character_run_pass.h"
#include "substitution/split.h"
#include "substitution/string_pass.h"
#include "tests/reference/reference_split.h"

namespace mardovane {
namespace {

using testing::reference_split;

KeywordTable table_of(std::vector<std::u16string> lines) {
    return KeywordTable{std::move(lines)};
}

std::u16string split_ok(std::u16string_view text, const KeywordTable& table) {
    auto result = split(text, table);
    EXPECT_TRUE(std::holds_alternative<std::u16string>(result));
    return std::holds_alternative<std::u16string>(result) ? std::get<std::u16string>(result)
                                                          : u"<too large>";
}

struct SplitCase {
    const char* name;
    std::vector<std::u16string> lines;
    std::u16string text;
    std::u16string expected;
};

TEST(Split, ReplacesEveryPairInFileOrder) {
    const std::vector<SplitCase> cases = {
        {"empty table", {}, u"好", u"好"},
        {"empty text", {u"好", u"女子"}, u"", u""},
        {"one character", {u"好", u"女子"}, u"你好", u"你女子"},
        {"inserted text not searched again", {u"a", u"aa"}, u"aaa", u"aaaaaa"},
        {"matches do not overlap", {u"aa", u"b"}, u"aaa", u"ba"},
        {"scan resumes after a match", {u"aba", u"X"}, u"ababa", u"Xba"},
        {"chain in order", {u"x", u"y", u"y", u"z"}, u"x", u"z"},
        {"chain out of order", {u"y", u"z", u"x", u"y"}, u"x", u"y"},
        {"long chain", {u"a", u"b", u"b", u"c", u"c", u"d"}, u"abc", u"ddd"},
        {"second pair for the same text is shadowed", {u"a", u"b", u"a", u"c"}, u"a", u"b"},
        {"same text again after a chain", {u"a", u"b", u"b", u"a", u"a", u"c"}, u"ab", u"cc"},
        {"empty text to find changes nothing", {u"", u"X"}, u"abc", u"abc"},
        {"empty replacement deletes", {u"b", u""}, u"abcb", u"ac"},
        {"case-sensitive", {u"a", u"b"}, u"A", u"A"},
        {"no width folding", {u"a", u"b"}, u"ａ", u"ａ"},
        {"line breaks stay", {u"湖", u"氵胡"}, u"湖\r\n湖\n", u"氵胡\r\n氵胡\n"},
        {"unpaired last line ignored", {u"a", u"b", u"b"}, u"ab", u"bb"},
        {"longer text to find", {u"ab", u"c"}, u"abab", u"cc"},
        {"string pass sees earlier pairs' output", {u"a", u"b", u"bb", u"X"}, u"ab", u"X"},
        {"character pass after string pass", {u"ab", u"c", u"c", u"d"}, u"abc", u"dd"},
        {"leading and trailing spaces are text", {u" a", u"b "}, u"a a", u"ab "},
        {"replacement may hold the character", {u"a", u"ab", u"b", u"c"}, u"a", u"ac"},
        {"surrogate pairs as two code units", {u"😀", u"x"}, u"a😀b", u"axb"},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(split_ok(test.text, table_of(test.lines)), test.expected) << test.name;
    }
}

// Thirty doublings of one letter would be 2^30 code units, past the program's 2^28: the
// split says so, whatever larger limit the caller asks for, instead of growing forever.
class ProgramsOwnLimit : public ::testing::TestWithParam<std::size_t> {};

TEST_P(ProgramsOwnLimit, StopsThirtyDoublings) {
    std::vector<std::u16string> doubling;
    for (int i = 0; i < 30; ++i) {
        doubling.insert(doubling.end(), {u"a", u"aa"});
    }
    auto result = split(u"a", table_of(doubling), GetParam());
    ASSERT_TRUE(std::holds_alternative<ResultTooLarge>(result));
    EXPECT_EQ(std::get<ResultTooLarge>(result).limit, kMaxResultLength);
}

INSTANTIATE_TEST_SUITE_P(Split, ProgramsOwnLimit,
                         ::testing::Values(kMaxResultLength, kMaxResultLength + 1, SIZE_MAX),
                         [](const auto& info) {
                             return info.param == SIZE_MAX ? std::string("no_limit_asked_for")
                                                           : "limit_" + std::to_string(info.param);
                         });

struct LimitCase {
    const char* name;
    std::vector<std::u16string> lines;
    std::u16string text;
    std::size_t limit;
    bool fits;
    bool text_given_too_large = false;
};

// The limit holds for what must be held, the text given and the result, however the table
// is spelled: a text that grows between two pairs and shrinks again is never held whole.
TEST(Split, LimitHoldsForTheTextGivenAndTheResult) {
    const std::u16string b200(200, u'b');
    const std::vector<LimitCase> cases = {
        {"character run at the limit", {u"a", u"aaaa"}, u"aa", 8, true},
        {"character run past the limit", {u"a", u"aaaa"}, u"aa", 7, false},
        {"string pass at the limit", {u"ab", u"xxxx"}, u"abab", 8, true},
        {"string pass past the limit", {u"ab", u"xxxx"}, u"abab", 7, false},
        {"text already too long", {}, u"abc", 2, false, true},
        {"deletion keeps it small", {u"a", u"aaaaaaaa", u"a", u""}, u"aa", 3, true},
        {"grows, then single characters delete it", {u"a", b200, u"b", u""}, u"aaaa", 100, true},
        {"grows, then pairs of characters delete it", {u"a", b200, u"bb", u""}, u"aaaa", 100, true},
        {"grows, then a longer pair shrinks it",
         {u"a", b200, u"bb", u"c", u"x", u"y"},
         u"aaaa",
         400,
         true},
        {"shrinks, but not enough", {u"a", b200, u"bb", u"c"}, u"aaaa", 399, false},
        {"grows through two string pairs",
         {u"ab", b200, u"bb", u"cc", u"cccc", u"d"},
         u"abab",
         200,
         true},
    };
    for (const auto& test : cases) {
        auto result = split(test.text, table_of(test.lines), test.limit);
        EXPECT_EQ(std::holds_alternative<std::u16string>(result), test.fits) << test.name;
        if (const auto* too_large = std::get_if<ResultTooLarge>(&result)) {
            EXPECT_EQ(too_large->text_given_too_large, test.text_given_too_large) << test.name;
        } else {
            const auto slow = reference_split(test.text, table_of(test.lines), 1 << 20);
            ASSERT_TRUE(slow.has_value());
            EXPECT_EQ(std::get<std::u16string>(result), slow->text) << test.name;
        }
    }
}

// Random tables and texts over a few letters, so that matches, chains, shadowed pairs and
// overlaps happen all the time; the engine must agree with one pass per pair.
TEST(Split, AgreesWithOnePassPerPairOnRandomTables) {
    const std::u16string alphabet = u"abc好";
    std::mt19937 random(20110101);
    auto random_text = [&](std::size_t max_length) {
        std::u16string text(std::uniform_int_distribution<std::size_t>(0, max_length)(random),
                            u'a');
        for (auto& c : text) {
            c = alphabet[std::uniform_int_distribution<std::size_t>(0,
                                                                    alphabet.size() - 1)(random)];
        }
        return text;
    };
    // Small, so that both outcomes occur, and texts pass it between pairs and come back.
    constexpr std::size_t kLimit = 20;
    int compared = 0;
    int too_large = 0;
    int streamed = 0;  // grew past the limit between two pairs, and shrank again
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::u16string> lines;
        const int line_count = std::uniform_int_distribution<int>(0, 13)(random);
        for (int line = 0; line < line_count; ++line) {
            // Mostly single letters to find, so that character runs form and break.
            const bool find = line % 2 == 0;
            lines.push_back(random_text(find && random() % 4 != 0 ? 1 : 3));
        }
        const KeywordTable table = table_of(lines);
        const std::u16string text = random_text(24);
        auto fast = split(text, table, kLimit);
        auto slow = reference_split(text, table, 64 * kLimit);
        if (!slow) {
            continue;  // one pass per pair grew past its guard; the engine need not
        }
        if (std::holds_alternative<ResultTooLarge>(fast)) {
            // The engine only gives up where the text given or the result is too long.
            ASSERT_GT(std::max(text.size(), slow->text.size()), kLimit) << "round " << round;
            ++too_large;
            continue;
        }
        streamed += slow->longest > kLimit ? 1 : 0;
        ASSERT_EQ(std::get<std::u16string>(fast), slow->text) << "round " << round;
        ++compared;
    }
    EXPECT_GT(compared, 2000);
    EXPECT_GT(too_large, 20);
    EXPECT_GT(streamed, 5);
}

// A run as long as a real table's is ordered and looked up another way than a short one:
// thousands of pairs over a few hundred characters, each found by several pairs, so that
// earlier pairs shadow later ones and replacements chain, against one pass per pair.
TEST(Split, LongRunsAgreeWithOnePassPerPair) {
    std::mt19937 random(8);
    std::uniform_int_distribution<int> character(0x4E00, 0x4E00 + 700);
    std::uniform_int_distribution<int> pieces(0, 2);
    for (int round = 0; round < 3; ++round) {
        KeywordTable table;
        for (int pair = 0; pair < 6000; ++pair) {
            table.append_line(std::u16string(1, static_cast<char16_t>(character(random))));
            std::u16string replacement;
            for (int piece = pieces(random); piece > 0; --piece) {
                replacement += static_cast<char16_t>(character(random));
            }
            table.append_line(replacement);
        }
        std::u16string text;
        for (int i = 0; i < 100; ++i) {
            text += static_cast<char16_t>(character(random));
        }
        const auto slow = reference_split(text, table, 1 << 20);
        ASSERT_TRUE(slow.has_value());
        EXPECT_EQ(std::get<std::u16string>(split(text, table)), slow->text) << "round " << round;
    }
}

// A thousand renames (一 → 丁 → 丂 → …), one pair that gives AA, then 25 doublings
// (A → BB, …, Y → ZZ): every renamed character's image is the same 2^26 letters, which
// must be shared, not built once a pair.
TEST(Split, RenamesBeforeDoublingsTakeMemoryOfTheResultOnly) {
    KeywordTable table;
    char16_t from = u'一';
    for (int i = 0; i < 1000; ++i, ++from) {
        table.append_line(std::u16string(1, from));
        table.append_line(std::u16string(1, static_cast<char16_t>(from + 1)));
    }
    table.append_line(std::u16string(1, from));
    table.append_line(u"AA");
    for (char16_t letter = u'A'; letter < u'Z'; ++letter) {
        table.append_line(std::u16string(1, letter));
        table.append_line(std::u16string(2, static_cast<char16_t>(letter + 1)));
    }
    auto result = split(u"一", table);
    ASSERT_TRUE(std::holds_alternative<std::u16string>(result));
    const auto& text = std::get<std::u16string>(result);
    EXPECT_EQ(text.size(), std::size_t{1} << 26);
    EXPECT_EQ(text.find_first_not_of(u'Z'), std::u16string::npos);
    // One more doubling would pass the limit, and must say so rather than try.
    EXPECT_TRUE(std::holds_alternative<ResultTooLarge>(split(u"一一一一一", table)));
}

// Long images made of long images, with deletions and characters kept between them:
// the walk that writes them must give what one pass per pair gives.
TEST(Split, LongImagesAreWrittenAsOnePassPerPairWrites) {
    const KeywordTable table(
        {u"a", u"xbyb", u"b", u"cczc", u"c", u"dd", u"z", u"", u"d", u"0123456789"});
    const std::vector<std::u16string> texts = {u"a", u"aba", u"zaz", u"cab"};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto slow = reference_split(texts[i], table, 1 << 20);
        ASSERT_TRUE(slow.has_value());
        EXPECT_EQ(split_ok(texts[i], table), slow->text) << "text " << i;
    }
}

struct ChangedCase {
    const char* name;
    std::vector<std::u16string> lines;
    std::u16string text;
    bool changed;
    std::size_t replacements;
};

class SaysWhetherItChanged : public ::testing::TestWithParam<ChangedCase> {};

// The window stores a result only when a pair replaced something, without comparing texts.
TEST_P(SaysWhetherItChanged, AnythingAtAll) {
    bool changed = !GetParam().changed;
    std::size_t replacements = 99;
    const auto result = SplitPlan(table_of(GetParam().lines))
                            .apply(GetParam().text, kMaxResultLength, &changed, &replacements);
    ASSERT_TRUE(std::holds_alternative<std::u16string>(result));
    EXPECT_EQ(changed, GetParam().changed);
    EXPECT_EQ(replacements, GetParam().replacements);
}

INSTANTIATE_TEST_SUITE_P(
    SplitPlan, SaysWhetherItChanged,
    ::testing::Values(
        ChangedCase{"empty_table", {}, u"好", false, 0},
        ChangedCase{"nothing_found", {u"湖", u"氵胡", u"ab", u"c"}, u"好", false, 0},
        ChangedCase{"a_character_found", {u"好", u"女子"}, u"你好好", true, 2},
        ChangedCase{"a_string_found", {u"湖", u"氵胡", u"ab", u"c"}, u"xabab", true, 2},
        ChangedCase{"only_the_last_pass", {u"ab", u"c", u"x", u"y"}, u"x", true, 1},
        ChangedCase{
            "each_character_once_however_many_pairs", {u"a", u"b", u"b", u"c"}, u"ab", true, 2},
        ChangedCase{"a_string_pass_after_a_run",
                    {u"a", std::u16string(300, u'b'), u"bbb", u"c"},
                    u"a",
                    true,
                    101}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SplitPlan, CanBeAppliedAgainForAnotherClick) {
    const SplitPlan plan(table_of({u"湖", u"氵胡", u"胡", u"古月"}));
    const auto once = std::get<std::u16string>(plan.apply(u"湖"));
    EXPECT_EQ(once, u"氵古月");
    EXPECT_EQ(std::get<std::u16string>(plan.apply(once)), u"氵古月");

    // Pairs in the other order split one level per click.
    const SplitPlan level_by_level(table_of({u"胡", u"古月", u"湖", u"氵胡"}));
    const auto first = std::get<std::u16string>(level_by_level.apply(u"湖"));
    EXPECT_EQ(first, u"氵胡");
    EXPECT_EQ(std::get<std::u16string>(level_by_level.apply(first)), u"氵古月");
}

struct ImagesCase {
    const char* name;
    std::vector<std::u16string> lines;
};

class CharacterImages : public ::testing::TestWithParam<ImagesCase> {};

// Each character's image is what a split of that character alone makes, whatever the
// characters the images are told apart by.
TEST_P(CharacterImages, AreEachCharacterSplitAlone) {
    const SplitPlan plan(table_of(GetParam().lines));
    const auto images = plan.character_images(256);
    ASSERT_TRUE(images.has_value());
    ASSERT_NE(images->size(), 0u);
    for (std::size_t i = 0; i < images->size(); ++i) {
        const char16_t character = images->characters[i];
        EXPECT_EQ(images->image(i),
                  std::get<std::u16string>(plan.apply(std::u16string(1, character))))
            << static_cast<int>(character);
    }
}

INSTANTIATE_TEST_SUITE_P(
    SplitPlan, CharacterImages,
    ::testing::Values(
        ImagesCase{"one_level_per_click", {u"胡", u"古月", u"湖", u"氵胡", u"好", u"女子"}},
        ImagesCase{"chained_in_one_click", {u"湖", u"氵胡", u"胡", u"古月", u"a", u""}},
        ImagesCase{"a_replacement_holds_the_mark", {u"a", u"x\uFFFFy", u"b", u"\uFFFF"}},
        ImagesCase{"the_mark_is_found", {u"\uFFFF", u"z", u"\uFFFE", u"zz", u"c", u"d"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SplitPlan, HasNoCharacterImagesForLongerFindsOrLongImages) {
    EXPECT_FALSE(SplitPlan(table_of({u"ab", u"c"})).character_images(256).has_value());
    EXPECT_FALSE(SplitPlan(table_of({u"a", u"bbbb"})).character_images(3).has_value());
    EXPECT_TRUE(SplitPlan(table_of({u"a", u"bbb"})).character_images(3).has_value());
}

}  // namespace
}  // namespace mardovane

namespace mardovane {
namespace {

// What a pass streamed over a text writes, the text given in chunks cut where `cuts` say.
class CollectingSink final : public UnitSink {
  public:
    bool write(std::u16string_view units) override {
        text += units;
        return true;
    }
    bool end() override {
        ended = true;
        return true;
    }
    std::u16string text;
    bool ended = false;
};

std::u16string streamed(const SplitPlan::Pass& pass, std::u16string_view text,
                        const std::vector<std::size_t>& cuts) {
    CollectingSink sink;
    const auto stream = pass.stream(sink);
    std::size_t from = 0;
    for (const std::size_t cut : cuts) {
        EXPECT_TRUE(stream->write(text.substr(from, cut - from)));
        from = cut;
    }
    EXPECT_TRUE(stream->write(text.substr(from)));
    EXPECT_TRUE(stream->end());
    EXPECT_TRUE(sink.ended);
    return sink.text;
}

// A text passed on between two pairs in chunks must come out as the whole pass makes it,
// wherever the chunks are cut: a match across a cut included.
TEST(PassStream, GivesWhatTheWholePassGivesWhereverTheTextIsCut) {
    std::mt19937 random(31);
    const std::u16string alphabet = u"ab好";
    const auto random_text = [&](std::size_t min, std::size_t max) {
        std::u16string text(std::uniform_int_distribution<std::size_t>(min, max)(random), u'a');
        for (auto& c : text) {
            c = alphabet[random() % alphabet.size()];
        }
        return text;
    };
    for (int round = 0; round < 2000; ++round) {
        std::unique_ptr<SplitPlan::Pass> pass;
        if (round % 2 == 0) {
            pass = std::make_unique<StringPass>(random_text(2, 4), random_text(0, 3));
        } else {
            auto run = std::make_unique<CharacterRunPass>();
            for (int pair = 0; pair < 3; ++pair) {
                run->add(alphabet[random() % alphabet.size()], random_text(0, 3));
            }
            run->finish();
            pass = std::move(run);
        }
        const std::u16string text = random_text(0, 16);
        std::vector<std::size_t> cuts;
        for (std::size_t at = 0; at < text.size(); ++at) {
            if (random() % 3 == 0) {
                cuts.push_back(at);
            }
        }
        std::u16string whole = text;
        std::size_t replacements = 0;
        (void)pass->apply(whole, kMaxResultLength, ScratchTable::of_this_thread(), replacements);
        ASSERT_EQ(streamed(*pass, text, cuts), whole) << "round " << round;
    }
}

// A long image goes on in chunks, and so does a long text with no match in it.
TEST(PassStream, PassesLongTextsOnInChunks) {
    CharacterRunPass doublings;
    for (char16_t letter = u'A'; letter < u'R'; ++letter) {  // A → BB → … → 2^17 × R
        doublings.add(letter, std::u16string(2, static_cast<char16_t>(letter + 1)));
    }
    doublings.finish();
    EXPECT_EQ(streamed(doublings, u"xAy", {1, 2}), u"x" + std::u16string(1 << 17, u'R') + u"y");

    const StringPass pass(u"ab", u"c");
    const std::u16string text = std::u16string(100'000, u'a') + u"b";
    EXPECT_EQ(streamed(pass, text, {50'000}), std::u16string(99'999, u'a') + u"c");
}

}  // namespace
}  // namespace mardovane
