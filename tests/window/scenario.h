#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/window/job_gate.h"
#include "window/common/text_job.h"

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

// Every scenario of scenarios.txt, for a test to run; throws std::runtime_error, with the
// file's message, when it cannot be read.
std::vector<Scenario> all_scenarios();

// The jobs of a scenario's window: each passes the gate, then splits with the scenario's
// table, or makes a text that cannot be shown when a failing store was asked for.
class ScenarioJobs {
  public:
    explicit ScenarioJobs(const Scenario& scenario);
    [[nodiscard]] JobRunner runner() const;
    JobGate& gate() { return *gate_; }
    void fail_next_store() { *fail_store_ = true; }

  private:
    std::shared_ptr<JobGate> gate_ = std::make_shared<JobGate>();
    std::shared_ptr<std::atomic<bool>> fail_store_ = std::make_shared<std::atomic<bool>>(false);
    std::vector<std::u16string> table_;
};

// The table's lines as a keyword file in UTF-8 with its byte-order mark.
std::string keyword_file_of(const Scenario& scenario);

// "FROM TO" of a select step.
std::pair<std::size_t, std::size_t> selection_of(const ScenarioStep& step);

// A text in UTF-8, for messages.
std::string utf8(const std::u16string& text);

}  // namespace mardovane::testing
