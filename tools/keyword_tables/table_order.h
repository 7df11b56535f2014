#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/keyword_tables/keyword_pair.h"

namespace mardovane::tables {

// The characters that lie on a cycle of "is split into".
std::set<char16_t> characters_on_cycles(const std::map<char16_t, std::u16string>& splits);

struct OrderedPairs {
    std::vector<KeywordPair> pairs;
    std::size_t left_out_for_cycles = 0;
};

// The splits as pairs in an order that splits one level per click: a component's own pair
// comes before every pair whose replacement holds it, ties broken by code point. The
// characters on a cycle are left out.
OrderedPairs order_one_level_per_click(std::map<char16_t, std::u16string> splits);

}  // namespace mardovane::tables
