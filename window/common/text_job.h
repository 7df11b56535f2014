#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <variant>

#include "substitution/keyword_file.h"
#include "window/common/outcome.h"

namespace mardovane {

// What a command does to the text off the window's thread: a split of the whole text, a
// split of the selection, or a paste too long to make on the window's thread.
enum class JobKind { Split, SplitSelection, Paste };

struct Job {
    JobKind kind = JobKind::Split;
    std::u16string text;    // the text box's whole text as it stands
    Selection selection;    // SplitSelection: what is split; Paste: what the paste replaces
    std::u16string pasted;  // Paste: what goes in, its line breaks as the box writes them
};

// The table a split reads, afresh for every job that splits: the keyword file, or a
// failure to read it.
using TableLoader = std::function<std::variant<KeywordTable, FileError>()>;

// keyword.info in `program_directory`, read when a split asks for it.
[[nodiscard]] TableLoader keyword_file_loader(std::filesystem::path program_directory);

// Does a job: a split loads the table and applies it once to the whole text or to the
// selection only, which it keeps on its result; a paste replaces the selection and leaves
// the caret behind what it put in. Never throws: a lack of memory and anything else are
// failures.
[[nodiscard]] SplitOutcome run_job(Job job, const TableLoader& table);

// The plan a split applies, for a front end that keeps the plan of a table it reads again
// unchanged (the page's worker): made from the table read afresh, or the one made of the
// same bytes before.
using PlanLoader = std::function<std::variant<std::shared_ptr<const SplitPlan>, FileError>()>;
[[nodiscard]] SplitOutcome run_job_with_plans(Job job, const PlanLoader& plans);

// Does the job and, where a front end prepares a new text off its window's thread,
// `prepare` on the result, on the same thread. A failure of the preparation is the job's.
using TextPreparer = std::function<std::shared_ptr<PreparedText>(NewText)>;
using JobRunner = std::function<SplitOutcome(Job)>;
[[nodiscard]] SplitOutcome run_prepared(const JobRunner& runner, Job job,
                                        const TextPreparer& prepare);

}  // namespace mardovane
