#include "tests/reference/reference_split.h"

#include <algorithm>

namespace mardovane::testing {

std::u16string reference_replace(std::u16string_view text, std::u16string_view find,
                                 std::u16string_view replacement) {
    if (find.empty()) {
        return std::u16string(text);
    }
    std::u16string result;
    std::size_t position = 0;
    while (position < text.size()) {
        if (text.substr(position, find.size()) == find) {
            result += replacement;
            position += find.size();
        } else {
            result += text[position];
            ++position;
        }
    }
    return result;
}

std::optional<ReferenceSplit> reference_split(std::u16string_view text, const KeywordTable& table,
                                              std::size_t guard) {
    ReferenceSplit split{std::u16string(text), text.size()};
    for (std::size_t pair = 0; pair < table.pair_count(); ++pair) {
        split.text = reference_replace(split.text, table.find_text(pair), table.replacement(pair));
        split.longest = std::max(split.longest, split.text.size());
        if (split.text.size() > guard) {
            return std::nullopt;
        }
    }
    return split;
}

}  // namespace mardovane::testing
