#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "substitution/text_codec.h"

namespace mardovane {

// Windows code page 936 from a table generated at build time from ICU, for builds without
// ICU (the web page): the same characters, the same errors at the same bytes as the
// ICU-based codec.
[[nodiscard]] std::variant<std::u16string, DecodeError> decode_code_page_936(
    std::string_view bytes);
[[nodiscard]] std::variant<std::string, EncodeError> encode_code_page_936(std::u16string_view text);

}  // namespace mardovane
