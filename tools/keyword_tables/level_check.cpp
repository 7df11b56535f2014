#include "tools/keyword_tables/level_check.h"

#include <set>
#include <string>

namespace mardovane::tables {
namespace {

using Records = std::map<std::u16string, const DecompositionRecord*>;

// The pieces readers know that a record names, and those its spelled-out components name
// in turn, down to the depth the splits spell out.
void named_pieces(const DecompositionRecord& record, const Records& first, const ReaderRules& rules,
                  int depth, std::set<char16_t>& named) {
    for (const auto& component : record.components) {
        if (const auto piece = rules.piece_of(component)) {
            named.insert(*piece);
        } else if (const auto own = first.find(component); own != first.end() && depth < 2) {
            named_pieces(*own->second, first, rules, depth + 1, named);
        }
    }
}

}  // namespace

std::vector<SkippedLevel> skipped_levels(const std::vector<DecompositionRecord>& records,
                                         const std::map<char16_t, CharacterSplit>& splits,
                                         const Overrides& overrides, const ReaderRules& rules) {
    Records first;
    for (const auto& record : records) {
        first.emplace(record.character, &record);  // the first one is taken
    }
    std::vector<SkippedLevel> skipped;
    for (const auto& [c, split] : splits) {
        const auto record = first.find(std::u16string(1, c));
        if (record == first.end() || overrides.characters.contains(c) ||
            overrides.riddles.contains(c) || split.rule == kStackedPartsRule ||
            split.rule == kHeldByXingRule) {
            continue;
        }
        std::set<char16_t> named;
        named_pieces(*record->second, first, rules, 0, named);
        for (const char16_t component : named) {
            const auto own = splits.find(component);
            if (component == c || own == splits.end() ||
                split.pieces.find(component) != std::u16string::npos) {
                continue;
            }
            if (split.pieces.find(own->second.pieces) != std::u16string::npos) {
                skipped.push_back({{c, split.pieces}, component});
            }
        }
    }
    return skipped;
}

}  // namespace mardovane::tables
