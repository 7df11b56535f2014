#pragma once

#include <filesystem>
#include <string>
#include <variant>

#include "substitution/file_error.h"

namespace mardovane {

// What may stand at the path: a regular file, or also a pipe that someone named on purpose
// (the splitter's --keywords <(...)), read until its writer closes it.
enum class FileKinds { RegularOnly, PipesToo };

// Opens, reads to the end and closes the file before returning, on success and on error.
// Anything else (a directory, a device, a pipe unless allowed) is refused without waiting
// on it.
[[nodiscard]] std::variant<std::string, FileError> read_whole_file(
    const std::filesystem::path& path, FileKinds kinds = FileKinds::RegularOnly);

}  // namespace mardovane
