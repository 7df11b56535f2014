#include "tests/window/scenario.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <variant>

#include "substitution/text_codec.h"

namespace mardovane::testing {
namespace {

std::u16string decoded(const std::string& bytes) {
    auto text = decode(bytes, Encoding::Utf8);
    return std::holds_alternative<std::u16string>(text) ? std::get<std::u16string>(text) : u"";
}

// \n, \r and {TEXT*N} spelled out.
std::u16string unescaped(const std::string& written) {
    std::string text;
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (written[i] == '\\' && i + 1 < written.size()) {
            const char next = written[++i];
            text += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            text += written[i];
        }
    }
    std::string expanded;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('{', at);
        const std::size_t star = text.find('*', open == std::string::npos ? at : open);
        const std::size_t close = text.find('}', star == std::string::npos ? at : star);
        if (open == std::string::npos || star == std::string::npos || close == std::string::npos) {
            expanded += text.substr(at);
            break;
        }
        expanded += text.substr(at, open - at);
        const std::string piece = text.substr(open + 1, star - open - 1);
        for (int n = std::stoi(text.substr(star + 1, close - star - 1)); n > 0; --n) {
            expanded += piece;
        }
        at = close + 1;
    }
    return decoded(expanded);
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

}  // namespace

std::vector<Scenario> read_scenarios(const std::string& path, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "cannot read " + path;
        return {};
    }
    std::vector<Scenario> scenarios;
    std::vector<std::u16string> table;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream words(line);
        std::string first;
        words >> first;
        if (first == "table") {
            table.clear();
            for (std::string word; words >> word;) {
                table.push_back(unescaped(word));
            }
            continue;
        }
        if (first == "scenario") {
            Scenario scenario;
            words >> scenario.name;
            scenario.table = table;
            scenarios.push_back(std::move(scenario));
            continue;
        }
        const std::size_t arrow = line.find("=>");
        if (scenarios.empty() || arrow == std::string::npos) {
            error = path + ":" + std::to_string(number) + ": a step needs a scenario and =>";
            return {};
        }
        ScenarioStep step;
        step.line = number;
        step.action = first;
        step.argument = unescaped(trimmed(line.substr(first.size(), arrow - first.size())));
        const std::string expected = trimmed(line.substr(arrow + 2));
        if (expected != "-") {
            step.expected = unescaped(expected);
        }
        scenarios.back().steps.push_back(std::move(step));
    }
    return scenarios;
}

std::vector<Scenario> all_scenarios() {
    std::string error;
    auto scenarios = read_scenarios(MARDOVANE_SCENARIOS, error);
    if (!error.empty()) {
        throw std::runtime_error(error);
    }
    return scenarios;
}

ScenarioJobs::ScenarioJobs(const Scenario& scenario) : table_(scenario.table) {}

JobRunner ScenarioJobs::runner() const {
    return [gate = gate_, fail_store = fail_store_, table = table_](Job job) -> SplitOutcome {
        gate->pass();
        if (fail_store->exchange(false)) {
            return std::shared_ptr<PreparedText>(std::make_shared<Unshowable>());
        }
        return run_job(std::move(job), [&table] {
            return std::variant<KeywordTable, FileError>(KeywordTable(table));
        });
    };
}

std::string keyword_file_of(const Scenario& scenario) {
    std::string file = "\xEF\xBB\xBF";
    for (const auto& line : scenario.table) {
        file += utf8(line) + "\r\n";
    }
    return file;
}

std::pair<std::size_t, std::size_t> selection_of(const ScenarioStep& step) {
    std::istringstream numbers(utf8(step.argument));
    std::size_t from = 0;
    std::size_t to = 0;
    numbers >> from >> to;
    return {from, to};
}

std::string utf8(const std::u16string& text) {
    auto bytes = encode_utf8(text);
    return std::holds_alternative<std::string>(bytes) ? std::get<std::string>(bytes) : "?";
}

}  // namespace mardovane::testing
