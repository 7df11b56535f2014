#pragma once

#include <windows.h>

#include "window/win32/window_state.h"

namespace mardovane::win32 {

// The text box's own menu, drawn by the window (the EDIT control's cannot be added to):
// undo and redo through the window's history, the usual editing commands, and the split
// of the selection. Its pastes go through the window's rule for long ones.
void take_over_edit_menu_and_paste(WindowState& state);

}  // namespace mardovane::win32
