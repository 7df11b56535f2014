#include "tools/keyword_tables/stacked_shapes.h"

#include "tools/keyword_tables/reader_rules.h"

namespace mardovane::tables {

bool is_numbered_shape(const std::u16string& component) {
    return !component.empty() && component[0] >= u'0' && component[0] <= u'9';
}

StackedShapes::StackedShapes(const std::vector<DecompositionRecord>& records) {
    for (const auto& record : records) {
        if (!is_numbered_shape(record.character)) {
            continue;
        }
        shapes_.insert({record.kind, record.components});
        if (is_top_bottom(record.kind) && record.components.size() == 2) {
            stacking_[record.components].push_back(record.character);
        }
    }
}

std::optional<std::vector<std::u16string>> StackedShapes::stacked_parts(
    const DecompositionRecord& record, std::size_t index,
    const DecompositionRecord& component) const {
    if (component.kind != "a" || component.components.size() != 2) {
        return std::nullopt;
    }
    const auto stacked = stacking_.find(component.components);
    if (stacked == stacking_.end()) {
        return std::nullopt;
    }
    for (const auto& shape : stacked->second) {
        auto twin = record.components;
        twin[index] = shape;
        if (shapes_.contains({record.kind, twin})) {
            return component.components;
        }
    }
    return std::nullopt;
}

}  // namespace mardovane::tables
