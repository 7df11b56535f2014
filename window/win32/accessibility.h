#pragma once

#include <windows.h>

#include <string>

namespace mardovane::win32 {

// Gives a control the name and description a screen reader announces, where the control
// has none of its own to offer (an EDIT control has no caption).
void set_accessible_name(HWND control, const std::wstring& name, const std::wstring& description);

}  // namespace mardovane::win32
