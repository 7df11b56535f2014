#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/common/typing_history.h"

namespace mardovane {
namespace {

// A box that keeps no history of its own: the edits typed into it, then Ctrl+Z until
// nothing is left, the text after each step.
struct TypingCase {
    const char* name;
    std::vector<TypedEdit> typed;
    std::vector<std::u16string> after_each_undo;
};

std::u16string made(std::u16string text, const TypedEdit& edit) {
    return text.replace(edit.at, edit.removed.size(), edit.inserted);
}

class Typing : public ::testing::TestWithParam<TypingCase> {};

TEST_P(Typing, StepsBackAsAWordProcessorDoes) {
    TypingHistory history;
    std::u16string text;
    std::vector<std::u16string> texts{text};
    for (const TypedEdit& edit : GetParam().typed) {
        text = made(text, edit);
        history.typed(edit);
        texts.push_back(text);
    }
    std::vector<std::u16string> undone;
    while (history.can_undo()) {
        text = made(text, history.undo());
        undone.push_back(text);
    }
    EXPECT_EQ(undone, GetParam().after_each_undo);
    // Forward again, step by step, to the text as typed.
    while (history.can_redo()) {
        text = made(text, history.redo());
    }
    EXPECT_EQ(text, texts.back());
}

INSTANTIATE_TEST_SUITE_P(
    TypingHistory, Typing,
    ::testing::Values(
        TypingCase{"letters_one_after_another_are_one_step",
                   {{0, u"", u"a"}, {1, u"", u"b"}, {2, u"", u"好"}},
                   {u""}},
        // What an input method commits: 你, then 好, never its pinyin.
        TypingCase{
            "committed_characters_go_on_the_word", {{0, u"", u"你"}, {1, u"", u"好"}}, {u""}},
        TypingCase{"a_space_ends_the_word",
                   {{0, u"", u"a"}, {1, u"", u" "}, {2, u"", u"b"}},
                   {u"a ", u"a", u""}},
        TypingCase{"a_phrase_committed_at_once_is_a_step_of_its_own",
                   {{0, u"", u"a"}, {1, u"", u"你好"}},
                   {u"a", u""}},
        TypingCase{
            "typing_elsewhere_is_a_new_step", {{0, u"", u"ab"}, {0, u"", u"c"}}, {u"ab", u""}},
        TypingCase{"a_deletion_is_a_step_and_brings_the_text_back",
                   {{0, u"", u"湖边"}, {0, u"湖", u""}, {0, u"", u"x"}},
                   {u"边", u"湖边", u""}},
        TypingCase{"a_replaced_selection_is_one_step",
                   {{0, u"", u"好湖"}, {1, u"湖", u"子"}},
                   {u"好湖", u""}},
        TypingCase{"an_emoji_is_one_letter", {{0, u"", u"a"}, {1, u"", u"\U0001F600"}}, {u""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TypingHistory, AnEditAfterAStepBackDropsWhatWasTakenBack) {
    TypingHistory history;
    history.typed({0, u"", u"a "});
    history.typed({2, u"", u"b"});
    (void)history.undo();
    EXPECT_TRUE(history.can_redo());
    history.typed({2, u"", u"c"});  // a new word where b was: not joined to "a "
    EXPECT_FALSE(history.can_redo());
    EXPECT_EQ(history.undo(), (TypedEdit{2, u"c", u""}));
    history.typed({});  // nothing changed: no step
    EXPECT_EQ(history.undo(), (TypedEdit{0, u"a ", u""}));
    EXPECT_FALSE(history.can_undo());
}

}  // namespace
}  // namespace mardovane
