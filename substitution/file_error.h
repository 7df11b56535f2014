#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "substitution/text_codec.h"

namespace mardovane {

// Everything that can go wrong with a file the programs read: the keyword file, or the
// splitter's input.
enum class FileProblem { Missing, NotRegularFile, Unreadable, InvalidEncoding };

// Which file it was, for the wording of messages.
enum class FileRole { KeywordFile, Input };

struct FileError {
    FileProblem problem = FileProblem::Unreadable;
    FileRole role = FileRole::KeywordFile;
    std::filesystem::path path;
    std::string system_message;  // Unreadable: the system's own words, empty where none
    std::size_t line = 0;        // InvalidEncoding: 1-based line number
    DecodeError decode;          // InvalidEncoding: the offset from the start of the file
    Encoding encoding = Encoding::Gbk;
};

[[nodiscard]] inline FileError file_error(FileProblem problem, FileRole role,
                                          std::filesystem::path path,
                                          std::string system_message = {}) {
    FileError error;
    error.problem = problem;
    error.role = role;
    error.path = std::move(path);
    error.system_message = std::move(system_message);
    return error;
}

// One line in English that names the file, the line where there is one, and the problem.
[[nodiscard]] std::string describe(const FileError& error);

}  // namespace mardovane
