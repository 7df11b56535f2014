#include "window/win32/painting.h"

namespace mardovane::win32 {
namespace {

// The background picture at its natural size (the client area cuts off its right-most
// column), scaled smoothly to the window's density, with the client area's top-left
// corner at (left, top) of `target`.
void draw_background(HDC target, int left, int top, const WindowState& state) {
    if (state.background == nullptr) {
        return;
    }
    HDC source = CreateCompatibleDC(target);
    HGDIOBJ previous = SelectObject(source, state.background);
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);
    StretchBlt(target, left, top, rules::scaled(layout::kBackgroundWidth, state.dpi),
               rules::scaled(layout::kBackgroundHeight, state.dpi), source, 0, 0,
               layout::kBackgroundWidth, layout::kBackgroundHeight, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}

}  // namespace

void paint(HWND window, const WindowState& state) {
    PAINTSTRUCT paint{};
    HDC target = BeginPaint(window, &paint);
    draw_background(target, 0, 0, state);
    EndPaint(window, &paint);
}

void draw_button(const WindowState& state, const DRAWITEMSTRUCT& item) {
    POINT origin{0, 0};
    MapWindowPoints(item.hwndItem, GetParent(item.hwndItem), &origin, 1);
    draw_background(item.hDC, -origin.x, -origin.y, state);
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT frame = item.rcItem;
        InflateRect(&frame, -2, -2);
        DrawFocusRect(item.hDC, &frame);
    }
}

}  // namespace mardovane::win32
