#include "tools/keyword_tables/stroke_check.h"

#include <stdexcept>
#include <variant>

#include "substitution/line_breaks.h"
#include "substitution/text_codec.h"

namespace mardovane::tables {

std::vector<StrokeDifference> stroke_differences(const std::vector<KeywordPair>& pairs,
                                                 const CharacterFacts& facts) {
    std::vector<StrokeDifference> differences;
    for (const auto& pair : pairs) {
        const auto strokes = facts.stroke_count(pair.character);
        if (!strokes) {
            continue;
        }
        int piece_strokes = 0;
        bool known = true;
        for (const char16_t piece : pair.replacement) {
            const auto count = facts.stroke_count(piece);
            known = known && count.has_value();
            piece_strokes += count.value_or(0);
        }
        const int difference = piece_strokes - *strokes;
        if (known && (difference < 0 || difference > kSharedStrokes)) {
            differences.push_back({pair, *strokes, piece_strokes});
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
