#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "substitution/text_codec.h"

namespace mardovane::win32 {

// The program's UTF-8 texts in the UTF-16 that the Windows API takes.
inline std::wstring wide(std::string_view utf8) {
    auto decoded = decode(utf8, Encoding::Utf8);
    const auto* text = std::get_if<std::u16string>(&decoded);
    return text ? std::wstring(text->begin(), text->end()) : std::wstring();
}

}  // namespace mardovane::win32
