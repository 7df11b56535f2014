#pragma once

#include <array>
#include <string>
#include <string_view>

#include <optional>
#include <variant>

#include "substitution/keyword_file.h"
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

// An input of the split fuzzers: a table, a NUL byte, a settings byte, then the text.
struct SplitInput {
    std::string_view table;
    std::optional<unsigned char> settings;  // none: the input ends before it
    std::string_view text;
};

inline SplitInput sections_of(std::string_view input) {
    const std::size_t separator = input.find('\0');
    SplitInput sections{input.substr(0, separator), std::nullopt, {}};
    if (separator != std::string_view::npos && separator + 1 < input.size()) {
        sections.settings = static_cast<unsigned char>(input[separator + 1]);
        sections.text = input.substr(separator + 2);
    }
    return sections;
}

// The table section: keyword file bytes, or, after a leading 0x01, letter lines.
template <std::size_t N>
std::variant<KeywordTable, FileError> table_of(std::string_view bytes,
                                               const std::array<std::u16string_view, N>& alphabet) {
    if (bytes.starts_with('\x01')) {
        return letter_table(bytes.substr(1), alphabet);
    }
    return parse_keyword_file(bytes, "fuzz.info");
}

}  // namespace mardovane::fuzz
