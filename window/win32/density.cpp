#include "window/win32/density.h"

#include <commctrl.h>

#include <string>

#include "window/win32/wide.h"

namespace mardovane::win32 {
namespace {

// A function of user32 that older Windows lack, or nullptr. GetProcAddress gives a generic
// pointer; going through void (*)() is the cast the compiler takes as meant.
template <typename Function>
Function user32_function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

// The window's density, where Windows can say it per monitor (10 and later), else the
// system's.
int window_dpi(HWND window) {
    using GetDpiForWindow = UINT(WINAPI*)(HWND);
    if (const auto get = user32_function<GetDpiForWindow>("GetDpiForWindow")) {
        if (const UINT dpi = get(window); dpi != 0) {
            return static_cast<int>(dpi);
        }
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

// The outer size of the window whose client area is the layout's at `dpi`.
SIZE window_size(int dpi) {
    const layout::Rect client = rules::scaled(layout::kClientArea.in_pixels(), dpi);
    RECT frame{0, 0, client.width, client.height};
    using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    const auto adjust = user32_function<AdjustForDpi>("AdjustWindowRectExForDpi");
    if (adjust == nullptr || !adjust(&frame, kWindowStyle, FALSE, 0, static_cast<UINT>(dpi))) {
        AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// Places the text box, its font and the tooltips for the window's density.
void lay_out(WindowState& state) {
    const layout::Rect box = rules::scaled(layout::kText1.in_pixels(), state.dpi);
    MoveWindow(state.edit, box.left, box.top, box.width, box.height, TRUE);
    // The character height, negative: of the characters, not the cell.
    const int height = -rules::font_pixel_height(layout::kText1PointSize, state.dpi);
    HFONT font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                             DEFAULT_PITCH, wide(layout::kText1Font).c_str());
    SendMessageW(state.edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (state.font != nullptr) {
        DeleteObject(state.font);
    }
    state.font = font;
    for (std::size_t i = 0; i < layout::kHotspots.size(); ++i) {
        if (state.buttons[i] != nullptr) {
            const layout::Rect area =
                rules::scaled(layout::kHotspots[i].twips.in_pixels(), state.dpi);
            MoveWindow(state.buttons[i], area.left, area.top, area.width, area.height, TRUE);
        }
    }
    for (std::size_t i = 0; state.tooltips != nullptr && i < layout::kHotspots.size(); ++i) {
        const layout::Rect area = rules::scaled(layout::kHotspots[i].twips.in_pixels(), state.dpi);
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = GetParent(state.edit);
        tool.uId = i + 1;
        tool.rect = {area.left, area.top, area.left + area.width, area.top + area.height};
        SendMessageW(state.tooltips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

}  // namespace mardovane::win32
