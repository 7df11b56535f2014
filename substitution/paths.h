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

// A path from UTF-8 text, such as a command-line argument after conversion.
inline std::filesystem::path path_from_utf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace mardovane
