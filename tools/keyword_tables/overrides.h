#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace mardovane::tables {

// Reviewed corrections to the data: whole characters split otherwise or left whole, and
// pieces written in the form readers know.
struct Overrides {
    std::map<char16_t, std::optional<std::u16string>> characters;  // none: leave it whole
    std::map<std::u16string, std::u16string> pieces;
};

// Reads the overrides file (UTF-8): `char<TAB>pieces-or-<TAB>reason` a line, or
// `~piece<TAB>pieces<TAB>reason`; # starts a comment. Throws on a malformed line.
Overrides parse_overrides(std::string_view file);

}  // namespace mardovane::tables
