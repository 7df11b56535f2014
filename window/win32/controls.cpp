#include "window/win32/controls.h"

#include <commctrl.h>

#include <string>

#include "window/common/texts.h"
#include "window/win32/accessibility.h"
#include "window/win32/wide.h"

namespace mardovane::win32 {
namespace {

LRESULT CALLBACK transparent_to_the_mouse(HWND button, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                          DWORD_PTR) {
    if (message == WM_NCHITTEST) {
        return HTTRANSPARENT;
    }
    return DefSubclassProc(button, message, w, l);
}

}  // namespace

HWND create_text1(HWND window, WindowState& state) {
    HWND edit =
        CreateWindowExW(0, L"EDIT", L"",
                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE |
                            ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                        0, 0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kText1Id)),
                        state.instance, nullptr);
    SendMessageW(edit, EM_LIMITTEXT, 0, 0);  // no limit of its own
    set_accessible_name(edit, wide(texts::kText1AccessibleName),
                        wide(texts::kText1AccessibleDescription));
    return edit;
}

void create_buttons(HWND window, WindowState& state) {
    for (const std::size_t i : rules::keyboard_order()) {
        const layout::Hotspot& area = layout::kHotspots[i];
        HWND button =
            CreateWindowExW(0, L"BUTTON", wide(area.accessible_name).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, 0, 0, 0, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstHotspotId + i)),
                            state.instance, nullptr);
        SetWindowSubclass(button, transparent_to_the_mouse, 0, 0);
        state.buttons[i] = button;
    }
}

HWND add_tooltips(HWND window, HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);  // registers the tooltip class
    HWND tips = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                window, nullptr, instance, nullptr);
    if (tips == nullptr) {
        return nullptr;
    }
    for (std::size_t i = 0; i < layout::kHotspots.size(); ++i) {
        const layout::Hotspot& area = layout::kHotspots[i];
        std::wstring text = wide(rules::tooltip(area));
        if (text.empty()) {
            continue;
        }
        const layout::Rect pixels = area.twips.in_pixels();
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = window;
        tool.uId = i + 1;
        tool.rect = {pixels.left, pixels.top, pixels.left + pixels.width,
                     pixels.top + pixels.height};
        tool.lpszText = text.data();  // copied by the control
        SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return tips;
}

}  // namespace mardovane::win32
