#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace mardovane {

// The lines of a keyword file in file order. Lines pair up: line 1 is the first text to
// find and line 2 its replacement, line 3 the next text to find, and so on.
struct KeywordTable {
    std::vector<std::u16string> lines;

    std::size_t pair_count() const { return lines.size() / 2; }
    bool has_unpaired_last_line() const { return lines.size() % 2 == 1; }
    const std::u16string& find_text(std::size_t pair) const { return lines[2 * pair]; }
    const std::u16string& replacement(std::size_t pair) const { return lines[2 * pair + 1]; }
};

}  // namespace mardovane
