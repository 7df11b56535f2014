#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Pastes too long to make on the window's thread, and the form a pasted text takes in the
// text box. No toolkit code here.
namespace mardovane::rules {

// A paste of more lines or characters than these is made off the window's thread, as a
// split's result is, and swapped in as one edit. Qt takes about 75 ms on the window's
// thread for 20,000 short lines, and about 160 ms for 4 Mi characters in 40,000 lines:
// the lines cost more than the characters.
inline constexpr std::size_t kLongPasteLines = 20'000;
inline constexpr std::size_t kLongPasteCharacters = std::size_t{4} * 1024 * 1024;

[[nodiscard]] bool is_long_paste(std::u16string_view pasted);

// How a text box writes its text: its line break (LF, or CR LF for the Windows edit
// control), and whether the characters that a rich text document takes for its own
// structure (U+2029, U+FDD0, U+FDD1, as Qt's does) become line breaks there.
struct TextForm {
    bool crlf = false;
    bool separators_are_line_breaks = false;
};

// `pasted` as the text box would hold it: every line break (CR LF, a lone CR or LF, and
// the separators the form takes for line breaks) in the box's own form. The caret after a
// paste then stands behind what was put in, counted as the box counts it.
[[nodiscard]] std::u16string in_box_form(std::u16string_view pasted, TextForm form);

}  // namespace mardovane::rules
