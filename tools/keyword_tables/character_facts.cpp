#include "tools/keyword_tables/character_facts.h"

#include <charconv>
#include <stdexcept>
#include <variant>
#include <vector>

#include "substitution/file_reader.h"
#include "substitution/line_breaks.h"

namespace mardovane::tables {
namespace {

// A code point written as hex digits, or none when it is beyond the BMP or malformed.
std::optional<char16_t> bmp_code_point(std::string_view hex) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
    if (error != std::errc() || end != hex.data() + hex.size() || value > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<char16_t>(value);
}

std::vector<std::string_view> fields(std::string_view line, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t end = line.find(separator);
        parts.push_back(line.substr(0, end));
        if (end == std::string_view::npos) {
            return parts;
        }
        line.remove_prefix(end + 1);
    }
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

// Each Unihan line of `field`: U+XXXX<TAB>field<TAB>values.
template <typename Take>
void for_each_unihan_value(std::string_view file, std::string_view field, Take take) {
    for_each_line(file, [&](std::string_view line) {
        const auto parts = fields(line, '\t');
        if (parts.size() != 3 || parts[1] != field || !parts[0].starts_with("U+")) {
            return;
        }
        if (const auto c = bmp_code_point(parts[0].substr(2))) {
            take(*c, fields(parts[2], ' '));
        }
    });
}

// The characters of values such as "U+95E8 U+9580<kFenn".
std::u16string code_points(const std::vector<std::string_view>& values) {
    std::u16string characters;
    for (std::string_view value : values) {
        value = value.substr(0, value.find('<'));
        if (value.starts_with("U+")) {
            if (const auto c = bmp_code_point(value.substr(2))) {
                characters += *c;
            }
        }
    }
    return characters;
}

}  // namespace

bool CharacterFacts::is_traditional_only(char16_t c) const {
    const auto it = simplified_forms.find(c);
    return it != simplified_forms.end() && it->second.find(c) == std::u16string::npos;
}

bool CharacterFacts::is_simplified_only(char16_t c) const {
    const auto it = traditional_forms.find(c);
    return it != traditional_forms.end() && it->second.find(c) == std::u16string::npos;
}

std::optional<std::u16string> CharacterFacts::simplified_of_traditional(char16_t c) const {
    if (!is_traditional_only(c)) {
        return std::nullopt;
    }
    return simplified_forms.at(c);
}

char16_t CharacterFacts::in_traditional_text(char16_t c) const {
    const auto forms = traditional_forms.find(c);
    return is_simplified_only(c) && forms->second.size() == 1 ? forms->second[0] : c;
}

std::optional<int> CharacterFacts::stroke_count(char16_t c) const {
    const auto it = strokes.find(c);
    return it != strokes.end() ? std::optional<int>(it->second) : std::nullopt;
}

CharacterFacts parse_character_facts(std::string_view variants, std::string_view stroke_counts,
                                     std::string_view radicals) {
    CharacterFacts facts;
    for_each_unihan_value(variants, "kSimplifiedVariant", [&](char16_t c, const auto& values) {
        facts.simplified_forms[c] = code_points(values);
    });
    for_each_unihan_value(variants, "kTraditionalVariant", [&](char16_t c, const auto& values) {
        facts.traditional_forms[c] = code_points(values);
    });
    for_each_unihan_value(stroke_counts, "kTotalStrokes", [&](char16_t c, const auto& values) {
        int count = 0;
        const std::string_view first = values.front();
        if (std::from_chars(first.data(), first.data() + first.size(), count).ec == std::errc()) {
            facts.strokes[c] = count;
        }
    });
    // number; radical; unified ideograph — a number ending in ' is a simplified form.
    for_each_line(radicals, [&](std::string_view line) {
        const auto parts = fields(line, ';');
        if (line.starts_with('#') || parts.size() != 3) {
            return;
        }
        if (const auto c = bmp_code_point(trimmed(parts[2]))) {
            facts.radicals.insert(*c);
        }
    });
    return facts;
}

CharacterFacts load_character_facts(const std::filesystem::path& folder) {
    const auto read = [&](const char* name) {
        auto file = read_whole_file(folder / name);
        if (auto* text = std::get_if<std::string>(&file)) {
            return std::move(*text);
        }
        throw std::runtime_error("cannot read " + (folder / name).string());
    };
    return parse_character_facts(read("Unihan_Variants.txt"), read("Unihan_IRGSources.txt"),
                                 read("CJKRadicals.txt"));
}

}  // namespace mardovane::tables
