#include "tools/keyword_tables/piece_splitter.h"

#include <set>
#include <utility>

#include "tools/keyword_tables/piece_forms.h"
#include "tools/keyword_tables/reader_rules.h"
#include "tools/keyword_tables/stacked_shapes.h"
#include "tools/keyword_tables/stroke_check.h"

namespace mardovane::tables {
namespace {

// The split of one character, as the rules and the data give it.
class PieceSplitter {
  public:
    PieceSplitter(const std::vector<DecompositionRecord>& records, TableKind table,
                  const Overrides& overrides, const CharacterFacts& facts)
        : table_(table),
          overrides_(overrides),
          facts_(facts),
          rules_(facts, overrides),
          stacked_shapes_(records),
          traditional_forms_drawn_(traditional_forms_drawn(records, facts)) {
        for (const auto& record : records) {
            first_record_.emplace(record.character, &record);  // the first one is taken
        }
    }

    using Split = CharacterSplit;

    std::optional<Split> split(const DecompositionRecord& record) const {
        const char16_t c = record.character[0];
        if (const auto it = overrides_.riddles.find(c); it != overrides_.riddles.end()) {
            // A game's split, not what a reader sees: the fuller table only.
            return table_ == TableKind::Full ? std::optional<Split>(Split{it->second})
                                             : std::nullopt;
        }
        if (const auto it = overrides_.characters.find(c); it != overrides_.characters.end()) {
            return it->second ? std::optional<Split>(Split{*it->second}) : std::nullopt;
        }
        if (rules_.is_unit(c) || overrides_.unspellable_shapes.contains(c)) {
            return std::nullopt;  // a unit stays whole, and so does a shape no pieces spell
        }
        auto split = pieces_of(record, 0);
        if (!split || split->pieces.size() < 2 || split->pieces.size() > 4 ||
            split->pieces.find(c) != std::u16string::npos) {
            return std::nullopt;  // a pair that keeps its own character would split for ever
        }
        if (facts_.is_traditional_only(c)) {
            // Each piece as traditional text draws it: the data often names the form both
            // scripts write, or the simplified one (納 with 内, 鋁 with 吕).
            for (char16_t& piece : split->pieces) {
                piece = traditional_drawing(piece, traditional_forms_drawn_, facts_)
                            .value_or(traditional_of_simplified(piece, facts_).value_or(piece));
            }
        }
        for (const char16_t piece : split->pieces) {
            if (!rules_.fits(c, piece) || is_bare_stroke(piece)) {
                return std::nullopt;  // 门 in traditional text, 門 in simplified text
            }
        }
        if (table_ == TableKind::Default && is_top_bottom(record.kind) &&
            !reads_well_top_bottom(record)) {
            return std::nullopt;
        }
        return split;
    }

    // The pieces of a record's components, each a piece readers know; a component that is
    // none, at the first level, is spelled out by its own record where that reads well.
    std::optional<Split> pieces_of(const DecompositionRecord& record, int depth) const {
        const auto& parts = record.components;
        std::vector<std::u16string> components;
        if (const auto repeat = repetition_count(record.kind); repeat && parts.size() == 1) {
            components.assign(*repeat, parts[0]);
        } else if ((record.kind == "a" || is_top_bottom(record.kind)) &&
                   (parts.size() == 2 || parts.size() == 3)) {
            components = parts;
        } else if (const auto enclosing = enclosing_components(record.kind);
                   enclosing && parts.size() == 2) {
            // A component being spelled out may have any enclosure that reads well as its
            // pieces (𠬝 → 卩又); a character's own split only one of the list.
            const auto outer = single_piece(parts[0], rules_);
            if (!outer || (depth == 0 && enclosing->find(*outer) == std::u16string_view::npos)) {
                return std::nullopt;
            }
            components = parts;
        } else {
            return std::nullopt;
        }
        Split split;
        for (std::size_t index = 0; index < components.size(); ++index) {
            const auto& component = components[index];
            if (component.size() == 1 && overrides_.unspellable_shapes.contains(component[0])) {
                return std::nullopt;  // reviewed: no GBK pieces spell it
            }
            if (const auto stacked = components.size() == parts.size()
                                         ? stacked_parts(record, index)
                                         : std::nullopt) {
                split.pieces += *stacked;  // 猒 stacks 日 over 月: not 明 beside 犬
                continue;
            }
            if (const auto rewritten = overrides_.pieces.find(component);
                rewritten != overrides_.pieces.end()) {
                split.pieces += rewritten->second;  // reviewed: taken as it stands
                split.rewritten = true;
            } else if (const auto piece = single_piece(component, rules_)) {
                split.pieces += *piece;
            } else if (const auto overridden = component.size() == 1
                                                   ? overrides_.characters.find(component[0])
                                                   : overrides_.characters.end();
                       overridden != overrides_.characters.end()) {
                // A reviewed character is spelled out as reviewed, or not at all.
                if (!overridden->second || depth > 0) {
                    return std::nullopt;
                }
                split.pieces += *overridden->second;
                split.spelled_out = true;
            } else if (const auto* own = depth == 0 && !is_numbered_shape(component)
                                             ? record_of(component)
                                             : nullptr) {
                auto spelled = pieces_of(*own, depth + 1);
                if (!spelled) {
                    return std::nullopt;
                }
                if (!spelled->rewritten && !spells_exactly(component, spelled->pieces)) {
                    unspelled_.emplace(component[0], spelled->pieces);
                    return std::nullopt;
                }
                split.pieces += spelled->pieces;
                split.spelled_out = true;
            } else {
                return std::nullopt;
            }
        }
        return split;
    }

    // The components whose own split did not add up to them, met so far.
    const std::map<char16_t, std::u16string>& unspelled() const { return unspelled_; }

  private:
    // The parts of a left-right component as pieces of their own where the data shows the
    // record stacks them (猒 → 日月犬, not 明犬); none otherwise.
    std::optional<std::u16string> stacked_parts(const DecompositionRecord& record,
                                                std::size_t index) const {
        const auto* own = record_of(record.components[index]);
        const auto parts = own ? stacked_shapes_.stacked_parts(record, index, *own) : std::nullopt;
        if (!parts) {
            return std::nullopt;
        }
        std::u16string pieces;
        for (const auto& part : *parts) {
            const auto piece = single_piece(part, rules_);
            if (!piece) {
                return std::nullopt;
            }
            pieces += *piece;
        }
        return pieces;
    }

    // Whether pieces that spell out a component add up to its strokes exactly: written
    // apart in the character, they share none (巿, four strokes, is not 十巾). True when a
    // count is unknown.
    bool spells_exactly(const std::u16string& component, const std::u16string& pieces) const {
        if (component.size() != 1) {
            return true;
        }
        const auto difference = stroke_difference(component[0], pieces, facts_);
        return !difference || *difference == 0;
    }

    // A component that is itself a piece readers know, in its full form.
    static std::optional<char16_t> single_piece(const std::u16string& component,
                                                const ReaderRules& rules) {
        if (component.size() != 1) {
            return std::nullopt;  // an intermediate shape, or a character beyond the BMP
        }
        char16_t c = component[0];
        if (const auto full = full_form(c)) {
            c = *full;
        }
        if (is_bare_stroke(c) || !rules.is_known_piece(c)) {
            return std::nullopt;
        }
        return c;
    }

    const DecompositionRecord* record_of(const std::u16string& component) const {
        const auto it = first_record_.find(component);
        return it != first_record_.end() ? it->second : nullptr;
    }

    // A top-bottom split the eye takes in at once: a well-known top or bottom, or halves
    // that are all among the most common characters.
    bool reads_well_top_bottom(const DecompositionRecord& record) const {
        const auto& parts = record.components;
        const auto top = first_piece(parts.front());
        const auto bottom = last_piece(parts.back());
        if ((top && is_known_top(*top)) || (bottom && is_known_bottom(*bottom))) {
            return true;
        }
        for (const auto& part : parts) {
            // A reviewed rewrite counts by its pieces (吅 as 口口: 骂 is 口口 over 马).
            const auto rewritten = overrides_.pieces.find(part);
            const auto piece = single_piece(part, rules_);
            const std::u16string pieces = rewritten != overrides_.pieces.end()
                                              ? rewritten->second
                                              : std::u16string(piece ? 1 : 0, piece.value_or(0));
            if (pieces.empty()) {
                return false;
            }
            for (const char16_t c : pieces) {
                if (!is_among_the_most_common(c)) {
                    return false;
                }
            }
        }
        return true;
    }

    // A character of GB2312's level 1, or the traditional form of one (車 as 车): the same
    // split reads as well in either script.
    bool is_among_the_most_common(char16_t c) const {
        if (is_gb2312_hanzi(c, /*level_1_only=*/true)) {
            return true;
        }
        const auto simplified = facts_.simplified_of_traditional(c);
        return simplified && simplified->size() == 1 &&
               is_gb2312_hanzi((*simplified)[0], /*level_1_only=*/true);
    }

    // The top piece of a component, or its bottom one, as the reviewed rewrites spell it
    // (爫冖 at the top of 爱).
    std::optional<char16_t> first_piece(const std::u16string& component) const {
        const auto rewritten = overrides_.pieces.find(component);
        return rewritten != overrides_.pieces.end() ? std::optional(rewritten->second.front())
                                                    : single_piece(component, rules_);
    }
    std::optional<char16_t> last_piece(const std::u16string& component) const {
        const auto rewritten = overrides_.pieces.find(component);
        return rewritten != overrides_.pieces.end() ? std::optional(rewritten->second.back())
                                                    : single_piece(component, rules_);
    }

    TableKind table_;
    const Overrides& overrides_;
    const CharacterFacts& facts_;
    ReaderRules rules_;
    StackedShapes stacked_shapes_;
    std::set<char16_t> traditional_forms_drawn_;
    mutable std::map<char16_t, std::u16string> unspelled_;
    std::map<std::u16string, const DecompositionRecord*> first_record_;
};

}  // namespace

std::map<char16_t, CharacterSplit> usable_splits(const std::vector<DecompositionRecord>& records,
                                                 TableKind kind, const Overrides& overrides,
                                                 const CharacterFacts& facts) {
    const PieceSplitter splitter(records, kind, overrides, facts);
    std::map<char16_t, CharacterSplit> splits;
    for (const auto& record : records) {
        if (record.character.size() != 1 || !is_gbk_character(record.character[0]) ||
            splits.contains(record.character[0])) {
            continue;  // the first usable record of a character is the one taken
        }
        if (auto split = splitter.split(record)) {
            splits.emplace(record.character[0], std::move(*split));
        }
    }
    return splits;
}

std::map<char16_t, std::u16string> unspellable_shapes(
    const std::vector<DecompositionRecord>& records, TableKind kind, const Overrides& overrides,
    const CharacterFacts& facts) {
    const PieceSplitter splitter(records, kind, overrides, facts);
    for (const auto& record : records) {
        if (record.character.size() == 1 && is_gbk_character(record.character[0])) {
            splitter.split(record);
        }
    }
    return splitter.unspelled();
}

}  // namespace mardovane::tables
