#include "tools/keyword_tables/table_order.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <stdexcept>

namespace mardovane::tables {

// Tarjan's strongly connected components, iteratively: the data has chains thousands of
// links long.
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
                // A character whose own split holds it is a cycle of one.
                if (component.size() > 1 || splits.at(done).find(done) != std::u16string::npos) {
                    cyclic.insert(component.begin(), component.end());
                }
            }
        }
    }
    return cyclic;
}

OrderedPairs order_one_level_per_click(std::map<char16_t, std::u16string> splits) {
    OrderedPairs built;
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
}  // namespace mardovane::tables
