#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The rules of what a reader sees, as the keyword tables follow them.
namespace mardovane::tables {

bool is_bare_stroke(char16_t c);  // a single stroke, or the two dots of 丷
bool is_unit(char16_t c);         // seen as one unit: never split
bool is_known_piece(char16_t c);  // a common character or a component readers know

// Whether GBK (code page 936) holds the character at a code point outside private use.
bool is_gbk_character(char16_t c);

// GB2312's hanzi: the common characters; level 1 is the most common 3,755.
bool is_gb2312_hanzi(char16_t c, bool level_1_only = false);

// How many times a repetition kind of the data writes its one component, or none.
std::optional<std::size_t> repetition_count(const std::string& kind);
bool is_top_bottom(const std::string& kind);

// The enclosing components that read well side by side for a surrounding kind, or none.
std::optional<std::u16string_view> enclosing_components(const std::string& kind);

// Top-bottom splits read well when the top or the bottom is a well-known component.
bool is_known_top(char16_t c);
bool is_known_bottom(char16_t c);

// The full character that a radical form GBK lacks stands for (⺮ → 竹), or none.
std::optional<char16_t> full_form(char16_t c);

}  // namespace mardovane::tables
