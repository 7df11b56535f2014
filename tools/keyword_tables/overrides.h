#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace mardovane::tables {

// Reviewed corrections to the data: whole characters split otherwise or left whole, and
// pieces written in the form readers know.
struct Overrides {
    std::map<char16_t, std::optional<std::u16string>> characters;  // none: leave it whole
    std::map<std::u16string, std::u16string> pieces;
    // Pieces outside the common characters that readers know all the same (夬 of 快).
    std::set<char16_t> familiar_pieces;
    // The classic riddle splits of character games (出 → 山山): the fuller table only.
    std::map<char16_t, std::u16string> riddles;
    // Shapes that no GBK pieces spell (巿 is not 十巾): every character that has one stays
    // whole, and so does the shape.
    std::set<char16_t> unspellable_shapes;
};

// Reads the overrides file (UTF-8): `char<TAB>pieces-or-<TAB>reason` a line,
// `~piece<TAB>pieces<TAB>reason`, `+piece<TAB>-<TAB>reason` for a familiar piece, or
// `!char<TAB>pieces<TAB>reason` for a riddle split, or `=shape<TAB>-<TAB>reason` for a shape
// no GBK pieces spell; # starts a comment. Throws on a
// malformed line.
Overrides parse_overrides(std::string_view file);

}  // namespace mardovane::tables
