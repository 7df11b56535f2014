#include "window/win32/edit_text_holder.h"

namespace mardovane::win32 {

std::u16string EditTextHolder::content() const {
    const int length = GetWindowTextLengthW(edit_);
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const int copied = GetWindowTextW(edit_, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

void EditTextHolder::replace_content(std::u16string text) {
    SendMessageW(edit_, EM_SETSEL, 0, -1);
    SendMessageW(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(edit_, EM_SETSEL, 0, 0);
    SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}

}  // namespace mardovane::win32
