#pragma once

#include <windows.h>

#include <string>

namespace mardovane::win32 {

// Creates Form1 with the Win32 API from the same layout table as the Qt window: the
// background bitmap, the EDIT control Text1 and the hotspots; centred on the work area and
// shown. Returns nullptr if the window cannot be created.
HWND create_main_window(HINSTANCE instance, std::wstring web_page, int show_command);

}  // namespace mardovane::win32
