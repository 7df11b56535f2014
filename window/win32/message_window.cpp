#include "window/win32/message_window.h"

#include <algorithm>

namespace mardovane::win32 {
namespace {

constexpr wchar_t kClassName[] = L"MardovaneMessage";
constexpr int kTextId = 1;
constexpr int kMargin = 16;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;

void register_class(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    if (GetClassInfoExW(instance, kClassName, &window_class)) {
        return;
    }
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kClassName;
    RegisterClassExW(&window_class);
}

}  // namespace

MessageWindow::~MessageWindow() {
    close();
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

LRESULT CALLBACK MessageWindow::procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE:
            SetWindowLongPtrW(
                window, GWLP_USERDATA,
                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams));
            break;
        case WM_COMMAND:
            if (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL) {
                self->close();
                return 0;
            }
            break;
        case WM_CLOSE:
            self->close();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, w, l);
}

void MessageWindow::show(const std::wstring& caption, const std::wstring& text) {
    close();
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner_, GWLP_HINSTANCE));
    register_class(instance, procedure);
    if (font_ == nullptr) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        font_ = CreateFontIndirectW(&metrics.lfMessageFont);
    }
    // The text's size in the message font, wrapped at about a third of the screen.
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font_);
    RECT text_rect{0, 0, std::max(320, GetSystemMetrics(SM_CXSCREEN) / 3), 0};
    DrawTextW(screen, text.c_str(), -1, &text_rect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    const int client_width = std::max<int>(text_rect.right, kButtonWidth) + 2 * kMargin;
    const int client_height = text_rect.bottom + 3 * kMargin + kButtonHeight;
    constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, client_width, client_height};
    AdjustWindowRectEx(&frame, kStyle, FALSE, WS_EX_DLGMODALFRAME);
    RECT owner{};
    GetWindowRect(owner_, &owner);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    window_ = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClassName,
                              caption.c_str(), kStyle, (owner.left + owner.right - width) / 2,
                              (owner.top + owner.bottom - height) / 2, width, height, owner_,
                              nullptr, instance, this);
    if (window_ == nullptr) {
        return;
    }
    HWND label =
        CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX, kMargin,
                        kMargin, text_rect.right, text_rect.bottom, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), instance, nullptr);
    HWND ok = CreateWindowExW(
        0, L"BUTTON", L"确定", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
        (client_width - kButtonWidth) / 2, client_height - kMargin - kButtonHeight, kButtonWidth,
        kButtonHeight, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), instance,
        nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageW(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    MessageBeep(MB_ICONWARNING);
    EnableWindow(owner_, FALSE);  // modal to the main window, which goes on painting
    ShowWindow(window_, SW_SHOW);
    SetFocus(ok);
}

void MessageWindow::close() {
    if (window_ == nullptr) {
        return;
    }
    // The owner first, so that Windows gives it the activation back.
    EnableWindow(owner_, TRUE);
    HWND closing = window_;
    window_ = nullptr;
    DestroyWindow(closing);
}

bool MessageWindow::handle_keys(MSG& message) const {
    return window_ != nullptr && IsDialogMessageW(window_, &message);
}

}  // namespace mardovane::win32
