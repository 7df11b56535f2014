#pragma once

#include <filesystem>
#include <string_view>
#include <variant>

#include "substitution/file_error.h"
#include "substitution/file_reader.h"
#include "substitution/keyword_table.h"

namespace mardovane {

inline constexpr std::string_view kKeywordFileName = "keyword.info";

// The program directory, a directory separator and "keyword.info", appended as they stand.
[[nodiscard]] std::filesystem::path keyword_file_path(
    const std::filesystem::path& program_directory);

// Splits file bytes into lines and decodes them. The bytes are GBK (code page 936) unless
// they begin with the UTF-8 byte-order mark, which is dropped. A line ends at CR LF, a lone
// LF or a lone CR; a final terminator adds no empty line. `path` only names the file in
// errors.
[[nodiscard]] std::variant<KeywordTable, FileError> parse_keyword_file(
    std::string_view bytes, const std::filesystem::path& path);

// Reads and parses a keyword file; the file is closed again before this returns.
[[nodiscard]] std::variant<KeywordTable, FileError> load_keyword_file(
    const std::filesystem::path& path, FileKinds kinds = FileKinds::RegularOnly);

// The table beside the program: load_keyword_file(keyword_file_path(program_directory)).
[[nodiscard]] std::variant<KeywordTable, FileError> load_keyword_table(
    const std::filesystem::path& program_directory);

}  // namespace mardovane
