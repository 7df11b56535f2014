#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mardovane {

// A path as UTF-8, for messages, whatever the platform's own encoding of paths.
inline std::string display_path(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

// A path as UTF-8 on one line, for one-line messages: control characters (a line break in
// a file name, say) are written as C escapes.
inline std::string one_line_path(const std::filesystem::path& path) {
    std::string line;
    for (const char c : display_path(path)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            line += "\\n";
        } else if (c == '\r') {
            line += "\\r";
        } else if (c == '\t') {
            line += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            constexpr char kHex[] = "0123456789abcdef";
            line += "\\x";
            line += kHex[byte >> 4];
            line += kHex[byte & 0xF];
        } else {
            line += c;
        }
    }
    return line;
}

// A path from UTF-8 text, such as a command-line argument after conversion.
inline std::filesystem::path path_from_utf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace mardovane
