#include "tools/keyword_tables/piece_forms.h"

#include <cstdlib>

namespace mardovane::tables {
namespace {

// Two forms of one shape differ by a stroke or two at most (争 爭, 黄 黃); a form that
// differs by more is another character that simplification merged (虫 蟲, 广 廣).
constexpr int kVariantStrokes = 2;

bool drawn_alike(char16_t one, char16_t other, const CharacterFacts& facts) {
    const auto strokes = facts.stroke_count(one);
    const auto other_strokes = facts.stroke_count(other);
    return strokes && other_strokes && std::abs(*strokes - *other_strokes) <= kVariantStrokes;
}

}  // namespace

std::set<char16_t> traditional_forms_in_use(const std::vector<KeywordPair>& pairs,
                                            const CharacterFacts& facts) {
    std::set<char16_t> in_use;
    for (const auto& pair : pairs) {
        if (!facts.is_traditional_only(pair.character)) {
            continue;
        }
        for (const char16_t piece : pair.replacement) {
            if (facts.is_traditional_only(piece)) {
                in_use.insert(piece);
            }
        }
    }
    return in_use;
}

std::set<char16_t> traditional_forms_drawn(const std::vector<DecompositionRecord>& records,
                                           const CharacterFacts& facts) {
    std::set<char16_t> drawn;
    for (const auto& record : records) {
        for (const auto& component : record.components) {
            if (component.size() == 1 && facts.is_traditional_only(component[0])) {
                drawn.insert(component[0]);
            }
        }
    }
    return drawn;
}

std::optional<char16_t> traditional_drawing(char16_t piece, const std::set<char16_t>& in_use,
                                            const CharacterFacts& facts) {
    // Written in both scripts, with one traditional-only form besides: two drawings of one
    // shape. Several forms (并: 並 併) are characters that simplification merged.
    const auto forms = facts.traditional_forms.find(piece);
    if (forms == facts.traditional_forms.end() || forms->second.size() != 2 ||
        forms->second.find(piece) == std::u16string::npos) {
        return std::nullopt;
    }
    const char16_t form = forms->second[0] == piece ? forms->second[1] : forms->second[0];
    if (!drawn_alike(piece, form, facts) || !facts.is_traditional_only(form) ||
        !in_use.contains(form)) {
        return std::nullopt;
    }
    return form;
}

std::optional<char16_t> traditional_of_simplified(char16_t piece, const CharacterFacts& facts) {
    const auto forms = facts.traditional_forms.find(piece);
    if (!facts.is_simplified_only(piece) || forms->second.size() != 1 ||
        !facts.is_traditional_only(forms->second[0]) ||
        !drawn_alike(piece, forms->second[0], facts)) {
        return std::nullopt;
    }
    return forms->second[0];
}

}  // namespace mardovane::tables
