#include "substitution/keyword_file.h"

#include <algorithm>

#include "substitution/file_reader.h"
#include "substitution/line_breaks.h"
#include "substitution/paths.h"
#include "substitution/text_codec.h"

namespace mardovane {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::vector<std::u16string> split_lines(std::u16string_view text) {
    std::vector<std::u16string> lines;
    for_each_line(text, [&](std::u16string_view line) { lines.emplace_back(line); });
    return lines;
}

}  // namespace

std::string describe(const KeywordFileError& error) {
    const std::string file = display_path(error.path);
    switch (error.reason) {
        case KeywordFileError::Reason::Missing:
            return file + ": the keyword file does not exist";
        case KeywordFileError::Reason::NotRegularFile:
            return file + ": the keyword file is not a regular file";
        case KeywordFileError::Reason::Unreadable:
            return file + ": the keyword file cannot be read: " + error.system_message;
        case KeywordFileError::Reason::InvalidEncoding:
            return file + ":" + std::to_string(error.line) + ": invalid " + error.encoding_name +
                   " byte sequence at byte offset " + std::to_string(error.byte_offset);
    }
    return file;
}

std::filesystem::path keyword_file_path(const std::filesystem::path& program_directory) {
    // Appended as it stands, even after a directory that already ends in a separator.
    std::filesystem::path::string_type path = program_directory.native();
    path += std::filesystem::path::preferred_separator;
    path += std::filesystem::path(kKeywordFileName).native();
    return path;
}

std::variant<KeywordTable, KeywordFileError> parse_keyword_file(std::string_view bytes,
                                                                const std::filesystem::path& path) {
    const bool utf8 = bytes.starts_with(kUtf8ByteOrderMark);
    const std::size_t skipped = utf8 ? kUtf8ByteOrderMark.size() : 0;
    const std::string_view body = bytes.substr(skipped);
    auto decoded = decode(body, utf8 ? Encoding::Utf8 : Encoding::Gbk);
    if (const auto* error = std::get_if<DecodeError>(&decoded)) {
        // Neither encoding has CR or LF inside a multibyte sequence, so the line structure
        // of the bytes is that of the text.
        KeywordFileError result;
        result.reason = KeywordFileError::Reason::InvalidEncoding;
        result.path = path;
        result.line = line_number_at(body, error->byte_offset);
        result.byte_offset = skipped + error->byte_offset;
        result.encoding_name = utf8 ? "UTF-8" : "GBK";
        return result;
    }
    return KeywordTable{split_lines(std::get<std::u16string>(decoded))};
}

std::variant<KeywordTable, KeywordFileError> load_keyword_file(const std::filesystem::path& path) {
    auto bytes = read_whole_file(path);
    if (const auto* error = std::get_if<FileReadError>(&bytes)) {
        KeywordFileError result;
        result.path = path;
        result.system_message = error->system_message;
        switch (error->reason) {
            case FileReadError::Reason::Missing:
                result.reason = KeywordFileError::Reason::Missing;
                break;
            case FileReadError::Reason::NotRegularFile:
                result.reason = KeywordFileError::Reason::NotRegularFile;
                break;
            case FileReadError::Reason::Unreadable:
                result.reason = KeywordFileError::Reason::Unreadable;
                break;
        }
        return result;
    }
    return parse_keyword_file(std::get<std::string>(bytes), path);
}

std::variant<KeywordTable, KeywordFileError> load_keyword_table(
    const std::filesystem::path& program_directory) {
    return load_keyword_file(keyword_file_path(program_directory));
}

}  // namespace mardovane
