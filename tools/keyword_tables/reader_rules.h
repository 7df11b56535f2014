#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "tools/keyword_tables/character_facts.h"
#include "tools/keyword_tables/overrides.h"

// The rules of what a reader sees, as the keyword tables follow them.
namespace mardovane::tables {

bool is_bare_stroke(char16_t c);  // a single stroke, or the two dots of 丷

// What a reader of simplified or of traditional text sees as one unit, and knows as a
// piece, as Unicode's data and our reviewed overrides tell.
class ReaderRules {
  public:
    ReaderRules(const CharacterFacts& facts, const Overrides& overrides)
        : facts_(facts), overrides_(overrides) {}

    // Seen as one unit, never split: a small radical as simplified Chinese writes it, a
    // component form (氵 疒), a Kangxi radical or its simplified form (門 门 馬 马 糸),
    // unless a reviewed override splits it.
    bool is_unit(char16_t c) const;
    // A common character (GB2312), a unit, the traditional form of a common character
    // (們 → 門), or a piece on the reviewed list of familiar ones (夬 畐).
    bool is_known_piece(char16_t c) const;
    // Whether `piece` is written as text of `character`'s kind writes it: no traditional
    // form (門) in a split of a simplified form, no simplified form (门) in a traditional
    // character or one of the rest of GBK.
    bool fits(char16_t character, char16_t piece) const;
    // A character of GB2312's level 1, or the traditional form of one (車 as 车): the same
    // split reads as well in either script.
    bool is_among_the_most_common(char16_t c) const;

    // A component that is itself a piece readers know, in its full form (⺮ as 竹); none
    // for a numbered shape, a character beyond the BMP, a bare stroke or an unknown piece.
    std::optional<char16_t> piece_of(const std::u16string& component) const;

    const CharacterFacts& facts() const { return facts_; }

  private:
    const CharacterFacts& facts_;
    const Overrides& overrides_;
};

// Whether GBK (code page 936) holds the character at a code point outside private use.
bool is_gbk_character(char16_t c);

// GB2312's hanzi: the common characters; level 1 is the most common 3,755.
bool is_gb2312_hanzi(char16_t c, bool level_1_only = false);

// How many times a repetition kind of the data writes its one component, or none.
std::optional<std::size_t> repetition_count(const std::string& kind);
bool is_top_bottom(const std::string& kind);
// The arrangement a kind of the data is read as: every top-bottom kind as "d", a
// repetition in a row as "a", the rest as they are, so that a stack in a stack reads as
// one stack.
std::string arrangement_of(const std::string& kind);

// The enclosing components that read well side by side for a surrounding kind, or none.
std::optional<std::u16string_view> enclosing_components(const std::string& kind);

// Top-bottom splits read well when the top or the bottom is a well-known component.
bool is_known_top(char16_t c);
bool is_known_bottom(char16_t c);

// The full character that a radical form GBK lacks stands for (⺮ → 竹), or none.
std::optional<char16_t> full_form(char16_t c);

}  // namespace mardovane::tables
