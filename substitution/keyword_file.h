#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

#include "substitution/keyword_table.h"

namespace mardovane {

inline constexpr std::string_view kKeywordFileName = "keyword.info";

struct KeywordFileError {
    enum class Reason { Missing, NotRegularFile, Unreadable, InvalidEncoding };
    Reason reason = Reason::Unreadable;
    std::filesystem::path path;
    std::string system_message;   // for Unreadable: the system's message
    std::size_t line = 0;         // for InvalidEncoding: 1-based line number
    std::size_t byte_offset = 0;  // for InvalidEncoding: 0-based offset in the file
    std::string encoding_name;    // for InvalidEncoding: "GBK" or "UTF-8"
};

// One line in English that names the file and what is wrong with it.
std::string describe(const KeywordFileError& error);

// The program directory, a directory separator and "keyword.info", appended as they stand.
std::filesystem::path keyword_file_path(const std::filesystem::path& program_directory);

// Splits file bytes into lines and decodes them. The bytes are GBK (code page 936) unless
// they begin with the UTF-8 byte-order mark, which is dropped. A line ends at CR LF, a lone
// LF or a lone CR; a final terminator adds no empty line. `path` only names the file in
// errors.
std::variant<KeywordTable, KeywordFileError> parse_keyword_file(std::string_view bytes,
                                                                const std::filesystem::path& path);

// Reads and parses a keyword file; the file is closed again before this returns.
std::variant<KeywordTable, KeywordFileError> load_keyword_file(const std::filesystem::path& path);

// The table beside the program: load_keyword_file(keyword_file_path(program_directory)).
std::variant<KeywordTable, KeywordFileError> load_keyword_table(
    const std::filesystem::path& program_directory);

}  // namespace mardovane
