#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tools/keyword_tables/character_facts.h"
#include "tools/keyword_tables/decomposition.h"
#include "tools/keyword_tables/keyword_pair.h"

// The form each piece is drawn in, as the character's own script draws it.
namespace mardovane::tables {

// The traditional-only forms (內 吳 黃 爭) that traditional-only characters of a table are
// split into: the table's own practice for traditional text.
std::set<char16_t> traditional_forms_in_use(const std::vector<KeywordPair>& pairs,
                                            const CharacterFacts& facts);

// The traditional-only forms that the decomposition data draws its shapes with (吶 with 內,
// 淨 with 爭, 繈 with 強): the forms traditional text is known to draw as pieces.
std::set<char16_t> traditional_forms_drawn(const std::vector<DecompositionRecord>& records,
                                           const CharacterFacts& facts);

// How a traditional-only character draws `piece`: a piece written in both scripts (内) that
// has a traditional-only form drawn alike but for a stroke or two (內, not 蟲 for 虫), among
// `in_use`, is drawn in that form, as 吶 → 口內 shows for 納 → 糸內; otherwise none.
std::optional<char16_t> traditional_drawing(char16_t piece, const std::set<char16_t>& in_use,
                                            const CharacterFacts& facts);

// How a traditional-only character draws a piece that only simplified text writes, where
// that piece has one traditional form drawn alike but for a stroke or two (吕 as 呂 in
// 鋁); otherwise none.
std::optional<char16_t> traditional_of_simplified(char16_t piece, const CharacterFacts& facts);

}  // namespace mardovane::tables
