#pragma once

#include <windows.h>

#include <string>

#include "window/win32/services.h"

namespace mardovane::win32 {

// Creates Form1 with the Win32 API from the same layout table as the Qt window: the
// background bitmap, the EDIT control Text1 and the hotspots; centred on the work area and
// shown. Returns nullptr if the window cannot be created.
HWND create_main_window(HINSTANCE instance, WindowServices services, int show_command);

// The keyboard, as in every front end: the layout table's shortcuts (Ctrl+Enter,
// Ctrl+Shift+Enter, Ctrl+Shift+C, Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z), Ctrl+A selects the whole
// text, Ctrl+V pastes through the rule for long pastes, Tab and Shift+Tab go round the
// text box and the buttons, Space or Enter press the focused button, and Enter, Esc and
// Tab reach a message shown. Returns true when `message` was one of them, which then goes
// no further.
bool handle_keyboard_shortcut(HWND window, MSG& message);

}  // namespace mardovane::win32
