#include "window/common/split_command.h"

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

SplitOutcome split_with_keyword_file(std::u16string text,
                                     const std::filesystem::path& program_directory) {
    try {
        return split_with_table(std::move(text), load_keyword_table(program_directory));
    } catch (...) {
        return failure_of_current_exception();
    }
}

SplitOutcome split_with_table(std::u16string text, std::variant<KeywordTable, FileError> loaded) {
    try {
        if (auto* error = std::get_if<FileError>(&loaded)) {
            return SplitFailure(std::move(*error));
        }
        const SplitPlan plan(std::move(std::get<KeywordTable>(loaded)));
        bool changed = false;
        auto result = plan.apply(std::move(text), kMaxResultLength, &changed);
        if (auto* too_large = std::get_if<ResultTooLarge>(&result)) {
            return SplitFailure(*too_large);
        }
        if (!changed) {
            return TextUnchanged{};
        }
        return std::move(std::get<std::u16string>(result));
    } catch (...) {
        return failure_of_current_exception();
    }
}

SplitFunction prepared_by(SplitFunction splitter, TextPreparer prepare) {
    return [splitter = std::move(splitter), prepare = std::move(prepare)](
               std::u16string text, const std::filesystem::path& folder) -> SplitOutcome {
        SplitOutcome outcome = splitter(std::move(text), folder);
        auto* result = std::get_if<std::u16string>(&outcome);
        if (result == nullptr) {
            return outcome;
        }
        try {
            return prepare(std::move(*result));
        } catch (...) {
            return failure_of_current_exception();
        }
    };
}

std::optional<SplitFailure> store_split_outcome(TextHolder& holder, SplitOutcome outcome) {
    if (auto* failure = std::get_if<SplitFailure>(&outcome)) {
        return std::move(*failure);
    }
    auto* text = std::get_if<std::u16string>(&outcome);
    auto* prepared = std::get_if<std::shared_ptr<PreparedText>>(&outcome);
    if (text == nullptr && prepared == nullptr) {
        return std::nullopt;  // nothing changed: nothing to store
    }
    try {
        if (prepared != nullptr) {
            (*prepared)->store();
        } else {
            holder.replace_content(std::move(*text));
        }
    } catch (...) {  // the holder has kept its text
        return failure_of_current_exception();
    }
    return std::nullopt;
}

}  // namespace mardovane
