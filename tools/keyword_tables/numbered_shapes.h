#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tools/keyword_tables/character_facts.h"
#include "tools/keyword_tables/decomposition.h"

namespace mardovane::tables {

// The numbered shapes of the data that draw a GBK character: 潭 is recorded with a shape
// of 西 over 早, which is 覃 (覀 over 早); 涵 with a shape of 函's parts listed the other
// way round. A shape draws a character when both are made of the same parts in the same
// arrangement, once stacks inside stacks and rows inside rows are read as one (賞 as 龸 over
// 口 over 貝), up to the forms of one part (西 and 覀, a radical form and its character),
// and have the same strokes by Unihan's count.
class NumberedShapes {
  public:
    NumberedShapes(const std::vector<DecompositionRecord>& records, const CharacterFacts& facts);

    // The GBK character `shape` draws, or none: no such character, or more than one.
    std::optional<char16_t> character_of(const std::u16string& shape) const;
    // The character a numbered shape at `index` of a traditional character's record
    // stands for, where its simplified form is recorded in the same arrangement with a
    // character there whose traditional form has the shape's strokes: 緩 (糹 beside a
    // shape of 爫 over 于又) is 缓 (纟 beside 爰) in traditional form, 糸爰. None otherwise.
    std::optional<char16_t> as_in_simplified_form(const DecompositionRecord& record,
                                                  std::size_t index) const;
    const std::map<std::u16string, char16_t>& resolved() const { return resolved_; }

  private:
    // The strokes of a character by Unihan, of a shape by its parts; none when unknown.
    std::optional<int> strokes(const std::u16string& name, int depth = 0) const;

    const CharacterFacts& facts_;
    std::map<std::u16string, const DecompositionRecord*> records_;
    std::map<std::u16string, char16_t> resolved_;
};

}  // namespace mardovane::tables
