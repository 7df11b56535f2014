// The Win32 window, run under Wine: the window made as the program makes it, with fake
// services, driven by the messages a person's keys and clicks make. The shared scenario
// table, then what only the Win32 adapter does.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <functional>

#include "tests/window/job_gate.h"
#include "tests/window/scenario.h"
#include "window/common/texts.h"
#include "window/win32/main_window.h"
#include "window/win32/wide.h"
#include "window/win32/window_state.h"

namespace mardovane::win32 {
namespace {

using Clock = std::chrono::steady_clock;
using testing::JobGate;
using testing::Unshowable;

class FakeClipboard final : public Clipboard {
  public:
    ClipboardResult set_plain_text(HWND, std::u16string_view text) override {
        texts.emplace_back(text);
        return ClipboardResult::Done;
    }
    std::vector<std::u16string> texts;
};

class FakeUrlOpener final : public UrlOpener {
  public:
    void open(HWND, const std::wstring&) override { ++opened; }
    int opened = 0;
};

// The EDIT's text with its line breaks as LF, as the scenarios write them.
std::u16string with_lf(std::u16string text) {
    std::u16string lf;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')) {
            lf += text[i];
        }
    }
    return lf;
}

// A position in LF text as a position in the EDIT's CR LF text.
std::size_t in_crlf(const std::u16string& crlf, std::size_t lf_position) {
    std::size_t at = 0;
    for (std::size_t seen = 0; seen < lf_position && at < crlf.size(); ++seen) {
        at += crlf[at] == u'\r' && at + 1 < crlf.size() && crlf[at + 1] == u'\n' ? 2 : 1;
    }
    return at;
}

class Win32Window : public ::testing::Test {
  protected:
    void open(JobRunner runner, decltype(WindowServices::post_message) post = PostMessageW) {
        window_ = create_main_window(
            GetModuleHandleW(nullptr),
            {L"C:\\", L"http://mardovane.example/", clipboard_, opener_, std::move(runner), post},
            SW_SHOWNOACTIVATE);
        ASSERT_NE(window_, nullptr);
        pump();
    }
    void TearDown() override {
        if (window_ != nullptr && IsWindow(window_)) {
            DestroyWindow(window_);
        }
        pump();
    }

    WindowState& state() const {
        return *reinterpret_cast<WindowState*>(GetWindowLongPtrW(window_, GWLP_USERDATA));
    }
    HWND edit() const { return GetDlgItem(window_, kText1Id); }
    std::u16string text() const { return with_lf(state().view->content()); }

    // Handles the messages waiting, as the program's loop does.
    void pump() const {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                continue;
            }
            if (IsWindow(window_) && handle_keyboard_shortcut(window_, message)) {
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // Pumps until `done`, for 30 s at most.
    bool pump_until(const std::function<bool()>& done) const {
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while (!done()) {
            if (Clock::now() > deadline) {
                return false;
            }
            pump();
            Sleep(1);
        }
        return true;
    }
    bool settled() const {
        return pump_until([this] { return !IsWindow(window_) || !state().controller->running(); });
    }

    // A key pressed with Ctrl (and Shift) held, as the thread's key state says.
    void press(WPARAM key, bool shift, HWND target = nullptr) const {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG message{target != nullptr ? target : edit(), WM_KEYDOWN, key, 0, 0, {}};
        if (!handle_keyboard_shortcut(window_, message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        pump();
    }
    // Typed as keys type, a character a WM_CHAR.
    void type(std::u16string_view typed) const {
        for (const char16_t c : typed) {
            SendMessageW(edit(), WM_CHAR, c, 1);
        }
        pump();
    }
    void select(std::size_t from, std::size_t to) const {
        SendMessageW(edit(), EM_SETSEL, from, to);
    }
    void put_on_clipboard(const std::u16string& text) const {
        ASSERT_TRUE(OpenClipboard(window_));
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
        auto* units = static_cast<char16_t*>(GlobalLock(memory));
        std::copy(text.begin(), text.end(), units);
        units[text.size()] = u'\0';
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
        CloseClipboard();
    }
    void click_split() const {
        // A press and release inside Label1, in the window's own pixels at 96 dpi.
        const layout::Rect area = layout::kHotspots[0].twips.in_pixels();
        const LPARAM at = MAKELPARAM(rules::scaled(area.left + 5, state().dpi),
                                     rules::scaled(area.top + 5, state().dpi));
        SendMessageW(window_, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(window_, WM_LBUTTONUP, 0, at);
        pump();
    }
    HWND message_shown() const { return state().view->messages().window(); }

    FakeClipboard clipboard_;
    FakeUrlOpener opener_;
    HWND window_ = nullptr;
};

class Win32Scenarios : public Win32Window,
                       public ::testing::WithParamInterface<testing::Scenario> {};

TEST_P(Win32Scenarios, GiveTheTextOfEveryStep) {
    const testing::Scenario& scenario = GetParam();
    testing::ScenarioJobs jobs(scenario);
    JobGate& gate = jobs.gate();
    open(jobs.runner());
    for (const auto& step : scenario.steps) {
        SCOPED_TRACE("scenarios.txt:" + std::to_string(step.line) + ": " + step.action);
        if (step.action == "paste") {
            put_on_clipboard(step.argument);
            press('V', false);
        } else if (step.action == "type") {
            const int length = GetWindowTextLengthW(edit());
            select(static_cast<std::size_t>(length), static_cast<std::size_t>(length));
            type(step.argument);
        } else if (step.action == "type-here") {
            type(step.argument);
        } else if (step.action == "select") {
            const auto [from, to] = testing::selection_of(step);
            const std::u16string crlf = state().view->content();
            select(in_crlf(crlf, from), in_crlf(crlf, to));
        } else if (step.action == "split") {
            click_split();
        } else if (step.action == "split-selection") {
            // The menu's item runs this command.
            state().controller->run(layout::Command::SplitSelection);
        } else if (step.action == "key") {
            const std::string key = testing::utf8(step.argument);
            const bool shift = key.find("shift") != std::string::npos;
            press(key.ends_with("enter") ? VK_RETURN : key.ends_with("z") ? 'Z' : 'Y', shift);
        } else if (step.action == "clear-during-split" || step.action == "close-during-split") {
            gate.close();
            click_split();
            ASSERT_TRUE(gate.wait_entered());
            if (step.action == "clear-during-split") {
                state().controller->run(layout::Command::Clear);  // Label4 is out of reach
                gate.open();
            } else {
                DestroyWindow(window_);  // returns at once, with the split held back
                gate.open();
                ASSERT_TRUE(pump_until([] { return !BackgroundSplit::any_running(); }));
            }
        } else if (step.action == "split-store-fails") {
            jobs.fail_next_store();
            click_split();
        } else {
            FAIL() << "unknown action";
        }
        ASSERT_TRUE(settled());
        if (step.action == "split-store-fails") {
            ASSERT_NE(message_shown(), nullptr) << "the failure is shown";
            SendMessageW(message_shown(), WM_COMMAND, IDOK, 0);
        }
        if (step.expected) {
            ASSERT_TRUE(IsWindow(window_));
            EXPECT_EQ(testing::utf8(text()), testing::utf8(*step.expected));
        } else {
            EXPECT_FALSE(IsWindow(window_));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Win32Window, Win32Scenarios, ::testing::ValuesIn(testing::all_scenarios()),
                         [](const auto& info) { return info.param.name; });

SplitOutcome add_a_mark(Job job) {
    job.text.push_back(u'!');
    return NewText{std::move(job.text), {}};
}

// Tab and Shift+Tab go round the text box and the three buttons that can be seen.
TEST_F(Win32Window, TabGoesRoundTheTextBoxAndTheButtons) {
    open(add_a_mark);
    SetFocus(edit());
    std::vector<std::wstring> order;
    for (int step = 0; step < 4; ++step) {
        MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        ASSERT_TRUE(handle_keyboard_shortcut(window_, tab));
        wchar_t name[64] = {};
        GetWindowTextW(GetFocus(), name, 64);
        order.emplace_back(GetFocus() == edit() ? L"Text1" : name);
    }
    EXPECT_EQ(order, (std::vector<std::wstring>{wide(texts::kSplit), wide(texts::kCopyAll),
                                                wide(texts::kNotice), L"Text1"}));
}

// A store the EDIT control has no room for leaves its text, and the window says so in a
// message that does not block: the call returns with the message still shown.
TEST_F(Win32Window, AStoreWithoutRoomKeepsTheTextAndSaysSo) {
    open(add_a_mark);
    type(u"好");
    SetWindowSubclass(
        edit(),
        [](HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) -> LRESULT {
            if (message == WM_SETTEXT) {
                return FALSE;  // as the control answers when it cannot hold the text
            }
            return DefSubclassProc(window, message, w, l);
        },
        7, 0);
    click_split();
    ASSERT_TRUE(settled());
    EXPECT_EQ(text(), u"好");
    ASSERT_NE(message_shown(), nullptr);
    wchar_t shown[512] = {};
    GetWindowTextW(GetDlgItem(message_shown(), 1), shown, 512);
    EXPECT_NE(std::wstring(shown).find(wide("内存不足")), std::wstring::npos);
    EXPECT_FALSE(IsWindowEnabled(window_)) << "modal to the window";
    SendMessageW(message_shown(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(message_shown(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(window_));
}

// A queue that is full (ten thousand messages waiting) refuses the job's outcome for a
// while: it arrives when there is room, and the window is not left busy.
std::atomic<int> refusals_left = 0;
BOOL WINAPI full_then_free(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (refusals_left.fetch_sub(1) > 0) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return FALSE;
    }
    return PostMessageW(window, message, w, l);
}

TEST_F(Win32Window, AnOutcomeRefusedByAFullQueueArrivesWhenThereIsRoom) {
    refusals_left = 5;
    open(add_a_mark, full_then_free);
    type(u"好");
    click_split();
    ASSERT_TRUE(settled());
    EXPECT_LE(refusals_left, 0) << "the queue refused nothing";
    EXPECT_EQ(text(), u"好!");
    EXPECT_EQ(GetWindowLongPtrW(edit(), GWL_STYLE) & ES_READONLY, 0) << "left busy";
}

// The EDIT control's one level of undo is the typing's: Ctrl+Z takes the typing back, then
// the split; Ctrl+Y brings them back in turn.
TEST_F(Win32Window, UndoGoesThroughTheTypingAndTheSplits) {
    open(add_a_mark);
    type(u"好");
    click_split();
    ASSERT_TRUE(settled());
    type(u"a");
    press('Z', false);
    EXPECT_EQ(text(), u"好!");
    press('Z', false);
    EXPECT_EQ(text(), u"好");
    press('Y', false);
    EXPECT_EQ(text(), u"好!");
    // A text brought back whole keeps no typing of its own to redo: the control's undo
    // knows only its last edit.
    press('Z', true);
    EXPECT_EQ(text(), u"好!");
    select(2, 2);
    type(u"b");
    press('Z', false);
    EXPECT_EQ(text(), u"好!");
    press('Z', true);  // Ctrl+Shift+Z redoes too
    EXPECT_EQ(text(), u"好!b");
}

// With nothing selected, the split of the selection says so beside the caret.
TEST_F(Win32Window, ANoticeSaysWhenNothingIsSelected) {
    open(add_a_mark);
    type(u"好");
    press(VK_RETURN, true);
    EXPECT_FALSE(state().controller->running());
    ASSERT_NE(state().view->notice(), nullptr);
    wchar_t shown[256] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.uId = 1;
    tool.lpszText = shown;
    SendMessageW(state().view->notice(), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(shown), wide(texts::kNothingSelected));
}

TEST_F(Win32Window, CopyAllTakesTheWholeTextWhateverIsSelected) {
    open(add_a_mark);
    type(u"好\r湖");  // Enter types CR LF
    select(0, 1);
    press('C', true);
    ASSERT_EQ(clipboard_.texts.size(), 1u);
    EXPECT_EQ(clipboard_.texts[0], u"好\r\n湖");
}

}  // namespace
}  // namespace mardovane::win32
