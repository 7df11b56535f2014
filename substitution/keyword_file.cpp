#include "substitution/keyword_file.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "substitution/file_reader.h"
#include "substitution/line_breaks.h"
#include "substitution/text_codec.h"

namespace mardovane {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Drops the line terminators from the decoded text in place, recording where each line
// ends: the table then holds the file's text once, and a few bytes a line besides. One
// pass: each character moves down over the terminators before it. `line_breaks`, counted
// in the file's bytes, is exact, since neither encoding has CR or LF inside a sequence.
KeywordTable lay_out_lines(std::u16string text, std::size_t line_breaks) {
    std::vector<std::size_t> ends;
    ends.reserve(line_breaks + 1);
    const bool last_line_ends = !text.empty() && (text.back() == u'\r' || text.back() == u'\n');
    std::size_t kept = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t c = text[at];
        if (c != u'\r' && c != u'\n') {
            text[kept++] = c;  // kept <= at: nothing unread is written over
            continue;
        }
        ends.push_back(kept);
        if (c == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n') {
            ++at;
        }
    }
    if (!text.empty() && !last_line_ends) {
        ends.push_back(kept);
    }
    text.resize(kept);
    return KeywordTable::adopt(std::move(text), std::move(ends));
}

}  // namespace

std::filesystem::path keyword_file_path(const std::filesystem::path& program_directory) {
    // Appended as it stands, even after a directory that already ends in a separator.
    std::filesystem::path::string_type path = program_directory.native();
    path += std::filesystem::path::preferred_separator;
    path += std::filesystem::path(kKeywordFileName).native();
    return path;
}

namespace {

struct Decoded {
    std::variant<std::u16string, DecodeError> text;
    Encoding encoding;
};

// A file without the byte-order mark is GBK, unless its bytes are valid UTF-8 holding a
// character of three or four bytes (every Chinese character is one), as Notepad saves
// UTF-8 by default: GBK text is such UTF-8 only by a rare chance, in a few characters.
// UTF-8 of two-byte characters alone (accented letters) stays GBK, as it always was. Where
// neither reads to the end, the error is that of the one that reads further.
Decoded decode_unmarked(std::string_view bytes) {
    const bool long_sequence = std::any_of(bytes.begin(), bytes.end(), [](char byte) {
        return static_cast<unsigned char>(byte) >= 0xE0;
    });
    if (!long_sequence) {
        return {decode(bytes, Encoding::Gbk), Encoding::Gbk};
    }
    auto utf8 = decode(bytes, Encoding::Utf8);
    if (std::holds_alternative<std::u16string>(utf8)) {
        return {std::move(utf8), Encoding::Utf8};
    }
    const std::size_t utf8_reached = std::get<DecodeError>(utf8).byte_offset;
    auto gbk = decode(bytes, Encoding::Gbk);
    if (const auto* error = std::get_if<DecodeError>(&gbk);
        error != nullptr && error->byte_offset < utf8_reached) {
        return {std::move(utf8), Encoding::Utf8};
    }
    return {std::move(gbk), Encoding::Gbk};
}

// Decodes the file's bytes, then lets them go through `release` before the lines are laid
// out: the bytes, the text and the line ends are never all held at once.
template <typename Release>
std::variant<KeywordTable, FileError> parse(std::string_view bytes,
                                            const std::filesystem::path& path, Release&& release) {
    const bool marked = bytes.starts_with(kUtf8ByteOrderMark);
    const std::size_t skipped = marked ? kUtf8ByteOrderMark.size() : 0;
    const std::string_view body = bytes.substr(skipped);
    auto [decoded, encoding] =
        marked ? Decoded{decode(body, Encoding::Utf8), Encoding::Utf8} : decode_unmarked(body);
    if (const auto* error = std::get_if<DecodeError>(&decoded)) {
        // Neither encoding has CR or LF inside a multibyte sequence, so the line structure
        // of the bytes is that of the text.
        FileError result = file_error(FileProblem::InvalidEncoding, path);
        result.line = line_number_at(body, error->byte_offset);
        result.decode = {skipped + error->byte_offset, error->reason};
        result.encoding = encoding;
        return result;
    }
    const std::size_t line_breaks = count_line_breaks(body);
    release();
    return lay_out_lines(std::move(std::get<std::u16string>(decoded)), line_breaks);
}

}  // namespace

std::variant<KeywordTable, FileError> parse_keyword_file(std::string_view bytes,
                                                         const std::filesystem::path& path) {
    return parse(bytes, path, [] {});
}

std::variant<KeywordTable, FileError> load_keyword_file(const std::filesystem::path& path,
                                                        FileKinds kinds) {
    auto bytes = read_whole_file(path, kinds);
    if (auto* error = std::get_if<FileError>(&bytes)) {
        return std::move(*error);
    }
    auto& file = std::get<std::string>(bytes);
    return parse(file, path, [&file] { std::string().swap(file); });
}

std::variant<KeywordTable, FileError> load_keyword_table(
    const std::filesystem::path& program_directory) {
    return load_keyword_file(keyword_file_path(program_directory));
}

}  // namespace mardovane
