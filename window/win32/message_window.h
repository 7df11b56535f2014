#pragma once

#include <windows.h>

#include <string>

namespace mardovane::win32 {

// A message with an OK button that does not block: a window of its own, owned by the main
// window and modal to it (the main window takes no input while it shows), shown and left
// to the message loop, which passes it its keys (handle_message_window_keys). A second
// message replaces the first.
class MessageWindow {
  public:
    explicit MessageWindow(HWND owner) : owner_(owner) {}
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    void show(const std::wstring& caption, const std::wstring& text);
    void close();
    // The window while it shows, else nullptr.
    HWND window() const { return window_; }
    // Enter, Esc and Tab in the message: true when `message` was one of them.
    bool handle_keys(MSG& message) const;

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);

    HWND owner_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
};

}  // namespace mardovane::win32
