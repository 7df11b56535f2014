#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "substitution/keyword_table.h"

namespace mardovane::testing {

// The replace step as plainly as it can be written: scan left to right, replace every
// occurrence, never look at a replacement again.
std::u16string reference_replace(std::u16string_view text, std::u16string_view find,
                                 std::u16string_view replacement);

struct ReferenceSplit {
    std::u16string text;
    std::size_t longest = 0;  // the longest text held after any pair
};

// One pass per pair, in file order. Gives up (nullopt) once the text grows past `guard`.
std::optional<ReferenceSplit> reference_split(std::u16string_view text, const KeywordTable& table,
                                              std::size_t guard);

}  // namespace mardovane::testing
