#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "window/common/layout.h"
#include "window/common/window_controller.h"
#include "window/common/window_rules.h"
#include "window/win32/edit_view.h"
#include "window/win32/services.h"

namespace mardovane::win32 {

// A fixed-size window: a title bar with the minimise and close buttons, no maximise.
inline constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// A command asked for from the keyboard: wParam is the layout::Command.
inline constexpr UINT kRunCommand = WM_APP + 2;
inline constexpr int kText1Id = 1;
// The hotspots' buttons: this control id plus their index in the layout table.
inline constexpr int kFirstHotspotId = 100;

// What the window keeps from one message to the next.
struct WindowState {
    explicit WindowState(WindowServices given) : services(std::move(given)) {}
    WindowServices services;
    HINSTANCE instance = nullptr;
    HWND edit = nullptr;
    HBITMAP background = nullptr;
    HFONT font = nullptr;
    HCURSOR hand = nullptr;
    rules::ClickTracker clicks;
    bool busy = false;  // a job has taken long enough to show the busy pointer
    std::unique_ptr<EditView> view;
    std::unique_ptr<WindowController> controller;
    int dpi = 96;  // of the monitor the window is on: the layout is scaled to it
    HWND tooltips = nullptr;
    // One button a hotspot that can be seen, for the keyboard and screen readers; none
    // for the one below the window.
    std::array<HWND, layout::kHotspots.size()> buttons{};
};

}  // namespace mardovane::win32
