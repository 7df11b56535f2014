#include "tools/keyword_tables/numbered_shapes.h"

#include <set>
#include <utility>

#include "tools/keyword_tables/reader_rules.h"
#include "tools/keyword_tables/stacked_shapes.h"

namespace mardovane::tables {
namespace {

bool is_surround(const std::string& kind) {
    return kind.starts_with('s') || kind == "w";
}

// One form for the forms of a part: a radical form as its character (⺮ as 竹), 覀 as 西.
std::u16string one_form(const std::u16string& part) {
    if (part == u"覀") {
        return u"西";
    }
    if (part.size() == 1) {
        if (const auto full = full_form(part[0])) {
            return std::u16string(1, *full);
        }
    }
    return part;
}

class Shapes {
  public:
    // The first record of each character or shape, by its name.
    explicit Shapes(const std::map<std::u16string, const DecompositionRecord*>& records)
        : records_(records) {}

    // What a shape or character is made of: its arrangement and its parts, nested
    // arrangements of the same family read as one, each part in one form; none for a
    // record the data does not arrange (a whole character).
    std::optional<std::vector<std::u16string>> makeup(const std::u16string& name) const {
        const auto it = records_.find(name);
        if (it == records_.end() || it->second->components.size() < 2) {
            return std::nullopt;
        }
        const auto& record = *it->second;
        std::vector<std::u16string> parts;
        const std::string family = arrangement_of(record.kind);
        parts.push_back(u"@" + std::u16string(family.begin(), family.end()));
        for (const auto& component : record.components) {
            append_parts(component, family, parts, 0);
        }
        if (is_surround(record.kind) && parts.size() == 3 && parts[2] < parts[1]) {
            std::swap(parts[1], parts[2]);  // the data lists a surround's parts either way
        }
        return parts;
    }

  private:
    void append_parts(const std::u16string& component, const std::string& family,
                      std::vector<std::u16string>& parts, int depth) const {
        const auto it = records_.find(component);
        if (depth < 8 && it != records_.end() && it->second->components.size() >= 2 &&
            arrangement_of(it->second->kind) == family && !is_surround(family)) {
            for (const auto& inner : it->second->components) {
                append_parts(inner, family, parts, depth + 1);
            }
            return;
        }
        parts.push_back(one_form(component));
    }

    const std::map<std::u16string, const DecompositionRecord*>& records_;
};

}  // namespace

NumberedShapes::NumberedShapes(const std::vector<DecompositionRecord>& records,
                               const CharacterFacts& facts)
    : facts_(facts) {
    for (const auto& record : records) {
        records_.emplace(record.character, &record);  // the first record is taken
    }
    const Shapes shapes(records_);
    std::map<std::vector<std::u16string>, std::set<char16_t>> characters;
    for (const auto& record : records) {
        if (record.character.size() == 1 && is_gbk_character(record.character[0])) {
            if (const auto parts = shapes.makeup(record.character)) {
                characters[*parts].insert(record.character[0]);
            }
        }
    }
    for (const auto& record : records) {
        if (!is_numbered_shape(record.character) || resolved_.contains(record.character)) {
            continue;
        }
        const auto parts = shapes.makeup(record.character);
        const auto found = parts ? characters.find(*parts) : characters.end();
        if (found == characters.end() || found->second.size() != 1) {
            continue;
        }
        const char16_t character = *found->second.begin();
        // Where the shape's strokes cannot be counted (a part the data leaves unnamed), the
        // same parts in the same arrangement decide alone.
        const auto shape_strokes = strokes(record.character);
        const auto character_strokes = facts.stroke_count(character);
        if (!shape_strokes || !character_strokes || *shape_strokes == *character_strokes) {
            resolved_.emplace(record.character, character);
        }
    }
}

std::optional<int> NumberedShapes::strokes(const std::u16string& name, int depth) const {
    if (name.size() == 1 && !is_numbered_shape(name)) {
        return facts_.stroke_count(name[0]);
    }
    const auto it = records_.find(name);
    if (depth > 8 || it == records_.end() || it->second->components.size() < 2) {
        return std::nullopt;
    }
    int total = 0;
    for (const auto& component : it->second->components) {
        const auto count = strokes(component, depth + 1);
        if (!count) {
            return std::nullopt;
        }
        total += *count;
    }
    return total;
}

std::optional<char16_t> NumberedShapes::as_in_simplified_form(const DecompositionRecord& record,
                                                              std::size_t index) const {
    const auto& shape = record.components[index];
    const auto simplified =  // none but for a traditional-only character
        record.character.size() == 1 ? facts_.simplified_of_traditional(record.character[0])
                                     : std::nullopt;
    if (!is_numbered_shape(shape) || !simplified || simplified->size() != 1) {
        return std::nullopt;
    }
    const auto it = records_.find(*simplified);
    if (it == records_.end() || arrangement_of(it->second->kind) != arrangement_of(record.kind) ||
        it->second->components.size() != record.components.size()) {
        return std::nullopt;
    }
    const auto& there = it->second->components[index];
    if (there.size() != 1 || is_numbered_shape(there)) {
        return std::nullopt;
    }
    const char16_t character = facts_.in_traditional_text(there[0]);
    const auto shape_strokes = strokes(shape);
    const auto character_strokes = facts_.stroke_count(character);
    if (!shape_strokes || !character_strokes || *shape_strokes != *character_strokes) {
        return std::nullopt;
    }
    return character;
}

std::optional<char16_t> NumberedShapes::character_of(const std::u16string& shape) const {
    const auto it = resolved_.find(shape);
    return it != resolved_.end() ? std::optional(it->second) : std::nullopt;
}

}  // namespace mardovane::tables
