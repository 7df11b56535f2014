#include "window/win32/edit_split_view.h"

#include <memory>

#include "window/common/texts.h"
#include "window/win32/edit_text_holder.h"
#include "window/win32/wide.h"

namespace mardovane::win32 {

std::u16string EditSplitView::content() const {
    return EditTextHolder(edit_).content();
}

void EditSplitView::replace_content(std::u16string text) {
    EditTextHolder(edit_).replace_content(std::move(text));
}

void EditSplitView::set_editable(bool editable) {
    SendMessageW(edit_, EM_SETREADONLY, editable ? FALSE : TRUE, 0);
}

void EditSplitView::set_busy(bool busy) {
    if (busy) {
        SetTimer(window_, kBusyTimer, kBusyPointerDelayMs, nullptr);
        return;
    }
    KillTimer(window_, kBusyTimer);
    if (busy_) {
        busy_ = false;
        refresh_pointer(window_);
    }
}

void EditSplitView::show_failure(const std::string& message) {
    MessageBoxW(window_, wide(message).c_str(), wide(texts::kCaption).c_str(),
                MB_OK | MB_ICONWARNING);
}

void EditSplitView::run_on_window_thread(std::function<void()> task) {
    auto handed = std::make_unique<std::function<void()>>(std::move(task));
    if (PostMessageW(window_, kRunTask, 0, reinterpret_cast<LPARAM>(handed.get()))) {
        handed.release();  // the window procedure owns it now
    }
}

void EditSplitView::drop_queued_tasks(HWND window) {
    MSG queued{};
    while (PeekMessageW(&queued, window, kRunTask, kRunTask, PM_REMOVE)) {
        delete reinterpret_cast<std::function<void()>*>(queued.lParam);
    }
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
