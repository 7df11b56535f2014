#include "window/win32/keyboard.h"

#include <vector>

#include "window/common/window_rules.h"
#include "window/win32/main_window.h"

namespace mardovane::win32 {
namespace {

// Tab and Shift+Tab go round the text box and the buttons, in the layout's tab order.
bool move_focus(const WindowState& state, bool backwards) {
    std::vector<HWND> order = {state.edit};
    for (const std::size_t i : rules::keyboard_order()) {
        order.push_back(state.buttons[i]);
    }
    const HWND focus = GetFocus();
    for (std::size_t at = 0; at < order.size(); ++at) {
        if (order[at] == focus) {
            const std::size_t next =
                backwards ? (at + order.size() - 1) % order.size() : (at + 1) % order.size();
            SetFocus(order[next]);
            return true;
        }
    }
    return false;
}

// The layout table's key for a virtual-key code, if it has one.
std::optional<layout::Key> key_of(WPARAM virtual_key) {
    if (virtual_key == VK_RETURN) {  // the main key and the keypad's
        return layout::Key::Enter;
    }
    return rules::key_of_letter(static_cast<char32_t>(virtual_key));  // 'A' to 'Z' are letters
}

}  // namespace

std::optional<std::size_t> hotspot_of(const WindowState& state, HWND control) {
    for (std::size_t i = 0; i < state.buttons.size(); ++i) {
        if (control != nullptr && state.buttons[i] == control) {
            return i;
        }
    }
    return std::nullopt;
}

bool handle_keyboard_shortcut(HWND window, MSG& message) {
    auto* state = reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (state == nullptr) {
        return false;
    }
    if (state->view && state->view->messages().handle_keys(message)) {
        return true;  // Enter, Esc and Tab in a message shown
    }
    if (message.message != WM_KEYDOWN) {
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
    if (const auto key = key_of(message.wParam)) {
        if (const auto command = rules::shortcut_command(*key, shift)) {
            PostMessageW(window, kRunCommand, static_cast<WPARAM>(*command), 0);
            return true;
        }
    }
    if (message.wParam == 'A' && !shift && message.hwnd == state->edit) {
        SendMessageW(state->edit, EM_SETSEL, 0, -1);  // Ctrl+A, which the EDIT control lacks
        return true;
    }
    if (message.wParam == 'V' && !shift && message.hwnd == state->edit) {
        SendMessageW(state->edit, WM_PASTE, 0, 0);  // through the rule for long pastes
        return true;
    }
    return false;
}

}  // namespace mardovane::win32
