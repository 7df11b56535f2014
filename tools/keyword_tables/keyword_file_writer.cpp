#include "tools/keyword_tables/keyword_file_writer.h"

#include <stdexcept>
#include <variant>

#include "substitution/text_codec.h"

namespace mardovane::tables {

namespace {

// Each pair as the character, `between`, the replacement and `after`.
std::u16string join(const std::vector<KeywordPair>& pairs, std::u16string_view between,
                    std::u16string_view after) {
    std::u16string text;
    for (const auto& pair : pairs) {
        text += pair.character;
        text += between;
        text += pair.replacement;
        text += after;
    }
    return text;
}

}  // namespace

std::u16string pairs_as_text(const std::vector<KeywordPair>& pairs) {
    return join(pairs, u"→", u" ");
}

std::string to_keyword_file(const std::vector<KeywordPair>& pairs) {
    auto encoded = encode_gbk(join(pairs, u"\r\n", u"\r\n"));
    if (std::holds_alternative<EncodeError>(encoded)) {
        throw std::logic_error("a keyword pair is not GBK");
    }
    return std::get<std::string>(std::move(encoded));
}

}  // namespace mardovane::tables
