#pragma once

#include <optional>
#include <string>
#include <vector>

// The steps of tests/window/scenarios.txt, which every front end of the window runs.
namespace mardovane::testing {

struct ScenarioStep {
    std::string action;                      // "paste", "split", "key", ...
    std::u16string argument;                 // the text, the key ("ctrl+z") or "FROM TO"
    std::optional<std::u16string> expected;  // none: the window is gone
    int line = 0;                            // in the file, for messages
};

struct Scenario {
    std::string name;
    std::vector<std::u16string> table;  // the keyword table's lines
    std::vector<ScenarioStep> steps;
};

// The scenarios of the file, or an empty list and a message in `error`.
std::vector<Scenario> read_scenarios(const std::string& path, std::string& error);

// The table's lines as a keyword file in UTF-8 with its byte-order mark.
std::string keyword_file_of(const Scenario& scenario);

// "FROM TO" of a select step.
std::pair<std::size_t, std::size_t> selection_of(const ScenarioStep& step);

// A text in UTF-8, for messages.
std::string utf8(const std::u16string& text);

}  // namespace mardovane::testing
