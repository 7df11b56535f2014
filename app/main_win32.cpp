#include <windows.h>

#include "window/win32/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
    HWND window =
        mardovane::win32::create_main_window(instance, L"" MARDOVANE_HOMEPAGE, show_command);
    if (window == nullptr) {
        return 1;
    }
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (mardovane::win32::handle_keyboard_shortcut(window, message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
