#pragma once

#include <windows.h>

#include "window/win32/window_state.h"

// Drawing the window: the background picture, and the buttons that show the part of it
// under them with a focus frame.
namespace mardovane::win32 {

void paint(HWND window, const WindowState& state);

// A button draws the part of the picture under it, so that it seems not to be there, and
// a focus frame while it has the keyboard focus.
void draw_button(const WindowState& state, const DRAWITEMSTRUCT& item);

}  // namespace mardovane::win32
