#include "tools/keyword_tables/stroke_check.h"

#include <stdexcept>
#include <variant>

#include "substitution/line_breaks.h"
#include "substitution/text_codec.h"

namespace mardovane::tables {

std::optional<int> stroke_difference(char16_t character, std::u16string_view pieces,
                                     const CharacterFacts& facts) {
    const auto strokes = facts.stroke_count(character);
    if (!strokes) {
        return std::nullopt;
    }
    int piece_strokes = 0;
    for (const char16_t piece : pieces) {
        const auto count = facts.stroke_count(piece);
        if (!count) {
            return std::nullopt;
        }
        piece_strokes += *count;
    }
    return piece_strokes - *strokes;
}

bool strokes_add_up(char16_t character, std::u16string_view pieces, const CharacterFacts& facts) {
    const auto difference = stroke_difference(character, pieces, facts);
    return !difference || (*difference >= 0 && *difference <= kSharedStrokes);
}

bool spells_exactly(std::u16string_view component, std::u16string_view pieces,
                    const CharacterFacts& facts) {
    if (component.size() != 1) {
        return true;
    }
    const auto difference = stroke_difference(component[0], pieces, facts);
    return !difference || *difference == 0;
}

std::vector<StrokeDifference> stroke_differences(const std::vector<KeywordPair>& pairs,
                                                 const CharacterFacts& facts) {
    std::vector<StrokeDifference> differences;
    for (const auto& pair : pairs) {
        if (!strokes_add_up(pair.character, pair.replacement, facts)) {
            const int strokes = *facts.stroke_count(pair.character);
            differences.push_back(
                {pair, strokes,
                 strokes + *stroke_difference(pair.character, pair.replacement, facts)});
        }
    }
    return differences;
}

std::map<char16_t, std::u16string> parse_stroke_review(std::string_view file) {
    std::map<char16_t, std::u16string> reviewed;
    std::size_t number = 0;
    for_each_line(file, [&](std::string_view line) {
        ++number;
        if (line.empty() || line.starts_with('#')) {
            return;
        }
        const std::size_t first_tab = line.find('\t');
        const std::size_t second_tab = line.find('\t', first_tab + 1);
        const auto what = decode(line.substr(0, first_tab), Encoding::Utf8);
        const auto pieces =
            decode(line.substr(first_tab + 1, second_tab - first_tab - 1), Encoding::Utf8);
        const auto* character = std::get_if<std::u16string>(&what);
        if (second_tab == std::string_view::npos || second_tab + 1 == line.size() ||
            character == nullptr || character->size() != 1 ||
            !std::holds_alternative<std::u16string>(pieces)) {
            throw std::runtime_error("stroke review, line " + std::to_string(number) +
                                     ": not of the form character<TAB>pieces<TAB>reason");
        }
        reviewed[(*character)[0]] = std::get<std::u16string>(pieces);
    });
    return reviewed;
}

std::vector<StrokeDifference> unreviewed(const std::vector<StrokeDifference>& differences,
                                         const std::map<char16_t, std::u16string>& reviewed) {
    std::vector<StrokeDifference> left;
    for (const auto& difference : differences) {
        const auto it = reviewed.find(difference.pair.character);
        if (it == reviewed.end() || it->second != difference.pair.replacement) {
            left.push_back(difference);
        }
    }
    return left;
}

}  // namespace mardovane::tables
