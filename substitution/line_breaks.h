#pragma once

#include <cstddef>
#include <string_view>

namespace mardovane {

// Calls `visit` with each line of `text`, without its terminator. CR LF, a lone LF and a
// lone CR each end a line; text after the last terminator is a last line, and a text that
// ends in a terminator has no empty line after it.
template <typename Char, typename Visit>
void for_each_line(std::basic_string_view<Char> text, Visit&& visit) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != Char('\r') && text[end] != Char('\n')) {
            ++end;
        }
        visit(text.substr(start, end - start));
        if (end < text.size() && text[end] == Char('\r') && end + 1 < text.size() &&
            text[end + 1] == Char('\n')) {
            ++end;
        }
        start = end + 1;
    }
}

// How many line breaks `text` holds: CR LF counts once, a lone CR or LF once each.
template <typename Char>
std::size_t count_line_breaks(std::basic_string_view<Char> text) {
    // Every LF, and every CR that no LF follows, found with the library's fast scans (a
    // memchr for bytes): line breaks are few, and the text between them is skipped.
    std::size_t breaks = 0;
    for (std::size_t lf = text.find(Char('\n')); lf != text.npos;
         lf = text.find(Char('\n'), lf + 1)) {
        ++breaks;
    }
    for (std::size_t cr = text.find(Char('\r')); cr != text.npos;
         cr = text.find(Char('\r'), cr + 1)) {
        if (cr + 1 >= text.size() || text[cr + 1] != Char('\n')) {
            ++breaks;
        }
    }
    return breaks;
}

// A CR just before `offset` ends its line only if no LF follows it.
template <typename Char>
std::size_t line_number_at(std::basic_string_view<Char> text, std::size_t offset) {
    offset = offset < text.size() ? offset : text.size();
    std::size_t line = 1 + count_line_breaks(text.substr(0, offset));
    if (offset > 0 && offset < text.size() && text[offset - 1] == Char('\r') &&
        text[offset] == Char('\n')) {
        --line;
    }
    return line;
}

}  // namespace mardovane
