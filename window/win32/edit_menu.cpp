#include "window/win32/edit_menu.h"

#include <commctrl.h>

#include <string>

#include "window/common/layout.h"
#include "window/common/texts.h"
#include "window/common/window_rules.h"
#include "window/win32/wide.h"

namespace mardovane::win32 {
namespace {

enum MenuItem : UINT {
    kUndo = 1,
    kRedo,
    kCut,
    kCopy,
    kPaste,
    kDelete,
    kSelectAll,
    kSplitSelection,
};

// The clipboard's text, or nothing.
std::u16string clipboard_text(HWND owner) {
    std::u16string text;
    if (!OpenClipboard(owner)) {
        return text;
    }
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* units = static_cast<const char16_t*>(GlobalLock(data))) {
            text = units;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void add(HMENU menu, UINT id, std::string_view caption, std::string_view shortcut, bool enabled) {
    std::wstring text = wide(caption);
    if (!shortcut.empty()) {
        text += L"\t" + wide(shortcut);
    }
    AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id, text.c_str());
}

// A command of the window's, labelled with its key from the shortcut table.
void add(HMENU menu, UINT id, std::string_view caption, layout::Command command, bool enabled) {
    add(menu, id, caption, rules::shortcut_text(command).value_or(""), enabled);
}

void show_menu(HWND edit, WindowState& state, LPARAM where) {
    WindowController& controller = *state.controller;
    const Selection selection = state.view->selection();
    const bool editable = (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) == 0;
    HMENU menu = CreatePopupMenu();
    add(menu, kUndo, texts::kUndo, layout::Command::Undo, controller.can_undo());
    add(menu, kRedo, texts::kRedo, layout::Command::Redo, controller.can_redo());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    // The edit control's own keys.
    add(menu, kCut, texts::kCut, "Ctrl+X", editable && !selection.empty());
    add(menu, kCopy, texts::kCopy, "Ctrl+C", !selection.empty());
    add(menu, kPaste, texts::kPaste, "Ctrl+V",
        editable && IsClipboardFormatAvailable(CF_UNICODETEXT));
    add(menu, kDelete, texts::kDelete, "Del", editable && !selection.empty());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    add(menu, kSelectAll, texts::kSelectAll, "Ctrl+A", GetWindowTextLengthW(edit) > 0);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    add(menu, kSplitSelection, texts::kSplitSelection, layout::Command::SplitSelection,
        controller.can_split_selection());
    POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    if (where == -1) {  // from the keyboard: at the caret
        GetCaretPos(&at);
        ClientToScreen(edit, &at);
    }
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, edit, nullptr));
    DestroyMenu(menu);
    switch (chosen) {
        case kUndo:
            controller.run(layout::Command::Undo);
            break;
        case kRedo:
            controller.run(layout::Command::Redo);
            break;
        case kCut:
            SendMessageW(edit, WM_CUT, 0, 0);
            break;
        case kCopy:
            SendMessageW(edit, WM_COPY, 0, 0);
            break;
        case kPaste:
            SendMessageW(edit, WM_PASTE, 0, 0);
            break;
        case kDelete:
            SendMessageW(edit, WM_CLEAR, 0, 0);
            break;
        case kSelectAll:
            SendMessageW(edit, EM_SETSEL, 0, -1);
            break;
        case kSplitSelection:
            controller.run(layout::Command::SplitSelection);
            break;
        default:
            break;
    }
}

LRESULT CALLBACK edit_procedure(HWND edit, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                DWORD_PTR data) {
    auto& state = *reinterpret_cast<WindowState*>(data);
    switch (message) {
        case WM_CONTEXTMENU:
            if (state.controller) {
                show_menu(edit, state, l);
                return 0;
            }
            break;
        case WM_PASTE:
            // A long paste is made off the window's thread; a short one by the control.
            if (state.controller && (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) == 0 &&
                state.controller->paste(clipboard_text(edit))) {
                return 0;
            }
            break;
        default:
            break;
    }
    return DefSubclassProc(edit, message, w, l);
}

}  // namespace

void take_over_edit_menu_and_paste(WindowState& state) {
    SetWindowSubclass(state.edit, edit_procedure, 1, reinterpret_cast<DWORD_PTR>(&state));
}

}  // namespace mardovane::win32
