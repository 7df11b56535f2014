#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "window/common/background_split.h"
#include "window/common/failure_text.h"
#include "window/common/layout.h"
#include "window/common/texts.h"
#include "window/common/window_rules.h"

namespace mardovane::rules {
namespace {

using layout::Command;

struct PointCase {
    const char* name;
    int x;
    int y;
    std::optional<std::string> hotspot;  // its name, or none
    layout::Pointer pointer;
};

class HotspotAt : public ::testing::TestWithParam<PointCase> {};

TEST_P(HotspotAt, FindsTheAreaUnderThePoint) {
    const auto& test = GetParam();
    const auto found = hotspot_at(test.x, test.y);
    ASSERT_EQ(found.has_value(), test.hotspot.has_value());
    if (found) {
        EXPECT_EQ(layout::kHotspots[*found].name, *test.hotspot);
    }
    EXPECT_EQ(pointer_at(test.x, test.y), test.pointer);
}

constexpr auto kHand = layout::Pointer::Hand;
constexpr auto kArrow = layout::Pointer::Arrow;

INSTANTIATE_TEST_SUITE_P(
    Layout, HotspotAt,
    ::testing::Values(PointCase{"split_top_left", 21, 346, "Label1", kHand},
                      PointCase{"split_bottom_right", 119, 390, "Label1", kHand},
                      PointCase{"just_past_split_right", 120, 360, std::nullopt, kArrow},
                      PointCase{"just_past_split_bottom", 60, 391, std::nullopt, kArrow},
                      PointCase{"just_left_of_split", 20, 360, std::nullopt, kArrow},
                      PointCase{"copy_all", 185, 368, "Label2", kArrow},
                      PointCase{"notice", 400, 370, "Label5", kHand},
                      PointCase{"notice_dead_left_part", 265, 370, std::nullopt, kArrow},
                      PointCase{"just_left_of_Label5", 297, 370, std::nullopt, kArrow},
                      PointCase{"notice_last_pixel", 538, 384, "Label5", kHand},
                      PointCase{"white_band", 300, 403, std::nullopt, kArrow},
                      PointCase{"below_the_window", 300, 460, "Label4", kArrow}),
    [](const auto& info) { return std::string(info.param.name); });

struct Event {
    bool press;
    MouseButton button;
    int x;
    int y;
};

struct ClickCase {
    const char* name;
    std::vector<Event> events;
    std::optional<Command> command;  // what the last release runs
};

class Clicks : public ::testing::TestWithParam<ClickCase> {};

TEST_P(Clicks, RunACommandOnlyForALeftClickInsideOneHotspot) {
    ClickTracker tracker;
    std::optional<Command> ran;
    for (const Event& event : GetParam().events) {
        if (event.press) {
            tracker.press(event.button, event.x, event.y);
        } else {
            ran = tracker.release(event.button, event.x, event.y);
        }
    }
    EXPECT_EQ(ran, GetParam().command);
}

constexpr auto kLeft = MouseButton::Left;
constexpr auto kRight = MouseButton::Right;

INSTANTIATE_TEST_SUITE_P(
    Tracker, Clicks,
    ::testing::Values(
        ClickCase{
            "left_click_splits", {{true, kLeft, 60, 360}, {false, kLeft, 61, 361}}, Command::Split},
        ClickCase{"left_click_copies",
                  {{true, kLeft, 185, 368}, {false, kLeft, 185, 368}},
                  Command::CopyAll},
        ClickCase{"right_click_does_nothing",
                  {{true, kRight, 60, 360}, {false, kRight, 60, 360}},
                  std::nullopt},
        ClickCase{"release_outside_does_nothing",
                  {{true, kLeft, 60, 360}, {false, kLeft, 150, 360}},
                  std::nullopt},
        ClickCase{"release_on_another_hotspot",
                  {{true, kLeft, 60, 360}, {false, kLeft, 185, 368}},
                  std::nullopt},
        ClickCase{"press_outside_release_inside",
                  {{true, kLeft, 150, 360}, {false, kLeft, 60, 360}},
                  std::nullopt},
        ClickCase{"dead_part_of_the_notice",
                  {{true, kLeft, 265, 370}, {false, kLeft, 265, 370}},
                  std::nullopt},
        ClickCase{"one_press_one_click",
                  {{true, kLeft, 60, 360}, {false, kLeft, 60, 360}, {false, kLeft, 60, 360}},
                  std::nullopt},
        ClickCase{"right_release_leaves_the_left_press",
                  {{true, kLeft, 400, 370}, {false, kRight, 400, 370}, {false, kLeft, 400, 370}},
                  Command::OpenWebPage},
        ClickCase{"right_press_cancels_the_left_press",
                  {{true, kLeft, 60, 360}, {true, kRight, 60, 360}, {false, kLeft, 60, 360}},
                  std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct ShortcutCase {
    const char* name;
    layout::Key key;
    bool shift;
    std::optional<Command> command;
};

class Shortcuts : public ::testing::TestWithParam<ShortcutCase> {};

TEST_P(Shortcuts, RunTheirCommandWithCtrlAndTheRightShift) {
    EXPECT_EQ(shortcut_command(GetParam().key, GetParam().shift), GetParam().command);
}

INSTANTIATE_TEST_SUITE_P(
    Keyboard, Shortcuts,
    ::testing::Values(
        ShortcutCase{"ctrl_enter_splits", layout::Key::Enter, false, Command::Split},
        ShortcutCase{"ctrl_shift_enter_splits_the_selection", layout::Key::Enter, true,
                     Command::SplitSelection},
        ShortcutCase{"ctrl_shift_c_copies_all", layout::Key::C, true, Command::CopyAll},
        ShortcutCase{"ctrl_c_is_left_to_the_text_box", layout::Key::C, false, std::nullopt},
        ShortcutCase{"ctrl_z_undoes", layout::Key::Z, false, Command::Undo},
        ShortcutCase{"ctrl_y_redoes", layout::Key::Y, false, Command::Redo},
        ShortcutCase{"ctrl_shift_z_redoes_too", layout::Key::Z, true, Command::Redo},
        ShortcutCase{"ctrl_shift_y_does_nothing", layout::Key::Y, true, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// Every toolkit names the letter keys by their letter, upper or lower case.
TEST(Keyboard, KnowsTheLettersOfItsShortcutsInEitherCase) {
    const std::vector<std::pair<char32_t, std::optional<layout::Key>>> letters{
        {U'C', layout::Key::C}, {U'c', layout::Key::C},   {U'Z', layout::Key::Z},
        {U'z', layout::Key::Z}, {U'Y', layout::Key::Y},   {U'y', layout::Key::Y},
        {U'A', std::nullopt},   {U'\u044F', std::nullopt}};  // я: no Latin letter
    for (const auto& [letter, key] : letters) {
        EXPECT_EQ(key_of_letter(letter), key) << static_cast<std::uint32_t>(letter);
    }
}

TEST(Keyboard, ReachesTheVisibleHotspotsInTabOrder) {
    std::vector<std::string_view> names;
    for (const std::size_t i : keyboard_order()) {
        names.push_back(layout::kHotspots[i].name);
    }
    EXPECT_EQ(names, (std::vector<std::string_view>{"Label1", "Label2", "Label5"}));
}

TEST(Keyboard, TooltipsNameTheCommandAndItsShortcut) {
    std::vector<std::string> tips;
    for (const auto& area : layout::kHotspots) {
        tips.push_back(tooltip(area));
    }
    EXPECT_EQ(tips, (std::vector<std::string>{"拆分文字 (Ctrl+Enter)", "复制全部 (Ctrl+Shift+C)",
                                              "", "打开网页"}));
}

TEST(Geometry, FontHeightAndCentring) {
    EXPECT_EQ(font_pixel_height(layout::kText1PointSize, 96), 14);
    EXPECT_EQ(font_pixel_height(layout::kText1PointSize, 144), 21);
    EXPECT_EQ(font_pixel_height(9, 96), 12);
    const Point origin = centred(0, 30, 1920, 1050, 571, 436);
    EXPECT_EQ(origin.x, 674);
    EXPECT_EQ(origin.y, 337);
}

TEST(Geometry, ScalesToTheScreensDensityAndBack) {
    EXPECT_EQ(scaled(565, 96), 565);
    EXPECT_EQ(scaled(565, 144), 847);  // 150 %: 847.5, rounded down
    EXPECT_EQ(scaled(407, 120), 509);  // 125 %
    const layout::Rect split = scaled(layout::kHotspots[0].twips.in_pixels(), 144);
    EXPECT_EQ(split.left, 31);  // 31.5, rounded down
    EXPECT_EQ(split.top, 519);
    EXPECT_EQ(split.width, 149);
    EXPECT_EQ(split.height, 67);
    // Every point of a scaled hotspot lands back in it, and the points beside it do not.
    for (const int dpi : {96, 120, 144, 192}) {
        for (const auto& area : layout::kHotspots) {
            const layout::Rect at = scaled(area.twips.in_pixels(), dpi);
            const layout::Rect back = area.twips.in_pixels();
            EXPECT_TRUE(back.contains(unscaled(at.left, dpi), unscaled(at.top, dpi))) << dpi;
            EXPECT_TRUE(back.contains(unscaled(at.left + at.width - 1, dpi),
                                      unscaled(at.top + at.height - 1, dpi)))
                << dpi;
            EXPECT_FALSE(back.contains(unscaled(at.left + at.width, dpi), unscaled(at.top, dpi)))
                << dpi;
        }
    }
    EXPECT_EQ(unscaled(-1, 144), -1);
}

struct SequenceCase {
    const char* name;
    std::string steps;   // c: a split clicked, p: a paste, e: the job ends, f: it fails
    std::string starts;  // per step: what starts then (s, p) or nothing (-)
};

class Sequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(Sequence, RunsOneJobAClickInOrder) {
    JobQueue jobs;
    std::string starts;
    const auto letter = [](JobKind kind) { return kind == JobKind::Paste ? 'p' : 's'; };
    for (const char step : std::string(GetParam().steps)) {
        if (step == 'c' || step == 'p') {
            const JobKind kind = step == 'c' ? JobKind::Split : JobKind::Paste;
            starts += jobs.click(kind) ? letter(kind) : '-';
        } else {
            const auto next = jobs.finish(step == 'f');
            starts += next ? letter(*next) : '-';
        }
    }
    EXPECT_EQ(starts, GetParam().starts);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, Sequence,
    ::testing::Values(SequenceCase{"one_click", "ce", "s-"},
                      SequenceCase{"clicks_during_a_split_queue", "cccee", "s--ss"},
                      SequenceCase{"in_the_order_clicked", "pcce", "p--s"},
                      SequenceCase{"a_failure_drops_the_waiting", "cccfc", "s---s"},
                      SequenceCase{"a_click_after_the_end_starts_anew", "cece", "s-s-"}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailureTextCase {
    const char* name;
    SplitFailure failure;
    std::string says;
    texts::Activity activity = texts::Activity::Split;
};

class FailureTexts : public ::testing::TestWithParam<FailureTextCase> {};

TEST_P(FailureTexts, SayWhatWentWrongAndThatTheTextIsKept) {
    const std::string text = texts::failure_text(GetParam().failure, GetParam().activity);
    EXPECT_NE(text.find(GetParam().says), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("文字未作任何改动。")) << text;
}

FileError invalid_bytes(DecodeError::Reason reason) {
    FileError error = file_error(FileProblem::InvalidEncoding, "/t/k.info");
    error.line = 3;
    error.decode = {17, reason};
    return error;
}

INSTANTIATE_TEST_SUITE_P(
    Window, FailureTexts,
    ::testing::Values(
        FailureTextCase{"missing", file_error(FileProblem::Missing, "/t/k.info"),
                        "找不到拆字表文件：\n/t/k.info"},
        FailureTextCase{"not_a_file", file_error(FileProblem::NotRegularFile, "/t"),
                        "拆字表不是普通文件：\n/t"},
        FailureTextCase{"unreadable",
                        file_error(FileProblem::Unreadable, "/t/k.info", "Permission denied"),
                        "无法读取拆字表文件：\n/t/k.info\n（Permission denied）"},
        FailureTextCase{"invalid", invalid_bytes(DecodeError::Reason::InvalidSequence),
                        "拆字表文件第 3 行含有无效的 GBK 字节（文件第 18 字节）"},
        FailureTextCase{"cut_off", invalid_bytes(DecodeError::Reason::Truncated),
                        "拆字表文件第 3 行的 GBK 字节序列在文件末尾被截断（文件第 18 字节）"},
        FailureTextCase{"too_large", ResultTooLarge{268435456}, "268435456 个字符的上限"},
        FailureTextCase{"out_of_memory", OutOfMemory{}, "内存不足"},
        FailureTextCase{"no_thread", ThreadUnavailable{}, "无法为拆分启动新的线程"},
        FailureTextCase{"unexpected", UnexpectedError{"ICU has no converter"},
                        "拆分时出现意外错误：\nICU has no converter"},
        FailureTextCase{"paste_out_of_memory", OutOfMemory{}, "内存不足，无法完成粘贴。",
                        texts::Activity::Paste},
        FailureTextCase{"paste_no_thread", ThreadUnavailable{}, "无法为粘贴启动新的线程",
                        texts::Activity::Paste},
        FailureTextCase{"paste_unexpected", UnexpectedError{"bad"}, "粘贴时出现意外错误：\nbad",
                        texts::Activity::Paste}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace mardovane::rules
