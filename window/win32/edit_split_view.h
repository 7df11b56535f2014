#pragma once

#include <windows.h>

#include "window/common/split_controller.h"

namespace mardovane::win32 {

// The timer after which a split shows the busy pointer.
inline constexpr UINT_PTR kBusyTimer = 1;
// A task for the window's thread, from a split's thread: lParam owns a heap
// std::function<void()>.
inline constexpr UINT kRunTask = WM_APP + 1;

// The Win32 window as the split controller sees it: the EDIT control, the busy pointer, a
// message box and the window's message queue.
class EditSplitView final : public SplitView {
  public:
    // `busy` is the window's flag that its WM_SETCURSOR reads.
    EditSplitView(HWND window, HWND edit, bool& busy) : window_(window), edit_(edit), busy_(busy) {}

    std::u16string content() const override;
    void replace_content(std::u16string text) override;
    void set_editable(bool editable) override;
    void set_busy(bool busy) override;
    void show_failure(const std::string& message) override;
    void run_on_window_thread(std::function<void()> task) override;

    // The window's end: drops the tasks still queued for it.
    static void drop_queued_tasks(HWND window);

  private:
    HWND window_;
    HWND edit_;
    bool& busy_;
};

// Sets the pointer for where it stands now, without waiting for the mouse to move.
void refresh_pointer(HWND window);

}  // namespace mardovane::win32
