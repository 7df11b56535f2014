#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/keyword_tables/decomposition.h"

namespace mardovane::tables {

enum class TableKind {
    // Splits that still look like the character when written side by side: left-right
    // (a), repetitions (ra, r3a, r3tr, r4sq), the enclosures that read well (门 问,
    // 囗 国, 广 店, 辶 这 and the like), and the top-bottom splits whose top or bottom is a
    // well-known component (艹 花, 宀 家, 心 想) or whose halves are both common
    // characters (李 → 木子).
    Default,
    // Default, and every other top-bottom split (d, and the repetition down, rd) whose
    // pieces read well.
    Full,
};

// Reviewed corrections to the data: whole characters split otherwise or left whole, and
// pieces written in the form readers know.
struct Overrides {
    std::map<char16_t, std::optional<std::u16string>> characters;  // none: leave it whole
    std::map<std::u16string, std::u16string> pieces;
};

// Reads the overrides file (UTF-8): `char<TAB>pieces-or-<TAB>reason` a line, or
// `~piece<TAB>pieces<TAB>reason`; # starts a comment. Throws on a malformed line.
Overrides parse_overrides(std::string_view file);

struct KeywordPair {
    char16_t character;
    std::u16string replacement;
};

struct BuiltTable {
    std::vector<KeywordPair> pairs;
    std::size_t left_out_for_cycles = 0;
};

// The pairs of a keyword table, in an order that splits one level per click: a
// component's own pair comes before every pair whose replacement holds it, ties broken by
// code point. Only characters whose every component is a GBK character outside private
// use are taken (radical forms outside GBK become their full forms where they have one,
// as ⺮ → 竹); no pair maps a character to itself, none finds a character twice, and
// characters that take part in a cycle of the data are left out.
//
// What a reader sees decides: no piece is a bare stroke (一 丨 丶 丿 乙 乚 亅 丷), a
// character that readers see as one unit (a radical of up to five strokes, or a
// component form such as 氵 or 疒) is never split, and every piece is a common character
// (GB2312) or a component readers know. A component that GBK lacks is spelled out by its
// own split when that reads well (得 → 彳旦寸), with at most four pieces in all.
BuiltTable build_table(const std::vector<DecompositionRecord>& records, TableKind kind,
                       const Overrides& overrides = {});

// The splits that spelled out a component GBK lacks, for review: character, pieces.
std::vector<KeywordPair> spelled_out_splits(const std::vector<DecompositionRecord>& records,
                                            TableKind kind, const Overrides& overrides = {});

// The pairs as "好→女子 湖→氵胡 ", for people to read.
std::u16string pairs_as_text(const std::vector<KeywordPair>& pairs);

// The keyword file bytes: GBK, CR LF after every line, no byte-order mark.
std::string to_keyword_file(const std::vector<KeywordPair>& pairs);

// Whether GBK (code page 936) holds the character at a code point outside private use.
bool is_gbk_character(char16_t c);

// The rules of what a reader sees, as the tables follow them.
bool is_bare_stroke(char16_t c);  // a single stroke, or the two dots of 丷
bool is_unit(char16_t c);         // seen as one unit: never split
bool is_known_piece(char16_t c);  // a common character or a component readers know

}  // namespace mardovane::tables
