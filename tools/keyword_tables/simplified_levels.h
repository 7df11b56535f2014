#pragma once

#include <map>

#include "tools/keyword_tables/character_facts.h"
#include "tools/keyword_tables/piece_splitter.h"
#include "tools/keyword_tables/reader_rules.h"

namespace mardovane::tables {

// A traditional character keeps the level its simplified form keeps: where the simplified
// form's pieces, in their traditional forms, spell the same pieces one level down (鸿 → 江鸟
// spells 氵工鳥 as 鴻 does), they are the pair (鴻 → 江鳥).
void keep_simplified_levels(std::map<char16_t, CharacterSplit>& splits, const CharacterFacts& facts,
                            const ReaderRules& rules);

}  // namespace mardovane::tables
