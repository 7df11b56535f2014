#pragma once

#include <array>
#include <string>
#include <string_view>

#include "substitution/keyword_table.h"

namespace mardovane::fuzz {

// Lines cut at 0x02 whose bytes pick letters from `alphabet`, so that what a keyword file
// can hardly spell by chance (line ends, NUL, characters outside the BMP, half of a
// surrogate pair) reaches the engine through the table.
template <std::size_t N>
std::u16string letters(std::string_view bytes, const std::array<std::u16string_view, N>& alphabet) {
    std::u16string text;
    for (const char byte : bytes) {
        text += alphabet[static_cast<unsigned char>(byte) % alphabet.size()];
    }
    return text;
}

template <std::size_t N>
KeywordTable letter_table(std::string_view bytes,
                          const std::array<std::u16string_view, N>& alphabet) {
    KeywordTable table;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        const std::size_t end = std::min(bytes.find('\x02', start), bytes.size());
        table.append_line(letters(bytes.substr(start, end - start), alphabet));
        start = end + 1;
    }
    return table;
}

}  // namespace mardovane::fuzz
