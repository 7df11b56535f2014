#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "substitution/text_codec.h"

namespace mardovane {

// Everything that can go wrong with a file the programs read.
enum class FileProblem { Missing, NotRegularFile, Unreadable, InvalidEncoding };

struct FileError {
    FileProblem problem = FileProblem::Unreadable;
    std::filesystem::path path;
    std::string system_message;  // Unreadable: the system's own words, empty where none
    std::size_t line = 0;        // InvalidEncoding: 1-based line number
    DecodeError decode;          // InvalidEncoding: the offset from the start of the file
    Encoding encoding = Encoding::Gbk;
};

[[nodiscard]] inline FileError file_error(FileProblem problem, std::filesystem::path path,
                                          std::string system_message = {}) {
    FileError error;
    error.problem = problem;
    error.path = std::move(path);
    error.system_message = std::move(system_message);
    return error;
}

// The error of opening or reading `path` that failed with the C runtime's error number
// `error`: a name that leads nowhere is missing, anything else unreadable, in the
// system's words.
[[nodiscard]] FileError file_error_from_errno(int error, std::filesystem::path path);

// One line in English that names the file, the line where there is one, and the problem,
// calling the file `what_file`.
[[nodiscard]] std::string describe(const FileError& error,
                                   std::string_view what_file = "the keyword file");

}  // namespace mardovane
