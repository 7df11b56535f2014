#include "tools/keyword_tables/overrides.h"

#include <stdexcept>
#include <variant>

#include "substitution/line_breaks.h"
#include "substitution/text_codec.h"

namespace mardovane::tables {

Overrides parse_overrides(std::string_view file) {
    Overrides overrides;
    std::size_t number = 0;
    for_each_line(file, [&](std::string_view line) {
        ++number;
        if (line.empty() || line.starts_with('#')) {
            return;
        }
        const char kind = line.starts_with('~') || line.starts_with('+') || line.starts_with('!') ||
                                  line.starts_with('=')
                              ? line.front()
                              : '\0';
        if (kind != '\0') {
            line.remove_prefix(1);
        }
        const std::size_t first_tab = line.find('\t');
        const std::size_t second_tab = line.find('\t', first_tab + 1);
        const auto what = decode(line.substr(0, first_tab), Encoding::Utf8);
        const auto pieces =
            decode(line.substr(first_tab + 1, second_tab - first_tab - 1), Encoding::Utf8);
        if (first_tab == std::string_view::npos || second_tab == std::string_view::npos ||
            !std::holds_alternative<std::u16string>(what) ||
            !std::holds_alternative<std::u16string>(pieces)) {
            throw std::runtime_error("overrides, line " + std::to_string(number) +
                                     ": not of the form what<TAB>pieces<TAB>reason");
        }
        const auto& key = std::get<std::u16string>(what);
        const auto& value = std::get<std::u16string>(pieces);
        if (kind == '~') {
            overrides.pieces[key] = value;
        } else if (key.size() != 1) {
            throw std::runtime_error("overrides, line " + std::to_string(number) +
                                     ": one character to override");
        } else if (kind == '+') {
            overrides.familiar_pieces.insert(key[0]);
        } else if (kind == '=') {
            overrides.unspellable_shapes.insert(key[0]);
        } else if (kind == '!') {
            overrides.riddles[key[0]] = value;
        } else {
            overrides.characters[key[0]] =
                value == u"-" ? std::nullopt : std::optional<std::u16string>(value);
        }
    });
    return overrides;
}

}  // namespace mardovane::tables
