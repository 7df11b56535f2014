#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tools/keyword_tables/decomposition.h"

namespace mardovane::tables {

// Where the decomposition data's own intermediate shapes show that a character stacks the
// parts of a left-right component it names: 猒 is recorded as a(明,犬), but the data also
// has the shape a(日 over 月, 犬), so 猒 draws 日 over 月, not 明 beside 犬.
class StackedShapes {
  public:
    explicit StackedShapes(const std::vector<DecompositionRecord>& records);

    // The parts of `component` (the record of `record`'s component at `index`) when it is
    // a left-right record whose parts the data shows stacked in `record`; none otherwise.
    std::optional<std::vector<std::u16string>> stacked_parts(
        const DecompositionRecord& record, std::size_t index,
        const DecompositionRecord& component) const;

  private:
    // The numbered shapes as kind and components, and those that stack two parts, by parts.
    std::set<std::pair<std::string, std::vector<std::u16string>>> shapes_;
    std::map<std::vector<std::u16string>, std::vector<std::u16string>> stacking_;
};

// A numbered intermediate shape of the data, which no character writes.
bool is_numbered_shape(const std::u16string& component);

}  // namespace mardovane::tables
