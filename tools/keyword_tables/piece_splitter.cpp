#include "tools/keyword_tables/piece_splitter.h"

#include <set>
#include <utility>

#include "tools/keyword_tables/known_characters.h"
#include "tools/keyword_tables/numbered_shapes.h"
#include "tools/keyword_tables/piece_forms.h"
#include "tools/keyword_tables/reader_rules.h"
#include "tools/keyword_tables/simplified_levels.h"
#include "tools/keyword_tables/stacked_shapes.h"
#include "tools/keyword_tables/stroke_check.h"

namespace mardovane::tables {
namespace {

CharacterSplit reviewed(std::u16string pieces) {
    CharacterSplit split;
    split.pieces = std::move(pieces);
    return split;
}

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
          numbered_shapes_(records, facts),
          known_(records, overrides, rules_),
          traditional_forms_drawn_(traditional_forms_drawn(records, facts)) {
        for (const auto& record : records) {
            first_record_.emplace(record.character, &record);  // the first one is taken
        }
    }

    using Split = CharacterSplit;

    std::optional<Split> split(const DecompositionRecord& record) const {
        const char16_t c = record.character[0];
        const auto own = overrides_.characters.find(c);
        if (const auto it = overrides_.riddles.find(c); it != overrides_.riddles.end()) {
            // A game's split, not what a reader sees: the fuller table's. The default table
            // takes the reviewed split the eye sees (卡 上卜), where there is one.
            if (table_ == TableKind::Full) {
                return reviewed(it->second);
            }
            if (own == overrides_.characters.end()) {
                return std::nullopt;
            }
        }
        if (own != overrides_.characters.end()) {
            return own->second ? std::optional<Split>(reviewed(*own->second)) : std::nullopt;
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
        if (split->spelled_deeper && stroke_difference(c, split->pieces, facts_) != 0) {
            return std::nullopt;  // a shape inside a shape: only pieces that add up exactly
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
        std::string rule;
        std::vector<std::u16string> components;
        if (const auto repeat = repetition_count(record.kind); repeat && parts.size() == 1) {
            components.assign(*repeat, parts[0]);
        } else if (record.kind == "a" && parts.size() == 2 && parts[0] == u"行") {
            // 行 holds the other part between its halves, as the data records 衔 術 街.
            components = {u"彳", parts[1], u"亍"};
            rule = kHeldByXingRule;
        } else if ((record.kind == "a" || is_top_bottom(record.kind)) &&
                   (parts.size() == 2 || parts.size() == 3)) {
            components = parts;
        } else if (const auto enclosing = enclosing_components(record.kind);
                   enclosing && parts.size() == 2) {
            // A component being spelled out may have any enclosure that reads well as its
            // pieces (𠬝 → 卩又); a character's own split only one of the list.
            const auto outer = rules_.piece_of(parts[0]);
            if (!outer || (depth == 0 && enclosing->find(*outer) == std::u16string_view::npos)) {
                return std::nullopt;
            }
            components = parts;
        } else {
            return std::nullopt;
        }
        Split split;
        // Each component's pieces; those of a component spelled out in a row of its own
        // may join a piece beside them (口禾 刂 is 口利).
        std::vector<std::u16string> groups;
        std::vector<bool> spelled_rows;
        for (std::size_t index = 0; index < components.size(); ++index) {
            const std::size_t before = split.pieces.size();
            bool spelled_row = false;
            const auto& component = components[index];
            if (component.size() == 1 && overrides_.unspellable_shapes.contains(component[0])) {
                return std::nullopt;  // reviewed: no GBK pieces spell it
            }
            if (const auto stacked = components.size() == parts.size()
                                         ? stacked_parts(record, index)
                                         : std::nullopt) {
                split.pieces += *stacked;  // 猒 stacks 日 over 月: not 明 beside 犬
                rule = kStackedPartsRule;
            } else if (const auto rewritten = overrides_.pieces.find(component);
                       rewritten != overrides_.pieces.end()) {
                split.pieces += rewritten->second;  // reviewed: taken as it stands
                split.rewritten = true;
            } else if (const auto piece = rules_.piece_of(component)) {
                split.pieces += *piece;
            } else if (const auto drawn = components.size() == parts.size()
                                              ? character_drawn(record, index)
                                              : std::nullopt;
                       const auto drawn_piece =
                           drawn ? rules_.piece_of(std::u16string(1, *drawn)) : std::nullopt) {
                split.pieces += *drawn_piece;  // 37079 is 覃
                rule = numbered_shapes_.character_of(component) ? "numbered shape drawn"
                                                                : "numbered shape as simplified";
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
            } else if (const auto* own =
                           spellable(component, depth) ? record_of(component) : nullptr) {
                auto spelled = pieces_of(*own, depth + 1);
                if (!spelled) {
                    return std::nullopt;
                }
                split.spelled_deeper = split.spelled_deeper || spelled->spelled_deeper || depth > 0;
                if (rule.empty()) {
                    rule = spelled->spelled_deeper ? "a shape inside a shape spelled out"
                                                   : spelled->rule;  // 厭: 猒's stacked parts
                }
                if (!spelled->rewritten && !spells_exactly(component, spelled->pieces, facts_)) {
                    unspelled_.emplace(component[0], spelled->pieces);
                    return std::nullopt;
                }
                // One level a click: pieces that make a character readers know, in the
                // same arrangement, are that character (硦 is 石 beside 弄, not 石王廾).
                if (const auto whole = known_.made_of(own->kind, spelled->pieces)) {
                    split.pieces += *whole;
                    rule = "one level a click";
                } else {
                    if (is_numbered_shape(component)) {
                        rule = "numbered shape as its pieces";
                    }
                    split.pieces += spelled->pieces;
                    split.spelled_out = true;
                    // Only a piece standing alone at the row's end may join what follows
                    // (劉's 金 stands under 卯: 嚠 is not 口卯釗).
                    spelled_row =
                        arrangement_of(own->kind) == "a" && spelled->last_component_pieces == 1;
                }
            } else {
                return std::nullopt;
            }
            groups.push_back(split.pieces.substr(before));
            spelled_rows.push_back(spelled_row);
        }
        if (arrangement_of(record.kind) == "a" && known_.join_across_rows(groups, spelled_rows)) {
            rule = "one level a click";
            split.pieces.clear();
            for (const auto& group : groups) {
                split.pieces += group;
            }
        }
        split.rule = rule;
        split.last_component_pieces = groups.empty() ? 0 : groups.back().size();
        return split;
    }

    // The components whose own split did not add up to them, met so far.
    const std::map<char16_t, std::u16string>& unspelled() const { return unspelled_; }

  private:
    // The character a numbered component draws, by its parts or by the simplified form.
    std::optional<char16_t> character_drawn(const DecompositionRecord& record,
                                            std::size_t index) const {
        if (index >= record.components.size()) {
            return std::nullopt;
        }
        if (const auto drawn = numbered_shapes_.character_of(record.components[index])) {
            return drawn;
        }
        return numbered_shapes_.as_in_simplified_form(record, index);
    }

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
            const auto piece = rules_.piece_of(part);
            if (!piece) {
                return std::nullopt;
            }
            pieces += *piece;
        }
        return pieces;
    }

    // A component is spelled out by its own record at the first level; inside it, a shape
    // GBK has no character for may be spelled out in turn (邊's 臱 is 自 over a numbered
    // shape of 穴 over 方: 辶自穴方; 潔's 絜 is 㓞 over 糸: 氵丰刀糸).
    static bool spellable(const std::u16string& component, int depth) {
        return depth == 0 ||
               (depth == 1 && (is_numbered_shape(component) || component.size() != 1 ||
                               !is_gbk_character(component[0])));
    }

    const DecompositionRecord* record_of(const std::u16string& component) const {
        const auto it = first_record_.find(component);
        return it != first_record_.end() ? it->second : nullptr;
    }

    // A top-bottom split the eye takes in at once: a well-known top or bottom, or halves
    // that are all among the most common characters.
    bool reads_well_top_bottom(const DecompositionRecord& record) const {
        const auto& parts = record.components;
        const std::u16string top = pieces_seen(record, 0);
        const std::u16string bottom = pieces_seen(record, parts.size() - 1);
        if ((!top.empty() && is_known_top(top.front())) ||
            (!bottom.empty() && is_known_bottom(bottom.back()))) {
            return true;  // 愛: 爫 tops the shape the data numbers
        }
        for (std::size_t index = 0; index < parts.size(); ++index) {
            const std::u16string pieces = pieces_seen(record, index);
            if (pieces.empty()) {
                return false;
            }
            // A plain stack the data numbers may hold a component form (丬 of 浆's 丬夕).
            const bool numbered = is_numbered_shape(parts[index]);
            for (const char16_t c : pieces) {
                if (!rules_.is_among_the_most_common(c) && !(numbered && rules_.is_unit(c))) {
                    return false;
                }
            }
        }
        return true;
    }

    // The pieces a reader sees in a part of a record: a reviewed rewrite counts by its
    // pieces (吅 as 口口: 骂 is 口口 over 马), a numbered shape as the character it draws
    // or as the pieces it is spelled with (浆 is 丬夕 over 水, 毫 亠口冖 over 毛). Empty when
    // there are none.
    std::u16string pieces_seen(const DecompositionRecord& record, std::size_t index) const {
        const auto& part = record.components[index];
        if (const auto rewritten = overrides_.pieces.find(part);
            rewritten != overrides_.pieces.end()) {
            return rewritten->second;
        }
        if (const auto piece = rules_.piece_of(part)) {
            return std::u16string(1, *piece);
        }
        if (const auto drawn =
                is_numbered_shape(part) ? character_drawn(record, index) : std::nullopt) {
            const auto piece = rules_.piece_of(std::u16string(1, *drawn));
            return piece ? std::u16string(1, *piece) : u"";
        }
        const auto* own = record_of(part);
        const auto spelled = own != nullptr ? pieces_of(*own, 1) : std::nullopt;
        return spelled ? spelled->pieces : u"";
    }

    TableKind table_;
    const Overrides& overrides_;
    const CharacterFacts& facts_;
    ReaderRules rules_;
    StackedShapes stacked_shapes_;
    NumberedShapes numbered_shapes_;
    KnownCharacters known_;
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
    keep_simplified_levels(splits, facts, ReaderRules(facts, overrides));
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
