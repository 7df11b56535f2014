#include "window/common/long_paste.h"

#include <algorithm>

namespace mardovane::rules {

bool is_long_paste(std::u16string_view pasted) {
    return pasted.size() > kLongPasteCharacters ||
           static_cast<std::size_t>(std::count(pasted.begin(), pasted.end(), u'\n')) >
               kLongPasteLines;
}

std::u16string in_box_form(std::u16string_view pasted, TextForm form) {
    std::u16string text;
    text.reserve(pasted.size());
    const std::u16string_view line_break = form.crlf ? u"\r\n" : u"\n";
    for (std::size_t i = 0; i < pasted.size(); ++i) {
        const char16_t c = pasted[i];
        const bool separator =
            form.separators_are_line_breaks && (c == u'\u2029' || c == u'\uFDD0' || c == u'\uFDD1');
        if (c == u'\r') {
            if (i + 1 < pasted.size() && pasted[i + 1] == u'\n') {
                ++i;
            }
            text += line_break;
        } else if (c == u'\n' || separator) {
            text += line_break;
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace mardovane::rules
