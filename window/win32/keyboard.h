#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

#include "window/win32/window_state.h"

// The keyboard and the focus: Tab round the text box and the buttons, the shortcuts of the
// layout table, Space and Enter on a button.
namespace mardovane::win32 {

// The index of the hotspot whose button `control` is, or none.
std::optional<std::size_t> hotspot_of(const WindowState& state, HWND control);

}  // namespace mardovane::win32
