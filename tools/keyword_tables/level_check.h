#pragma once

#include <map>
#include <vector>

#include "tools/keyword_tables/decomposition.h"
#include "tools/keyword_tables/keyword_pair.h"
#include "tools/keyword_tables/overrides.h"
#include "tools/keyword_tables/piece_splitter.h"
#include "tools/keyword_tables/reader_rules.h"

namespace mardovane::tables {

// A click that skips a level: the pair writes out the pieces of a component that the data
// names and readers know as a piece, where it should name the component (湧 → 氵甬力 while
// the data names 勇; 唎 → 口禾刂 while it names 利).
struct SkippedLevel {
    KeywordPair pair;
    char16_t component;
};

// Every pair of `splits` that skips a level, by the first record of each character and of
// the components it spells out. Reviewed pairs, riddles and the splits whose rule takes a
// named component apart on purpose (the parts the data stacks, 行 round the other part)
// are not checked.
std::vector<SkippedLevel> skipped_levels(const std::vector<DecompositionRecord>& records,
                                         const std::map<char16_t, CharacterSplit>& splits,
                                         const Overrides& overrides, const ReaderRules& rules);

}  // namespace mardovane::tables
