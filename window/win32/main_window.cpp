#include "window/win32/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include "resource_ids.h"
#include "substitution/text_codec.h"
#include "window/background_split.h"
#include "window/layout.h"
#include "window/split_controller.h"
#include "window/texts.h"
#include "window/win32/accessibility.h"
#include "window/win32/edit_split_view.h"
#include "window/win32/edit_text_holder.h"
#include "window/window_rules.h"

namespace mardovane::win32 {
namespace {

constexpr wchar_t kClassName[] = L"MardovaneForm1";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kText1Id = 1;
// A command asked for from the keyboard: wParam is the layout::Command.
constexpr UINT kRunCommand = WM_APP + 2;
// The hotspots' buttons: this control id plus their index in the layout table.
constexpr int kFirstHotspotId = 100;

struct WindowState {
    explicit WindowState(WindowServices given) : services(std::move(given)) {}
    WindowServices services;
    HINSTANCE instance = nullptr;
    HWND edit = nullptr;
    HBITMAP background = nullptr;
    HFONT font = nullptr;
    HCURSOR hand = nullptr;
    rules::ClickTracker clicks;
    bool busy = false;  // the split has taken long enough to show the busy pointer
    std::unique_ptr<EditSplitView> split_view;
    std::unique_ptr<SplitController> splits;
    int dpi = 96;  // of the monitor the window is on: the layout is scaled to it
    HWND tooltips = nullptr;
    // One button a hotspot that can be seen, for the keyboard and screen readers; none
    // for the one below the window.
    std::array<HWND, layout::kHotspots.size()> buttons{};
};

// A function of user32 that older Windows lack, or nullptr. GetProcAddress gives a generic
// pointer; going through void (*)() is the cast the compiler takes as meant.
template <typename Function>
Function user32_function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

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
    if (adjust == nullptr || !adjust(&frame, kStyle, FALSE, 0, static_cast<UINT>(dpi))) {
        AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

std::wstring wide(const std::string& utf8) {
    auto decoded = decode(utf8, Encoding::Utf8);
    const auto* text = std::get_if<std::u16string>(&decoded);
    return text ? std::wstring(text->begin(), text->end()) : std::wstring();
}

const std::wstring kCaption = wide(std::string(texts::kCaption));

void warn(HWND window, const std::wstring& text) {
    MessageBoxW(window, text.c_str(), kCaption.c_str(), MB_OK | MB_ICONWARNING);
}

void split(WindowState& state) {
    state.splits->click();
}

void copy_all(HWND window, WindowState& state) {
    switch (state.services.clipboard.set_plain_text(window, EditTextHolder(state.edit).content())) {
        case ClipboardResult::Done:
            return;
        case ClipboardResult::Busy:
            warn(window, wide(std::string(texts::kClipboardBusy)));
            return;
        case ClipboardResult::Failed:
            warn(window, wide(std::string(texts::kClipboardFailed)));
            return;
    }
}

void clear(WindowState& state) {
    if (!state.splits->running()) {  // the text is read-only while a split runs
        EditTextHolder(state.edit).replace_content(std::u16string());
    }
}

void open_web_page(HWND window, const WindowState& state) {
    state.services.url_opener.open(window, state.services.web_page);
}

// The commands, for the shared dispatch.
class Actions final : public rules::WindowActions {
  public:
    Actions(HWND window, WindowState& state) : window_(window), state_(state) {}
    void split() override { mardovane::win32::split(state_); }
    void copy_all() override { mardovane::win32::copy_all(window_, state_); }
    void clear() override { mardovane::win32::clear(state_); }
    void open_web_page() override { mardovane::win32::open_web_page(window_, state_); }

  private:
    HWND window_;
    WindowState& state_;
};

void run(HWND window, WindowState& state, layout::Command command) {
    Actions actions(window, state);
    rules::dispatch(command, actions);
}

HWND create_text1(HWND window, WindowState& state) {
    HWND edit =
        CreateWindowExW(0, L"EDIT", L"",
                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE |
                            ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                        0, 0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kText1Id)),
                        state.instance, nullptr);
    SendMessageW(edit, EM_LIMITTEXT, 0, 0);  // no limit of its own
    return edit;
}

// The buttons let the mouse through to the window, whose click rule decides; they are
// there for the keyboard and for screen readers, which see a button with its name.
LRESULT CALLBACK transparent_to_the_mouse(HWND button, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                          DWORD_PTR) {
    if (message == WM_NCHITTEST) {
        return HTTRANSPARENT;
    }
    return DefSubclassProc(button, message, w, l);
}

void create_buttons(HWND window, WindowState& state) {
    const int client_height = layout::kClientArea.in_pixels().height;
    for (std::size_t i = 0; i < layout::kHotspots.size(); ++i) {
        const layout::Hotspot& area = layout::kHotspots[i];
        const layout::Rect pixels = area.twips.in_pixels();
        if (pixels.top + pixels.height > client_height) {
            continue;  // below the window, where no one can see or reach it
        }
        HWND button =
            CreateWindowExW(0, L"BUTTON", wide(std::string(area.accessible_name)).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, 0, 0, 0, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstHotspotId + i)),
                            state.instance, nullptr);
        SetWindowSubclass(button, transparent_to_the_mouse, 0, 0);
        state.buttons[i] = button;
    }
}

// A button draws the part of the picture under it, so that it seems not to be there, and
// a focus frame while it has the keyboard focus.
void draw_button(const WindowState& state, const DRAWITEMSTRUCT& item) {
    if (state.background != nullptr) {
        POINT origin{0, 0};
        MapWindowPoints(item.hwndItem, GetParent(item.hwndItem), &origin, 1);
        HDC source = CreateCompatibleDC(item.hDC);
        HGDIOBJ previous = SelectObject(source, state.background);
        SetStretchBltMode(item.hDC, HALFTONE);
        SetBrushOrgEx(item.hDC, 0, 0, nullptr);
        StretchBlt(item.hDC, -origin.x, -origin.y,
                   rules::scaled(layout::kBackgroundWidth, state.dpi),
                   rules::scaled(layout::kBackgroundHeight, state.dpi), source, 0, 0,
                   layout::kBackgroundWidth, layout::kBackgroundHeight, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
    }
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT frame = item.rcItem;
        InflateRect(&frame, -2, -2);
        DrawFocusRect(item.hDC, &frame);
    }
}

// The index of the hotspot whose button `control` is, or none.
std::optional<std::size_t> hotspot_of(const WindowState& state, HWND control) {
    for (std::size_t i = 0; i < state.buttons.size(); ++i) {
        if (control != nullptr && state.buttons[i] == control) {
            return i;
        }
    }
    return std::nullopt;
}

// Places the text box, its font and the tooltips for the window's density.
void lay_out(WindowState& state) {
    const layout::Rect box = rules::scaled(layout::kText1.in_pixels(), state.dpi);
    MoveWindow(state.edit, box.left, box.top, box.width, box.height, TRUE);
    // The character height, negative: of the characters, not the cell.
    const int height = -rules::font_pixel_height(layout::kText1PointSize, state.dpi);
    HFONT font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                             DEFAULT_PITCH, wide(std::string(layout::kText1Font)).c_str());
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

// The tooltips of the hotspots that have one: a tooltip control over each rectangle.
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
        if (area.tooltip.empty()) {
            continue;
        }
        std::wstring text = wide(std::string(area.tooltip));
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

void paint(HWND window, const WindowState& state) {
    PAINTSTRUCT paint{};
    HDC target = BeginPaint(window, &paint);
    if (state.background != nullptr) {
        HDC source = CreateCompatibleDC(target);
        HGDIOBJ previous = SelectObject(source, state.background);
        // At its natural size (the client area cuts off its right-most column), scaled
        // smoothly to the window's density.
        SetStretchBltMode(target, HALFTONE);
        SetBrushOrgEx(target, 0, 0, nullptr);
        StretchBlt(target, 0, 0, rules::scaled(layout::kBackgroundWidth, state.dpi),
                   rules::scaled(layout::kBackgroundHeight, state.dpi), source, 0, 0,
                   layout::kBackgroundWidth, layout::kBackgroundHeight, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
    }
    EndPaint(window, &paint);
}

// A mouse message's point in the layout's pixels.
std::pair<int, int> layout_point(const WindowState& state, LPARAM l) {
    return {rules::unscaled(static_cast<short>(LOWORD(l)), state.dpi),
            rules::unscaled(static_cast<short>(HIWORD(l)), state.dpi)};
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* state = reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE: {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(l);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            return DefWindowProcW(window, message, w, l);
        }
        case WM_CREATE:
            state->dpi = window_dpi(window);
            state->edit = create_text1(window, *state);
            set_accessible_name(state->edit, wide(std::string(texts::kText1AccessibleName)),
                                wide(std::string(texts::kText1AccessibleDescription)));
            state->split_view = std::make_unique<EditSplitView>(window, state->edit, state->busy);
            state->splits = std::make_unique<SplitController>(*state->split_view,
                                                              state->services.program_directory);
            state->tooltips = add_tooltips(window, state->instance);
            create_buttons(window, *state);
            lay_out(*state);
            return 0;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
            if (hotspot_of(*state, item->hwndItem)) {
                draw_button(*state, *item);
                return TRUE;
            }
            break;
        }
        case WM_COMMAND:
            // A button pressed other than by the mouse: a screen reader's default action.
            if (HIWORD(w) == BN_CLICKED) {
                if (const auto hotspot = hotspot_of(*state, reinterpret_cast<HWND>(l))) {
                    run(window, *state, layout::kHotspots[*hotspot].command);
                    return 0;
                }
            }
            break;
        case WM_DPICHANGED: {
            // Moved to a monitor of another density: Windows suggests the new frame.
            state->dpi = HIWORD(w);
            const auto* suggested = reinterpret_cast<const RECT*>(l);
            SetWindowPos(window, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            lay_out(*state);
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        }
        case WM_PAINT:
            paint(window, *state);
            return 0;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(w) == window && LOWORD(l) == HTCLIENT) {
                POINT point{};
                GetCursorPos(&point);
                ScreenToClient(window, &point);
                const bool hand = rules::pointer_at(rules::unscaled(point.x, state->dpi),
                                                    rules::unscaled(point.y, state->dpi)) ==
                                  layout::Pointer::Hand;
                SetCursor(state->busy ? LoadCursorW(nullptr, IDC_APPSTARTING)
                          : hand      ? state->hand
                                      : LoadCursorW(nullptr, IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_TIMER:
            if (w == kBusyTimer) {
                KillTimer(window, kBusyTimer);
                state->busy = true;
                SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
            }
            return 0;
        case kRunCommand:
            run(window, *state, static_cast<layout::Command>(w));
            return 0;
        case kRunTask: {
            const std::unique_ptr<std::function<void()>> task(
                reinterpret_cast<std::function<void()>*>(l));
            (*task)();
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN: {
            const auto [x, y] = layout_point(*state, l);
            state->clicks.press(
                message == WM_LBUTTONDOWN ? rules::MouseButton::Left : rules::MouseButton::Right, x,
                y);
            if (message == WM_LBUTTONDOWN) {
                SetCapture(window);  // the release counts only where it lands
            }
            return 0;
        }
        case WM_LBUTTONUP: {
            if (GetCapture() == window) {
                ReleaseCapture();
            }
            const auto [x, y] = layout_point(*state, l);
            if (const auto command = state->clicks.release(rules::MouseButton::Left, x, y)) {
                run(window, *state, *command);
            }
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(w) != WA_INACTIVE) {
                SetFocus(state->edit);  // the text box is the only control that takes focus
            }
            return 0;
        case WM_SETFOCUS:
            SetFocus(state->edit);
            return 0;
        case WM_DESTROY: {
            // A split still running is left to end unseen; what it already handed over
            // is dropped here.
            state->splits.reset();
            EditSplitView::drop_queued_tasks(window);
            DeleteObject(state->font);
            DeleteObject(state->background);
            delete state;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            PostQuitMessage(0);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(window, message, w, l);
}

}  // namespace

// Tab and Shift+Tab go round the text box and the buttons, in the layout's tab order.
bool move_focus(const WindowState& state, bool backwards) {
    std::vector<std::pair<int, HWND>> order = {{0, state.edit}};
    for (std::size_t i = 0; i < state.buttons.size(); ++i) {
        if (state.buttons[i] != nullptr) {
            order.emplace_back(layout::kHotspots[i].tab_index, state.buttons[i]);
        }
    }
    std::sort(order.begin(), order.end());
    const HWND focus = GetFocus();
    const auto at = std::find_if(order.begin(), order.end(),
                                 [focus](const auto& entry) { return entry.second == focus; });
    if (at == order.end()) {
        return false;
    }
    const std::size_t index = static_cast<std::size_t>(at - order.begin());
    const std::size_t next =
        backwards ? (index + order.size() - 1) % order.size() : (index + 1) % order.size();
    SetFocus(order[next].second);
    return true;
}

bool handle_keyboard_shortcut(HWND window, const MSG& message) {
    if (message.message != WM_KEYDOWN) {
        return false;
    }
    const auto* state = reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (state == nullptr) {
        return false;
    }
    const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    if (message.wParam == VK_TAB && !control) {
        return move_focus(*state, shift);
    }
    if (const auto hotspot = hotspot_of(*state, message.hwnd);
        hotspot && !control && (message.wParam == VK_SPACE || message.wParam == VK_RETURN)) {
        PostMessageW(window, kRunCommand, static_cast<WPARAM>(layout::kHotspots[*hotspot].command),
                     0);
        return true;  // Space and Enter press the focused button
    }
    if (!control) {
        return false;
    }
    if (message.wParam == VK_RETURN && !shift) {  // Ctrl+Enter, the main and keypad keys
        PostMessageW(window, kRunCommand, static_cast<WPARAM>(layout::Command::Split), 0);
        return true;
    }
    if (message.wParam == 'C' && shift) {  // Ctrl+Shift+C
        PostMessageW(window, kRunCommand, static_cast<WPARAM>(layout::Command::CopyAll), 0);
        return true;
    }
    if (message.wParam == 'A' && !shift) {  // Ctrl+A, which the EDIT control lacks
        if (message.hwnd == state->edit) {
            SendMessageW(state->edit, EM_SETSEL, 0, -1);
            return true;
        }
    }
    return false;
}

HWND create_main_window(HINSTANCE instance, WindowServices services, int show_command) {
    auto* state = new WindowState(std::move(services));
    state->instance = instance;
    state->hand = LoadCursorW(instance, MAKEINTRESOURCEW(MARDOVANE_HAND_CURSOR));
    state->background = static_cast<HBITMAP>(LoadImageW(
        instance, MAKEINTRESOURCEW(MARDOVANE_BACKGROUND), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));

    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(MARDOVANE_ICON));
    window_class.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(MARDOVANE_ICON),
                                                         IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                         GetSystemMetrics(SM_CYSMICON), 0));
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    window_class.lpszClassName = kClassName;
    RegisterClassExW(&window_class);

    // Created first, so that the monitor it opens on gives the density; then given the
    // size whose client area is the layout's there, centred on the work area.
    HWND window = CreateWindowExW(0, kClassName, kCaption.c_str(), kStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, state);
    if (window == nullptr) {
        delete state;
        return nullptr;
    }
    const SIZE size = window_size(state->dpi);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const rules::Point origin = rules::centred(work.left, work.top, work.right - work.left,
                                               work.bottom - work.top, size.cx, size.cy);
    SetWindowPos(window, nullptr, origin.x, origin.y, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window, show_command);
    UpdateWindow(window);
    SetFocus(state->edit);
    return window;
}

}  // namespace mardovane::win32
