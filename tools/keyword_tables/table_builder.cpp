#include "tools/keyword_tables/table_builder.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <queue>
#include <set>
#include <stdexcept>
#include <variant>

#include "substitution/line_breaks.h"
#include "substitution/text_codec.h"

namespace mardovane::tables {
namespace {

// Pieces a reader would not call pieces: single strokes, and the two dots of 丷.
constexpr std::u16string_view kBareStrokes = u"一丨丶丿乙乚乛亅丷乀乁";

// The Kangxi radicals of one to five strokes (1 to 117), as simplified Chinese writes them:
// readers see each as one unit, and know each as a piece.
constexpr std::u16string_view kSmallRadicals =
    u"一丨丶丿乙亅二亠人儿入八冂冖冫几凵刀力勹匕匚匸十卜卩厂厶又口囗土士夂夊夕大女子宀寸小"
    u"尢尸屮山巛工己巾干幺广廴廾弋弓彐彡彳心戈户手支攴文斗斤方无日曰月木欠止歹殳毋比毛氏"
    u"气水火爪父爻爿片牙牛犬玄玉瓜瓦甘生用田疋疒癶白皮皿目矛矢石示禸禾穴立";

// Component forms that readers see as units and know as pieces.
constexpr std::u16string_view kComponentForms =
    u"亻氵忄扌犭纟讠钅饣礻衤阝刂丬艹罒覀耂灬爫氺攵廾彡门虍辶";

// The enclosing components of the surrounding shapes that read well side by side.
const std::map<std::string, std::u16string_view>& enclosures() {
    static const std::map<std::string, std::u16string_view> by_kind = {
        {"s", u"囗"},           {"st", u"门門"}, {"stl", u"疒广尸厂户耂虍麻鹿夕"},
        {"str", u"勹气戈弋丁"}, {"sl", u"匚"},   {"sbl", u"辶走廴鬼"},
        {"lock", u"勹"},  // 包: 勹 round 巳
    };
    return by_kind;
}

// Top-bottom splits go into the default table when the top or the bottom is one of these.
constexpr std::u16string_view kKnownTops = u"艹宀竹雨罒覀穴冖爫癶";
constexpr std::u16string_view kKnownBottoms = u"心灬皿贝氺";

bool contains(std::u16string_view set, char16_t c) {
    return set.find(c) != std::u16string_view::npos;
}

// How many times a repetition kind writes its one component.
std::optional<std::size_t> repetition_count(const std::string& kind) {
    static const std::map<std::string, std::size_t> counts = {
        {"ra", 2}, {"r3a", 3}, {"r3tr", 3}, {"r4sq", 4}, {"rd", 2}};
    const auto it = counts.find(kind);
    return it != counts.end() ? std::optional<std::size_t>(it->second) : std::nullopt;
}

bool is_top_bottom(const std::string& kind) {
    return kind == "d" || kind == "rd";
}

// Radical forms that GBK lacks, written as the full characters they stand for.
const std::map<char16_t, char16_t>& full_forms() {
    static const std::map<char16_t, char16_t> forms = {
        {u'⺅', u'亻'}, {u'⺌', u'小'}, {u'⺍', u'小'}, {u'⺖', u'忄'}, {u'⺗', u'心'},
        {u'⺘', u'扌'}, {u'⺙', u'攵'}, {u'⺡', u'氵'}, {u'⺨', u'犭'}, {u'⺮', u'竹'},
        {u'⺲', u'罒'}, {u'⺳', u'罒'}, {u'⺶', u'羊'}, {u'⺷', u'羊'}, {u'⺻', u'聿'},
        {u'⺼', u'月'}, {u'⺾', u'艹'}, {u'⺿', u'艹'}, {u'⻀', u'艹'}, {u'⻊', u'足'},
        {u'⻌', u'辶'}, {u'⻍', u'辶'}, {u'⻎', u'辶'}, {u'⻏', u'阝'}, {u'⻖', u'阝'},
        {u'⻗', u'雨'},
    };
    return forms;
}

// GB2312's hanzi: the common characters, bytes B0A1 to F7FE; level 1 (the most common
// 3,755) ends before lead byte D8.
bool is_gb2312_hanzi(char16_t c, bool level_1_only = false) {
    const auto bytes = encode_gbk(std::u16string(1, c));
    const auto* gbk = std::get_if<std::string>(&bytes);
    if (gbk == nullptr || gbk->size() != 2) {
        return false;
    }
    const auto lead = static_cast<unsigned char>((*gbk)[0]);
    const auto trail = static_cast<unsigned char>((*gbk)[1]);
    return lead >= 0xB0 && lead <= (level_1_only ? 0xD7 : 0xF7) && trail >= 0xA1;
}

// The split of one character, as the rules and the data give it.
class Splitter {
  public:
    Splitter(const std::vector<DecompositionRecord>& records, TableKind table,
             const Overrides& overrides)
        : table_(table), overrides_(overrides) {
        for (const auto& record : records) {
            first_record_.emplace(record.character, &record);  // the first one is taken
        }
    }

    struct Split {
        std::u16string pieces;
        bool spelled_out = false;
    };

    std::optional<Split> split(const DecompositionRecord& record) const {
        const char16_t c = record.character[0];
        if (const auto it = overrides_.characters.find(c); it != overrides_.characters.end()) {
            return it->second ? std::optional<Split>(Split{*it->second}) : std::nullopt;
        }
        if (is_unit(c)) {
            return std::nullopt;  // a unit stays whole
        }
        auto split = pieces_of(record, 0);
        if (!split || split->pieces.size() < 2 || split->pieces.size() > 4 ||
            split->pieces.find(c) != std::u16string::npos) {
            return std::nullopt;  // a pair that keeps its own character would split for ever
        }
        if (table_ == TableKind::Default && is_top_bottom(record.kind) &&
            !reads_well_top_bottom(record)) {
            return std::nullopt;
        }
        return split;
    }

  private:
    // The pieces of a record's components, each a piece readers know; a component that is
    // none, at the first level, is spelled out by its own record where that reads well.
    std::optional<Split> pieces_of(const DecompositionRecord& record, int depth) const {
        const auto& parts = record.components;
        std::vector<std::u16string> components;
        if (const auto repeat = repetition_count(record.kind); repeat && parts.size() == 1) {
            components.assign(*repeat, parts[0]);
        } else if ((record.kind == "a" || record.kind == "d") &&
                   (parts.size() == 2 || parts.size() == 3)) {
            components = parts;
        } else if (const auto it = enclosures().find(record.kind);
                   it != enclosures().end() && parts.size() == 2) {
            // A component being spelled out may have any enclosure that reads well as its
            // pieces (𠬝 → 卩又); a character's own split only one of the list.
            const auto outer = single_piece(parts[0]);
            if (!outer || (depth == 0 && !contains(it->second, *outer))) {
                return std::nullopt;
            }
            components = parts;
        } else {
            return std::nullopt;
        }
        Split split;
        for (const auto& component : components) {
            if (const auto rewritten = overrides_.pieces.find(component);
                rewritten != overrides_.pieces.end()) {
                split.pieces += rewritten->second;  // reviewed: taken as it stands
            } else if (const auto piece = single_piece(component)) {
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
            } else if (const auto* own =
                           depth == 0 && is_character(component) ? record_of(component) : nullptr) {
                auto spelled = pieces_of(*own, depth + 1);
                if (!spelled) {
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

    // A component that is itself a piece readers know, in its full form.
    static std::optional<char16_t> single_piece(const std::u16string& component) {
        if (component.size() != 1) {
            return std::nullopt;  // an intermediate shape, or a character beyond the BMP
        }
        char16_t c = component[0];
        if (const auto it = full_forms().find(c); it != full_forms().end()) {
            c = it->second;
        }
        if (is_bare_stroke(c) || !is_known_piece(c)) {
            return std::nullopt;
        }
        return c;
    }

    // A character GBK lacks, as opposed to a numbered shape that no character writes.
    static bool is_character(const std::u16string& component) {
        return !component.empty() && !(component[0] >= u'0' && component[0] <= u'9');
    }

    const DecompositionRecord* record_of(const std::u16string& component) const {
        const auto it = first_record_.find(component);
        return it != first_record_.end() ? it->second : nullptr;
    }

    // A top-bottom split the eye takes in at once: a well-known top or bottom, or two
    // halves that are both among the most common characters.
    bool reads_well_top_bottom(const DecompositionRecord& record) const {
        const auto& parts = record.components;
        const auto top = single_piece(parts.front());
        const auto bottom = single_piece(parts.back());
        if ((top && contains(kKnownTops, *top)) || (bottom && contains(kKnownBottoms, *bottom))) {
            return true;
        }
        for (const auto& part : parts) {
            const auto piece = single_piece(part);
            if (!piece || !is_gb2312_hanzi(*piece, /*level_1_only=*/true)) {
                return false;
            }
        }
        return true;
    }

    TableKind table_;
    const Overrides& overrides_;
    std::map<std::u16string, const DecompositionRecord*> first_record_;
};

std::map<char16_t, Splitter::Split> usable_splits(const std::vector<DecompositionRecord>& records,
                                                  TableKind kind, const Overrides& overrides) {
    const Splitter splitter(records, kind, overrides);
    std::map<char16_t, Splitter::Split> splits;
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

// The characters that lie on a cycle of "is split into" (Tarjan's strongly connected
// components, iteratively: the data has chains thousands of links long).
std::set<char16_t> characters_on_cycles(const std::map<char16_t, std::u16string>& splits) {
    std::map<char16_t, int> index;
    std::map<char16_t, int> low;
    std::vector<char16_t> stack;
    std::set<char16_t> on_stack;
    std::set<char16_t> cyclic;
    int next_index = 0;
    for (const auto& [start, unused] : splits) {
        if (index.contains(start)) {
            continue;
        }
        // Each frame: the character and how many of its components it has visited.
        std::vector<std::pair<char16_t, std::size_t>> frames = {{start, 0}};
        index[start] = low[start] = next_index++;
        stack.push_back(start);
        on_stack.insert(start);
        while (!frames.empty()) {
            auto& [c, visited] = frames.back();
            const std::u16string& parts = splits.at(c);
            if (visited < parts.size()) {
                const char16_t part = parts[visited++];
                if (!splits.contains(part)) {
                    continue;
                }
                if (!index.contains(part)) {
                    index[part] = low[part] = next_index++;
                    stack.push_back(part);
                    on_stack.insert(part);
                    frames.emplace_back(part, 0);
                } else if (on_stack.contains(part)) {
                    low[c] = std::min(low[c], index[part]);
                }
                continue;
            }
            const char16_t done = c;
            frames.pop_back();
            if (!frames.empty()) {
                low[frames.back().first] = std::min(low[frames.back().first], low[done]);
            }
            if (low[done] == index[done]) {
                std::vector<char16_t> component;
                char16_t member;
                do {
                    member = stack.back();
                    stack.pop_back();
                    on_stack.erase(member);
                    component.push_back(member);
                } while (member != done);
                if (component.size() > 1) {
                    cyclic.insert(component.begin(), component.end());
                }
            }
        }
    }
    return cyclic;
}

}  // namespace

bool is_known_piece(char16_t c) {
    return is_gbk_character(c) &&
           (is_gb2312_hanzi(c) || contains(kSmallRadicals, c) || contains(kComponentForms, c));
}

bool is_bare_stroke(char16_t c) {
    return contains(kBareStrokes, c);
}

bool is_unit(char16_t c) {
    return contains(kSmallRadicals, c) || contains(kComponentForms, c);
}

bool is_gbk_character(char16_t c) {
    const bool private_use = c >= 0xE000 && c <= 0xF8FF;
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    return !private_use && !surrogate && c >= 0x80 &&
           std::holds_alternative<std::string>(encode_gbk(std::u16string(1, c)));
}

BuiltTable build_table(const std::vector<DecompositionRecord>& records, TableKind kind,
                       const Overrides& overrides) {
    std::map<char16_t, std::u16string> splits;
    for (auto& [c, split] : usable_splits(records, kind, overrides)) {
        splits.emplace(c, std::move(split.pieces));
    }
    BuiltTable built;
    const auto cyclic = characters_on_cycles(splits);
    built.left_out_for_cycles = cyclic.size();
    for (const char16_t c : cyclic) {
        splits.erase(c);
    }

    // Kahn's algorithm: a character is ready once every component that has a pair of its
    // own has been placed; among the ready, the lowest code point goes first.
    std::map<char16_t, std::size_t> waiting_on;
    std::map<char16_t, std::vector<char16_t>> needed_by;
    for (const auto& [c, parts] : splits) {
        const std::set<char16_t> distinct(parts.begin(), parts.end());
        waiting_on[c] = 0;
        for (const char16_t part : distinct) {
            if (splits.contains(part)) {
                ++waiting_on[c];
                needed_by[part].push_back(c);
            }
        }
    }
    std::priority_queue<char16_t, std::vector<char16_t>, std::greater<>> ready;
    for (const auto& [c, count] : waiting_on) {
        if (count == 0) {
            ready.push(c);
        }
    }
    while (!ready.empty()) {
        const char16_t c = ready.top();
        ready.pop();
        built.pairs.push_back({c, splits.at(c)});
        for (const char16_t user : needed_by[c]) {
            if (--waiting_on[user] == 0) {
                ready.push(user);
            }
        }
    }
    if (built.pairs.size() != splits.size()) {
        throw std::logic_error("a cycle survived in the keyword table");
    }
    return built;
}

std::u16string pairs_as_text(const std::vector<KeywordPair>& pairs) {
    std::u16string text;
    for (const auto& pair : pairs) {
        text += pair.character;
        text += u'→';
        text += pair.replacement;
        text += u' ';
    }
    return text;
}

std::string to_keyword_file(const std::vector<KeywordPair>& pairs) {
    std::u16string text;
    for (const auto& pair : pairs) {
        text += pair.character;
        text += u"\r\n";
        text += pair.replacement;
        text += u"\r\n";
    }
    auto encoded = encode_gbk(text);
    if (std::holds_alternative<EncodeError>(encoded)) {
        throw std::logic_error("a keyword pair is not GBK");
    }
    return std::get<std::string>(std::move(encoded));
}

}  // namespace mardovane::tables

namespace mardovane::tables {

std::vector<KeywordPair> spelled_out_splits(const std::vector<DecompositionRecord>& records,
                                            TableKind kind, const Overrides& overrides) {
    std::vector<KeywordPair> spelled;
    for (auto& [c, split] : usable_splits(records, kind, overrides)) {
        if (split.spelled_out) {
            spelled.push_back({c, std::move(split.pieces)});
        }
    }
    return spelled;
}

Overrides parse_overrides(std::string_view file) {
    Overrides overrides;
    std::size_t number = 0;
    for_each_line(file, [&](std::string_view line) {
        ++number;
        if (line.empty() || line.starts_with('#')) {
            return;
        }
        const bool piece = line.starts_with('~');
        if (piece) {
            line.remove_prefix(1);
        }
        const std::size_t first_tab = line.find('\t');
        const std::size_t second_tab = line.find('\t', first_tab + 1);
        const auto what = decode(line.substr(0, first_tab), Encoding::Utf8);
        const auto pieces =
            decode(line.substr(first_tab + 1, second_tab - first_tab - 1), Encoding::Utf8);
        if (first_tab == std::string_view::npos || second_tab == std::string_view::npos ||
            !std::holds_alternative<std::u16string>(what) ||
            !std::holds_alternative<std::u16string>(pieces)) {
            throw std::runtime_error("overrides, line " + std::to_string(number) +
                                     ": not of the form what<TAB>pieces<TAB>reason");
        }
        const auto& key = std::get<std::u16string>(what);
        const auto& value = std::get<std::u16string>(pieces);
        if (piece) {
            overrides.pieces[key] = value;
        } else if (key.size() == 1) {
            overrides.characters[key[0]] =
                value == u"-" ? std::nullopt : std::optional<std::u16string>(value);
        } else {
            throw std::runtime_error("overrides, line " + std::to_string(number) +
                                     ": one character to override");
        }
    });
    return overrides;
}

}  // namespace mardovane::tables
