#include "tools/keyword_tables/decomposition.h"

#include <optional>
#include <variant>

#include "substitution/line_breaks.h"
#include "substitution/text_codec.h"

namespace mardovane::tables {
namespace {

std::optional<std::u16string> to_utf16(std::string_view utf8) {
    auto decoded = decode(utf8, Encoding::Utf8);
    if (auto* text = std::get_if<std::u16string>(&decoded)) {
        return std::move(*text);
    }
    return std::nullopt;
}

std::optional<DecompositionRecord> parse_record(std::string_view line) {
    const std::size_t colon = line.find(':');
    const std::size_t open = line.find('(', colon == std::string_view::npos ? 0 : colon);
    if (colon == 0 || colon == std::string_view::npos || open == std::string_view::npos ||
        !line.ends_with(')')) {
        return std::nullopt;
    }
    DecompositionRecord record;
    auto character = to_utf16(line.substr(0, colon));
    if (!character) {
        return std::nullopt;
    }
    record.character = std::move(*character);
    record.kind = line.substr(colon + 1, open - colon - 1);
    std::string_view list = line.substr(open + 1, line.size() - open - 2);
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        auto component = to_utf16(list.substr(0, comma));
        if (!component) {
            return std::nullopt;
        }
        record.components.push_back(std::move(*component));
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    return record;
}

}  // namespace

ParsedDecomposition parse_decomposition(std::string_view file) {
    if (const std::size_t begin = file.find('`'); begin != std::string_view::npos) {
        const std::size_t end = file.rfind('`');
        file = file.substr(begin + 1, end > begin ? end - begin - 1 : std::string_view::npos);
    }
    ParsedDecomposition parsed;
    for_each_line(file, [&](std::string_view line) {
        if (line.empty()) {
            return;
        }
        if (auto record = parse_record(line)) {
            parsed.records.push_back(std::move(*record));
        } else {
            ++parsed.skipped_lines;
        }
    });
    return parsed;
}

}  // namespace mardovane::tables
