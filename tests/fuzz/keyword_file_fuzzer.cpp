// Fuzzes the keyword file parser over every encoding and line end. Input: the file's bytes.
// An error points into the file, at the line its offset is on; a file parses to the same
// table whatever its line ends are; and a table written again in UTF-8 with the byte-order
// mark, or in GBK where GBK cannot be taken for UTF-8, reads back as itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "substitution/keyword_file.h"
#include "substitution/text_codec.h"

namespace {

using namespace mardovane;

using Parsed = std::variant<KeywordTable, FileError>;

Parsed parse(std::string_view bytes) {
    return parse_keyword_file(bytes, "fuzz.info");
}

bool same_lines(const KeywordTable& a, const KeywordTable& b) {
    if (a.line_count() != b.line_count()) {
        return false;
    }
    for (std::size_t i = 0; i < a.line_count(); ++i) {
        if (a.line(i) != b.line(i)) {
            return false;
        }
    }
    return true;
}

// Lines counted from 1 at `offset`: CR LF, lone LF and lone CR each end one.
std::size_t line_at(std::string_view bytes, std::size_t offset) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        if (bytes[i] == '\n' ||
            (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'))) {
            ++line;
        }
    }
    return line;
}

// Every line break written as `line_break`.
std::string with_breaks(std::string_view bytes, std::string_view line_break) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            out += line_break;
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += bytes[i];
        }
    }
    return out;
}

// The table's lines, each ended by CR LF, in `encoding`; none where it cannot be written.
std::optional<std::string> written(const KeywordTable& table, Encoding encoding) {
    std::u16string text;
    for (std::size_t i = 0; i < table.line_count(); ++i) {
        text += table.line(i);
        text += u"\r\n";
    }
    auto bytes = encoding == Encoding::Utf8 ? encode_utf8(text) : encode_gbk(text);
    if (auto* ok = std::get_if<std::string>(&bytes)) {
        return encoding == Encoding::Utf8 ? "\xEF\xBB\xBF" + *ok : *ok;
    }
    return std::nullopt;
}

bool valid_utf8_with_long_sequences(std::string_view bytes) {
    bool long_sequence = false;
    for (const char byte : bytes) {
        long_sequence = long_sequence || static_cast<unsigned char>(byte) >= 0xE0;
    }
    return long_sequence && std::holds_alternative<std::u16string>(decode(bytes, Encoding::Utf8));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Parsed parsed = parse(bytes);
    if (const auto* error = std::get_if<FileError>(&parsed)) {
        if (error->problem != FileProblem::InvalidEncoding || error->decode.byte_offset >= size ||
            error->line != line_at(bytes, error->decode.byte_offset)) {
            std::abort();  // an error must point into the file, on the line it names
        }
    }
    // Line ends are line ends, however they are written.
    for (const std::string_view line_break : {"\n", "\r", "\r\n"}) {
        const Parsed other = parse(with_breaks(bytes, line_break));
        if (std::holds_alternative<KeywordTable>(parsed) !=
            std::holds_alternative<KeywordTable>(other)) {
            std::abort();
        }
        if (const auto* table = std::get_if<KeywordTable>(&parsed);
            table != nullptr && !same_lines(*table, std::get<KeywordTable>(other))) {
            std::abort();
        }
    }
    const auto* table = std::get_if<KeywordTable>(&parsed);
    if (table == nullptr) {
        return 0;
    }
    for (const Encoding encoding : {Encoding::Utf8, Encoding::Gbk}) {
        const auto again = written(*table, encoding);
        if (!again || (encoding == Encoding::Gbk && valid_utf8_with_long_sequences(*again))) {
            continue;  // no such file, or GBK that reads as UTF-8 by chance
        }
        const Parsed reread = parse(*again);
        if (!std::holds_alternative<KeywordTable>(reread) ||
            !same_lines(*table, std::get<KeywordTable>(reread))) {
            std::abort();
        }
    }
    return 0;
}
