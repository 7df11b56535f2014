#pragma once

#include <string>
#include <vector>

#include "tools/keyword_tables/decomposition.h"

namespace mardovane::tables {

enum class TableKind {
    // Splits that still look like the character when written side by side: left-right
    // (a), repetitions across and in a triangle or square (ra, r3a, r3tr, r4sq) and the
    // bottom-left enclosures (sbl), as of 这 → 辶文.
    Default,
    // Default, and the top-bottom configurations (d, and the repetition down, rd).
    Full,
};

struct KeywordPair {
    char16_t character;
    std::u16string replacement;
};

struct BuiltTable {
    std::vector<KeywordPair> pairs;
    std::size_t left_out_for_cycles = 0;
};

// The pairs of a keyword table, in an order that splits one level per click: a
// component's own pair comes before every pair whose replacement holds it, ties broken by
// code point. Only characters whose every component is a GBK character outside private
// use are taken (radical forms outside GBK become their full forms where they have one,
// as ⺮ → 竹); no pair maps a character to itself, none finds a character twice, and
// characters that take part in a cycle of the data are left out.
BuiltTable build_table(const std::vector<DecompositionRecord>& records, TableKind kind);

// The keyword file bytes: GBK, CR LF after every line, no byte-order mark.
std::string to_keyword_file(const std::vector<KeywordPair>& pairs);

// Whether GBK (code page 936) holds the character at a code point outside private use.
bool is_gbk_character(char16_t c);

}  // namespace mardovane::tables
