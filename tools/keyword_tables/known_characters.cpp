#include "tools/keyword_tables/known_characters.h"

#include <set>

namespace mardovane::tables {

KnownCharacters::KnownCharacters(const std::vector<DecompositionRecord>& records,
                                 const Overrides& overrides, const ReaderRules& rules) {
    std::set<std::u16string> seen;
    for (const auto& record : records) {
        const auto& name = record.character;
        if (!seen.insert(name).second || name.size() != 1 || !is_gbk_character(name[0]) ||
            !rules.piece_of(name)) {
            continue;  // the first record of a character is the one taken
        }
        std::u16string pieces;
        if (const auto it = overrides.characters.find(name[0]); it != overrides.characters.end()) {
            pieces = it->second.value_or(u"");
        } else {
            // 比 is recorded as 匕 written twice in a row: its pieces are 匕匕.
            const auto repeat = repetition_count(record.kind);
            const std::vector<std::u16string> components =
                repeat && record.components.size() == 1
                    ? std::vector<std::u16string>(*repeat, record.components[0])
                    : record.components;
            for (const auto& component : components) {
                const auto piece = rules.piece_of(component);
                if (!piece) {
                    pieces.clear();
                    break;
                }
                pieces += *piece;
            }
        }
        if (pieces.size() >= 2) {
            by_pieces_.emplace(std::pair(arrangement_of(record.kind), pieces), name[0]);
        }
    }
}

std::optional<char16_t> KnownCharacters::made_of(const std::string& kind,
                                                 const std::u16string& pieces) const {
    const auto it = by_pieces_.find({arrangement_of(kind), pieces});
    return it != by_pieces_.end() ? std::optional(it->second) : std::nullopt;
}

bool KnownCharacters::join_across_rows(std::vector<std::u16string>& groups,
                                       const std::vector<bool>& spelled_rows) const {
    bool joined = false;
    for (std::size_t i = 0; i + 1 < groups.size(); ++i) {
        if (!spelled_rows[i] || groups[i].size() < 2 || groups[i + 1].size() != 1) {
            continue;
        }
        const std::u16string pair{groups[i].back(), groups[i + 1][0]};
        if (const auto whole = made_of("a", pair)) {
            groups[i].back() = *whole;
            groups[i + 1].clear();
            joined = true;
        }
    }
    return joined;
}

}  // namespace mardovane::tables
