#include "window/win32/main_window.h"

#include <memory>
#include <string>
#include <utility>

#include "resource_ids.h"
#include "window/common/texts.h"
#include "window/win32/controls.h"
#include "window/win32/density.h"
#include "window/win32/edit_menu.h"
#include "window/win32/keyboard.h"
#include "window/win32/painting.h"
#include "window/win32/wide.h"
#include "window/win32/window_state.h"

// The window class and its procedure, and the commands it runs.
namespace mardovane::win32 {
namespace {

constexpr wchar_t kClassName[] = L"MardovaneForm1";

const std::wstring kCaption = wide(texts::kCaption);

void run(WindowState& state, layout::Command command) {
    state.controller->run(command);
}

// The job runner the window was given, or the program's own: keyword.info beside it.
JobRunner runner_of(const WindowServices& services) {
    if (services.runner) {
        return services.runner;
    }
    return [table = keyword_file_loader(services.program_directory)](Job job) {
        return run_job(std::move(job), table);
    };
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
            state->view =
                std::make_unique<EditView>(window, state->edit, state->busy, state->services);
            state->controller = std::make_unique<WindowController>(
                *state->view, background_starter(runner_of(state->services)));
            take_over_edit_menu_and_paste(*state);
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
                    run(*state, layout::kHotspots[*hotspot].command);
                    return 0;
                }
            }
            if (HIWORD(w) == EN_CHANGE && reinterpret_cast<HWND>(l) == state->edit && state->view &&
                state->view->typed()) {
                state->controller->typed();
                return 0;
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
            (void)state->view->timer(w);
            return 0;
        case kRunCommand:
            run(*state, static_cast<layout::Command>(w));
            return 0;
        case kRunTask:
            state->view->run_handed_tasks();
            return 0;
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
                run(*state, *command);
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
            // A job still running is left to end unseen; what it already handed over is
            // dropped with the view.
            state->view->close();
            state->controller.reset();
            state->view.reset();
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
    HWND window = CreateWindowExW(0, kClassName, kCaption.c_str(), kWindowStyle, CW_USEDEFAULT,
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
