#pragma once

#include <windows.h>

#include "window/win32/window_state.h"

// The window's child controls: the text box, a button over each hotspot that can be seen,
// and the tooltips.
namespace mardovane::win32 {

// The EDIT control Text1, with its name for screen readers.
HWND create_text1(HWND window, WindowState& state);

// The buttons let the mouse through to the window, whose click rule decides; they are
// there for the keyboard and for screen readers, which see a button with its name.
void create_buttons(HWND window, WindowState& state);

// The tooltips of the hotspots that have one: a tooltip control over each rectangle.
HWND add_tooltips(HWND window, HINSTANCE instance);

}  // namespace mardovane::win32
