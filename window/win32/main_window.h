#pragma once

#include <windows.h>

#include <string>

#include "window/win32/services.h"

namespace mardovane::win32 {

// Creates Form1 with the Win32 API from the same layout table as the Qt window: the
// background bitmap, the EDIT control Text1 and the hotspots; centred on the work area and
// shown. Returns nullptr if the window cannot be created.
HWND create_main_window(HINSTANCE instance, WindowServices services, int show_command);

// Ctrl+Enter splits, Ctrl+Shift+C copies all and Ctrl+A selects the whole text, as in the
// Qt window. Returns true when `message` was one of them, which then goes no further.
bool handle_keyboard_shortcut(HWND window, const MSG& message);

}  // namespace mardovane::win32
