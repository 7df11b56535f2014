#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "window/common/window_controller.h"
#include "window/win32/message_window.h"
#include "window/win32/services.h"

namespace mardovane::win32 {

// Tasks for the window's thread wait in its view; this message wakes the window to run them.
inline constexpr UINT kRunTask = WM_APP + 1;
// Timers of run_later() count up from here; the notice's is its own.
inline constexpr UINT_PTR kNoticeTimer = 1;
inline constexpr UINT_PTR kFirstTaskTimer = 100;

// The Win32 window as the window controller sees it: the EDIT control, the busy pointer, a
// message that does not block, a tooltip for notices, the clipboard, the shell and the
// window's message queue and timers.
class EditView final : public WindowView {
  public:
    // `busy` is the window's flag that its WM_SETCURSOR reads.
    EditView(HWND window, HWND edit, bool& busy, WindowServices& services);
    ~EditView() override;

    std::u16string content() const override;
    Selection selection() const override;
    rules::TextForm text_form() const override { return {true, false}; }
    std::unique_ptr<KeptText> show(NewText text) override;
    void set_editable(bool editable) override;

    // The EDIT control's own undo is one level, which a second undo takes back.
    bool can_undo_typing() const override;
    bool can_redo_typing() const override;
    void undo_typing() override;
    void redo_typing() override;
    std::unique_ptr<KeptText> swap_shown(std::unique_ptr<KeptText>& kept) override;

    void show_busy(bool busy) override;
    void show_failure(const std::string& message) override;
    void show_notice(const std::string& message) override;
    void copy_all() override;
    void open_web_page() override;
    void run_on_window_thread(std::function<void()> task) override;
    void run_later(int milliseconds, std::function<void()> task) override;

    // The user changed the text (EN_CHANGE): false when it was this view's own doing.
    bool typed();
    // WM_TIMER: true when it was one of this view's timers.
    bool timer(UINT_PTR id);
    MessageWindow& messages() { return messages_; }
    HWND notice() const { return notice_; }

    // kRunTask: runs the tasks handed over from jobs' threads, in the order they came.
    void run_handed_tasks();
    // The window is closing: a job's thread waiting for room in its queue gives up.
    void close() { closing_ = true; }

  private:
    // Sets the EDIT's whole text and selection; throws std::bad_alloc, with the old text
    // back in place, when the control has no room for it.
    void set_text(const std::u16string& text, Selection selection);

    HWND window_;
    HWND edit_;
    bool& busy_;
    WindowServices& services_;
    MessageWindow messages_;
    HWND notice_ = nullptr;  // a tracking tooltip by the caret
    std::wstring notice_text_;
    bool own_change_ = false;    // the text changes by this view's doing
    bool undid_typing_ = false;  // the EDIT's one undo was last used to undo
    std::map<UINT_PTR, std::function<void()>> timers_;
    UINT_PTR next_timer_ = kFirstTaskTimer;
    std::mutex handed_mutex_;
    std::deque<std::function<void()>> handed_;  // from jobs' threads
    std::atomic<bool> closing_ = false;
};

// Sets the pointer for where it stands now, without waiting for the mouse to move.
void refresh_pointer(HWND window);

}  // namespace mardovane::win32
