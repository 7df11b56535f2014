#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/keyword_tables/character_facts.h"
#include "tools/keyword_tables/decomposition.h"
#include "tools/keyword_tables/overrides.h"
#include "tools/keyword_tables/table_kind.h"

namespace mardovane::tables {

// The rules that take a component the data names apart on purpose: 猒 stacks 日 over 月
// where the data names 明; 行 holds the other part between its halves.
inline constexpr const char* kStackedPartsRule = "the parts the data stacks";
inline constexpr const char* kHeldByXingRule = "行 holds the other part";

struct CharacterSplit {
    std::u16string pieces;
    bool spelled_out = false;     // a component GBK lacks is written as its own pieces
    bool rewritten = false;       // a reviewed rewrite of a piece (~壴 → 士豆) gave pieces
    bool spelled_deeper = false;  // a numbered shape inside a spelled component is spelled too
    std::size_t last_component_pieces = 0;  // how many pieces the last component gave
    // The rule of this generation that shaped the split, for review; empty for none.
    std::string rule;
};

// The split of every character that the data, the overrides and the rules of what a
// reader sees allow, from the first usable record of each.
std::map<char16_t, CharacterSplit> usable_splits(const std::vector<DecompositionRecord>& records,
                                                 TableKind kind, const Overrides& overrides,
                                                 const CharacterFacts& facts);

// The components GBK lacks whose own split does not add up to their strokes, with that
// split (巿 → 十巾): shapes no GBK pieces spell, which the splits above leave out.
std::map<char16_t, std::u16string> unspellable_shapes(
    const std::vector<DecompositionRecord>& records, TableKind kind, const Overrides& overrides,
    const CharacterFacts& facts);

}  // namespace mardovane::tables
