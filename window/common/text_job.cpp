#include "window/common/text_job.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

namespace mardovane {

SplitFailure failure_of_current_exception() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return OutOfMemory{};
    } catch (const std::length_error&) {  // a string asked to grow past what it can hold
        return OutOfMemory{};
    } catch (const std::exception& error) {
        return UnexpectedError{error.what()};
    } catch (...) {
        return UnexpectedError{"unknown error"};
    }
}

TableLoader keyword_file_loader(std::filesystem::path program_directory) {
    return [folder = std::move(program_directory)] { return load_keyword_table(folder); };
}

namespace {

SplitOutcome split(Job job, const PlanLoader& plans) {
    auto loaded = plans();
    if (auto* error = std::get_if<FileError>(&loaded)) {
        return SplitFailure(std::move(*error));
    }
    const SplitPlan& plan = *std::get<std::shared_ptr<const SplitPlan>>(loaded);
    std::size_t replacements = 0;
    if (job.kind == JobKind::Split) {
        auto result = plan.apply(std::move(job.text), kMaxResultLength, nullptr, &replacements);
        if (auto* too_large = std::get_if<ResultTooLarge>(&result)) {
            return SplitFailure(*too_large);
        }
        if (replacements == 0) {
            return TextUnchanged{};
        }
        // The caret after the text, where typing goes on.
        auto& text = std::get<std::u16string>(result);
        const Selection end{text.size(), text.size()};
        return NewText{std::move(text), end, replacements};
    }
    // Only the selection, with the same table; the rest stays as it was.
    const std::size_t from = std::min(job.selection.from, job.text.size());
    const std::size_t to = std::clamp(job.selection.to, from, job.text.size());
    const std::size_t kept = job.text.size() - (to - from);
    auto result = plan.apply(job.text.substr(from, to - from), kMaxResultLength - kept, nullptr,
                             &replacements);
    if (std::holds_alternative<ResultTooLarge>(result)) {
        return SplitFailure(ResultTooLarge{kMaxResultLength});  // the whole text would be
    }
    if (replacements == 0) {
        return TextUnchanged{};
    }
    const auto& piece = std::get<std::u16string>(result);
    job.text.replace(from, to - from, piece);
    return NewText{std::move(job.text), {from, from + piece.size()}, replacements};
}

}  // namespace

SplitOutcome run_job(Job job, const TableLoader& table) {
    return run_job_with_plans(
        std::move(job), [&table]() -> std::variant<std::shared_ptr<const SplitPlan>, FileError> {
            auto loaded = table();
            if (auto* error = std::get_if<FileError>(&loaded)) {
                return std::move(*error);
            }
            return std::make_shared<const SplitPlan>(std::move(std::get<KeywordTable>(loaded)));
        });
}

SplitOutcome run_job_with_plans(Job job, const PlanLoader& plans) {
    try {
        if (job.kind != JobKind::Paste) {
            return split(std::move(job), plans);
        }
        const std::size_t from = std::min(job.selection.from, job.text.size());
        const std::size_t to = std::clamp(job.selection.to, from, job.text.size());
        const std::size_t kept = job.text.size() - (to - from);
        if (job.pasted.size() > kMaxResultLength || kept > kMaxResultLength - job.pasted.size()) {
            return SplitFailure(ResultTooLarge{kMaxResultLength});
        }
        job.text.replace(from, to - from, job.pasted);
        const std::size_t caret = from + job.pasted.size();
        return NewText{std::move(job.text), {caret, caret}, 0};
    } catch (...) {
        return failure_of_current_exception();
    }
}

SplitOutcome run_prepared(const JobRunner& runner, Job job, const TextPreparer& prepare) {
    try {
        SplitOutcome outcome = runner(std::move(job));
        auto* text = std::get_if<NewText>(&outcome);
        if (text == nullptr || !prepare) {
            return outcome;
        }
        return prepare(std::move(*text));
    } catch (...) {
        return failure_of_current_exception();
    }
}

}  // namespace mardovane
