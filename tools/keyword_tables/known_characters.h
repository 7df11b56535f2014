#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/keyword_tables/decomposition.h"
#include "tools/keyword_tables/overrides.h"
#include "tools/keyword_tables/reader_rules.h"

namespace mardovane::tables {

// The characters readers know as a piece, by their arrangement and their pieces as the
// reviewed overrides or the data give them (利 a row of 禾 and 刂): what one click keeps
// whole where the data would spell it out.
class KnownCharacters {
  public:
    KnownCharacters(const std::vector<DecompositionRecord>& records, const Overrides& overrides,
                    const ReaderRules& rules);

    // The character of `pieces` in the arrangement of `kind`, or none.
    std::optional<char16_t> made_of(const std::string& kind, const std::u16string& pieces) const;

    // In a row of groups of pieces, the last piece of a group spelled out as a row and the
    // single piece after it that make a character readers know, as that character: 唎 is
    // 口 beside 利, not 口禾刂. The piece before a group and its first are never joined: 傚
    // is 亻 beside 效, which its data spells 交夂, not 佼 beside 夂. True when it joined any.
    bool join_across_rows(std::vector<std::u16string>& groups,
                          const std::vector<bool>& spelled_rows) const;

  private:
    std::map<std::pair<std::string, std::u16string>, char16_t> by_pieces_;
};

}  // namespace mardovane::tables
