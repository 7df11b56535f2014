#pragma once

#include <filesystem>
#include <string>
#include <variant>

#include "substitution/file_error.h"

namespace mardovane {

// Opens, reads to the end and closes a regular file before returning, on success and on
// error. Anything but a regular file is refused without waiting on it.
[[nodiscard]] std::variant<std::string, FileError> read_whole_file(
    const std::filesystem::path& path);

}  // namespace mardovane
