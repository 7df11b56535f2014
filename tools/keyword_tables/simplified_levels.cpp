#include "tools/keyword_tables/simplified_levels.h"

#include <string>

namespace mardovane::tables {

void keep_simplified_levels(std::map<char16_t, CharacterSplit>& splits, const CharacterFacts& facts,
                            const ReaderRules& rules) {
    for (auto& [c, split] : splits) {
        const auto simplified = facts.simplified_of_traditional(c);  // traditional only
        if (!simplified || simplified->size() != 1) {
            continue;
        }
        const auto kept = splits.find((*simplified)[0]);
        if (kept == splits.end() || kept->second.pieces.size() >= split.pieces.size()) {
            continue;
        }
        std::u16string traditional;
        std::u16string spelled;
        for (const char16_t piece : kept->second.pieces) {
            const char16_t drawn = facts.in_traditional_text(piece);
            traditional += drawn;
            const auto own = splits.find(drawn);
            spelled += own != splits.end() ? own->second.pieces : std::u16string(1, drawn);
        }
        bool fit = true;
        for (const char16_t piece : traditional) {
            fit = fit && rules.fits(c, piece);
        }
        if (fit && spelled == split.pieces) {
            split.pieces = traditional;
            split.spelled_out = false;
            split.rule = "a level its simplified form keeps";
        }
    }
}

}  // namespace mardovane::tables
