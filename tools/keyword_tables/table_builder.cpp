#include "tools/keyword_tables/table_builder.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <queue>
#include <set>
#include <stdexcept>
#include <variant>

#include "substitution/text_codec.h"

namespace mardovane::tables {
namespace {

// How many times a repetition kind writes its one component.
std::optional<std::size_t> repetition_count(const std::string& kind, TableKind table) {
    static const std::map<std::string, std::size_t> across = {
        {"ra", 2}, {"r3a", 3}, {"r3tr", 3}, {"r4sq", 4}};
    if (auto it = across.find(kind); it != across.end()) {
        return it->second;
    }
    if (kind == "rd" && table == TableKind::Full) {
        return 2;
    }
    return std::nullopt;
}

bool takes_components_as_written(const std::string& kind, std::size_t count, TableKind table) {
    if (kind == "a" || (kind == "d" && table == TableKind::Full)) {
        return count == 2 || count == 3;
    }
    return kind == "sbl" && count == 2;
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

std::optional<char16_t> usable_component(const std::u16string& component) {
    if (component.size() != 1) {
        return std::nullopt;  // an intermediate shape, or a character beyond the BMP
    }
    char16_t c = component[0];
    if (auto it = full_forms().find(c); it != full_forms().end()) {
        c = it->second;
    }
    return is_gbk_character(c) ? std::optional<char16_t>(c) : std::nullopt;
}

std::optional<std::u16string> replacement_for(const DecompositionRecord& record, TableKind table) {
    std::u16string replacement;
    const auto repeat = repetition_count(record.kind, table);
    if (repeat && record.components.size() == 1) {
        const auto c = usable_component(record.components[0]);
        if (!c) {
            return std::nullopt;
        }
        replacement.assign(*repeat, *c);
    } else if (takes_components_as_written(record.kind, record.components.size(), table)) {
        for (const auto& component : record.components) {
            const auto c = usable_component(component);
            if (!c) {
                return std::nullopt;
            }
            replacement += *c;
        }
    } else {
        return std::nullopt;
    }
    if (replacement.find(record.character[0]) != std::u16string::npos) {
        return std::nullopt;  // a pair that keeps its own character would split for ever
    }
    return replacement;
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

bool is_gbk_character(char16_t c) {
    const bool private_use = c >= 0xE000 && c <= 0xF8FF;
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    return !private_use && !surrogate && c >= 0x80 &&
           std::holds_alternative<std::string>(encode_gbk(std::u16string(1, c)));
}

BuiltTable build_table(const std::vector<DecompositionRecord>& records, TableKind kind) {
    std::map<char16_t, std::u16string> splits;
    for (const auto& record : records) {
        if (record.character.size() != 1 || !is_gbk_character(record.character[0]) ||
            splits.contains(record.character[0])) {
            continue;  // the first usable record of a character is the one taken
        }
        if (auto replacement = replacement_for(record, kind)) {
            splits.emplace(record.character[0], std::move(*replacement));
        }
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
