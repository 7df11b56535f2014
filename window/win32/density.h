#pragma once

#include <windows.h>

#include "window/win32/window_state.h"

// The window's density: the monitor's dots per inch, the window's size for them, and the
// places of the controls scaled to them.
namespace mardovane::win32 {

// The window's density, where Windows can say it per monitor (10 and later), else the
// system's.
int window_dpi(HWND window);

// The outer size of the window whose client area is the layout's at `dpi`.
SIZE window_size(int dpi);

// Places the text box, its font, the buttons and the tooltips for the window's density.
void lay_out(WindowState& state);

}  // namespace mardovane::win32
