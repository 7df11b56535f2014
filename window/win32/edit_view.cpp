#include "window/win32/edit_view.h"

#include <commctrl.h>

#include <algorithm>
#include <new>

#include "window/common/texts.h"
#include "window/win32/wide.h"

namespace mardovane::win32 {
namespace {

// A text the EDIT control showed before it was replaced whole.
struct KeptEditText final : KeptText {
    std::u16string text;
    Selection selection;
    rules::KeptDocument size() const override {
        return {text.size(),
                static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\n')) + 1};
    }
};

const std::wstring& caption() {
    static const std::wstring text = wide(texts::kCaption);
    return text;
}

// How long a notice stays by the caret.
constexpr UINT kNoticeMs = 4000;
constexpr DWORD kQueueFullRetryMs = 10;

}  // namespace

EditView::EditView(HWND window, HWND edit, bool& busy, WindowServices& services)
    : window_(window), edit_(edit), busy_(busy), services_(services), messages_(window) {}

EditView::~EditView() {
    if (notice_ != nullptr) {
        DestroyWindow(notice_);
    }
}

std::u16string EditView::content() const {
    const int length = GetWindowTextLengthW(edit_);
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const int copied = GetWindowTextW(edit_, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

Selection EditView::selection() const {
    DWORD from = 0;
    DWORD to = 0;
    SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    return {from, to};
}

void EditView::set_text(const std::u16string& text, Selection selection) {
    own_change_ = true;
    // WM_SETTEXT says, unlike EM_REPLACESEL, when the control has no room for the text.
    const bool set = SendMessageW(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    own_change_ = false;
    if (!set) {
        throw std::bad_alloc();
    }
    undid_typing_ = false;  // the control's own undo begins afresh with the new text
    SendMessageW(edit_, EM_SETSEL, selection.from, selection.to);
    SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}

std::unique_ptr<KeptText> EditView::show(NewText text) {
    auto kept = std::make_unique<KeptEditText>();  // the old text, before anything changes
    kept->text = content();
    kept->selection = selection();
    try {
        set_text(text.text, text.selection);
    } catch (...) {
        if (GetWindowTextLengthW(edit_) != static_cast<int>(kept->text.size())) {
            own_change_ = true;
            SendMessageW(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kept->text.c_str()));
            own_change_ = false;
        }
        throw;
    }
    return kept;
}

std::unique_ptr<KeptText> EditView::swap_shown(std::unique_ptr<KeptText>& kept) {
    auto& shown = static_cast<KeptEditText&>(*kept);
    auto result = show(NewText{shown.text, shown.selection});
    kept.reset();
    return result;
}

void EditView::set_editable(bool editable) {
    SendMessageW(edit_, EM_SETREADONLY, editable ? FALSE : TRUE, 0);
}

bool EditView::can_undo_typing() const {
    return !undid_typing_ && SendMessageW(edit_, EM_CANUNDO, 0, 0) != 0;
}

bool EditView::can_redo_typing() const {
    return undid_typing_ && SendMessageW(edit_, EM_CANUNDO, 0, 0) != 0;
}

void EditView::undo_typing() {
    own_change_ = true;
    SendMessageW(edit_, EM_UNDO, 0, 0);
    own_change_ = false;
    undid_typing_ = true;
}

void EditView::redo_typing() {
    own_change_ = true;
    SendMessageW(edit_, EM_UNDO, 0, 0);  // the control's undo of an undo
    own_change_ = false;
    undid_typing_ = false;
}

bool EditView::typed() {
    if (own_change_) {
        return false;
    }
    undid_typing_ = false;
    return true;
}

void EditView::show_busy(bool busy) {
    if (busy_ != busy) {
        busy_ = busy;
        refresh_pointer(window_);
    }
}

void EditView::show_failure(const std::string& message) {
    messages_.show(caption(), wide(message));
}

void EditView::show_notice(const std::string& message) {
    if (notice_ == nullptr) {
        notice_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                                  0, 0, 0, 0, window_, nullptr, nullptr, nullptr);
        if (notice_ == nullptr) {
            return;
        }
    }
    notice_text_ = wide(message);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = window_;
    tool.uId = 1;
    tool.lpszText = notice_text_.data();
    SendMessageW(notice_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(notice_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    POINT caret{};
    GetCaretPos(&caret);
    ClientToScreen(edit_, &caret);
    SendMessageW(notice_, TTM_TRACKPOSITION, 0, MAKELPARAM(caret.x, caret.y + 20));
    SendMessageW(notice_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    SetTimer(window_, kNoticeTimer, kNoticeMs, nullptr);
}

void EditView::copy_all() {
    switch (services_.clipboard.set_plain_text(window_, content())) {
        case ClipboardResult::Done:
            return;
        case ClipboardResult::Busy:
            messages_.show(caption(), wide(texts::kClipboardBusy));
            return;
        case ClipboardResult::Failed:
            messages_.show(caption(), wide(texts::kClipboardFailed));
            return;
    }
}

void EditView::open_web_page() {
    services_.url_opener.open(window_, services_.web_page);
}

void EditView::run_on_window_thread(std::function<void()> task) {
    {
        const std::lock_guard lock(handed_mutex_);
        handed_.push_back(std::move(task));
    }
    // The message only wakes the window. A full queue (ten thousand messages waiting)
    // refuses it until the window has taken some: wait for room rather than leave a job's
    // outcome unseen and the window busy for good.
    while (!services_.post_message(window_, kRunTask, 0, 0)) {
        if (closing_) {
            return;
        }
        Sleep(kQueueFullRetryMs);
    }
}

void EditView::run_handed_tasks() {
    std::deque<std::function<void()>> tasks;
    {
        const std::lock_guard lock(handed_mutex_);
        tasks.swap(handed_);
    }
    for (auto& task : tasks) {
        task();
    }
}

void EditView::run_later(int milliseconds, std::function<void()> task) {
    const UINT_PTR id = next_timer_++;
    timers_[id] = std::move(task);
    SetTimer(window_, id, static_cast<UINT>(milliseconds), nullptr);
}

bool EditView::timer(UINT_PTR id) {
    if (id == kNoticeTimer) {
        KillTimer(window_, id);
        if (notice_ != nullptr) {
            TOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.hwnd = window_;
            tool.uId = 1;
            SendMessageW(notice_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
        }
        return true;
    }
    const auto found = timers_.find(id);
    if (found == timers_.end()) {
        return false;
    }
    KillTimer(window_, id);
    const auto task = std::move(found->second);
    timers_.erase(found);
    task();
    return true;
}

void refresh_pointer(HWND window) {
    POINT point{};
    GetCursorPos(&point);
    HWND under = WindowFromPoint(point);
    if (under != window && !IsChild(window, under)) {
        return;
    }
    const auto hit =
        static_cast<WORD>(SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)));
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                 MAKELPARAM(hit, WM_MOUSEMOVE));
}

}  // namespace mardovane::win32
