#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace mardovane::tables {

// What Unicode's own data says of the characters the tables use: their simplified and
// traditional forms and stroke counts (Unihan) and the Kangxi radicals (CJKRadicals.txt),
// as Debian's unicode-data package installs them.
struct CharacterFacts {
    std::map<char16_t, std::u16string> simplified_forms;   // kSimplifiedVariant
    std::map<char16_t, std::u16string> traditional_forms;  // kTraditionalVariant
    std::map<char16_t, int> strokes;                       // kTotalStrokes, the first count
    // The 214 Kangxi radicals as characters, and the simplified forms of those that
    // simplification changed (門 and 门, 糸 and 纟).
    std::set<char16_t> radicals;

    // A form that only traditional text writes: it has a simplified form, not itself (門).
    bool is_traditional_only(char16_t c) const;
    // A form that only simplified text writes: it has a traditional form, not itself (门).
    bool is_simplified_only(char16_t c) const;
    // The traditional form of a character that simplified text writes otherwise: the
    // simplified forms it has (門 → 门), or none.
    std::optional<std::u16string> simplified_of_traditional(char16_t c) const;
    // A character as traditional text writes it: the one traditional form of a form only
    // simplified text writes (门 → 門), else the character itself.
    char16_t in_traditional_text(char16_t c) const;
    std::optional<int> stroke_count(char16_t c) const;
};

// Reads Unihan_Variants.txt, the file that holds kTotalStrokes (Unihan_IRGSources.txt),
// and CJKRadicals.txt, all uncompressed. Characters beyond the BMP are left out: GBK
// has none.
CharacterFacts parse_character_facts(std::string_view variants, std::string_view stroke_counts,
                                     std::string_view radicals);

// The same from a folder that holds Unihan_Variants.txt, Unihan_IRGSources.txt and
// CJKRadicals.txt. Throws std::runtime_error naming the file it cannot read.
CharacterFacts load_character_facts(const std::filesystem::path& folder);

}  // namespace mardovane::tables
