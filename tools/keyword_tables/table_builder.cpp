#include "tools/keyword_tables/table_builder.h"

#include <utility>

#include "tools/keyword_tables/piece_splitter.h"
#include "tools/keyword_tables/table_order.h"

namespace mardovane::tables {

BuiltTable build_table(const std::vector<DecompositionRecord>& records, TableKind kind,
                       const Overrides& overrides, const CharacterFacts& facts) {
    std::map<char16_t, std::u16string> splits;
    for (auto& [c, split] : usable_splits(records, kind, overrides, facts)) {
        splits.emplace(c, std::move(split.pieces));
    }
    return order_one_level_per_click(std::move(splits));
}

std::vector<KeywordPair> spelled_out_splits(const std::vector<DecompositionRecord>& records,
                                            TableKind kind, const Overrides& overrides,
                                            const CharacterFacts& facts) {
    std::vector<KeywordPair> spelled;
    for (auto& [c, split] : usable_splits(records, kind, overrides, facts)) {
        if (split.spelled_out) {
            spelled.push_back({c, std::move(split.pieces)});
        }
    }
    return spelled;
}

}  // namespace mardovane::tables
