#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/keyword_tables/character_facts.h"
#include "tools/keyword_tables/keyword_pair.h"

namespace mardovane::tables {

// A pair whose pieces have more or fewer strokes than its character, beyond what pieces
// that share a stroke explain: a piece is likely wrong (記 → 言几 has one too few).
struct StrokeDifference {
    KeywordPair pair;
    int character_strokes = 0;
    int piece_strokes = 0;
};

// The pairs whose pieces' strokes differ from the character's Unihan count by less than
// nothing or by more than `kSharedStrokes` (where two pieces written apart share one,
// 里 → 田土); pairs with a character or piece of unknown count are left out.
inline constexpr int kSharedStrokes = 1;

// The pieces' strokes less the character's, or none when a count is unknown.
std::optional<int> stroke_difference(char16_t character, std::u16string_view pieces,
                                     const CharacterFacts& facts);
// Whether the pieces add up to the character, a shared stroke allowed; true when unknown.
bool strokes_add_up(char16_t character, std::u16string_view pieces, const CharacterFacts& facts);

// Whether pieces that spell out a component add up to its strokes exactly: written apart
// in the character, they share none (巿, four strokes, is not 十巾). True when a count is
// unknown, or for a numbered shape, which Unihan does not count.
bool spells_exactly(std::u16string_view component, std::u16string_view pieces,
                    const CharacterFacts& facts);

std::vector<StrokeDifference> stroke_differences(const std::vector<KeywordPair>& pairs,
                                                 const CharacterFacts& facts);

// The reviewed differences: `char<TAB>pieces<TAB>reason` a line, # a comment. A pair is
// accepted only with the very pieces reviewed. Throws on a malformed line.
std::map<char16_t, std::u16string> parse_stroke_review(std::string_view file);

// The differences not on the reviewed list.
std::vector<StrokeDifference> unreviewed(const std::vector<StrokeDifference>& differences,
                                         const std::map<char16_t, std::u16string>& reviewed);

}  // namespace mardovane::tables
