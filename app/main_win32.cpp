#include <windows.h>

#include <cstdlib>
#include <string>
#include <variant>

#include "substitution/program_directory.h"
#include "window/common/background_split.h"
#include "window/win32/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
    const auto folder = mardovane::program_directory();
    if (const auto* error = std::get_if<mardovane::ProgramDirectoryError>(&folder)) {
        const std::wstring message(error->message.begin(), error->message.end());  // ASCII
        MessageBoxW(nullptr, message.c_str(), L"Mardovane", MB_OK | MB_ICONERROR);
        return 1;
    }
    mardovane::win32::SystemClipboard clipboard;
    mardovane::win32::ShellUrlOpener url_opener;
    HWND window = mardovane::win32::create_main_window(
        instance,
        {std::get<std::filesystem::path>(folder), L"" MARDOVANE_HOMEPAGE, clipboard, url_opener},
        show_command);
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
    // A job abandoned by the closed window may still run: the program then ends at once,
    // without tearing down what its thread may still use.
    return mardovane::finish_program(static_cast<int>(message.wParam));
}
