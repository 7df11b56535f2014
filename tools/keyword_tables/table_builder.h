#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/keyword_tables/decomposition.h"
#include "tools/keyword_tables/keyword_file_writer.h"
#include "tools/keyword_tables/keyword_pair.h"
#include "tools/keyword_tables/overrides.h"
#include "tools/keyword_tables/reader_rules.h"
#include "tools/keyword_tables/table_kind.h"
#include "tools/keyword_tables/table_order.h"

namespace mardovane::tables {

using BuiltTable = OrderedPairs;

// The pairs of a keyword table, in an order that splits one level per click: a
// component's own pair comes before every pair whose replacement holds it, ties broken by
// code point. Only characters whose every component is a GBK character outside private
// use are taken (radical forms outside GBK become their full forms where they have one,
// as ⺮ → 竹); no pair maps a character to itself, none finds a character twice, and
// characters that take part in a cycle of the data are left out.
//
// What a reader sees decides: no piece is a bare stroke (一 丨 丶 丿 乙 乚 亅 丷), a
// character that readers see as one unit (a radical of up to five strokes, or a
// component form such as 氵 or 疒) is never split, and every piece is a common character
// (GB2312) or a component readers know. A component that GBK lacks is spelled out by its
// own split when that reads well (得 → 彳旦寸), with at most four pieces in all.
BuiltTable build_table(const std::vector<DecompositionRecord>& records, TableKind kind,
                       const Overrides& overrides = {}, const CharacterFacts& facts = {});

// The splits that spelled out a component GBK lacks, for review: character, pieces.
std::vector<KeywordPair> spelled_out_splits(const std::vector<DecompositionRecord>& records,
                                            TableKind kind, const Overrides& overrides = {},
                                            const CharacterFacts& facts = {});

}  // namespace mardovane::tables
