#include "window/split_command.h"

#include <new>
#include <stdexcept>
#include <utility>

namespace mardovane {

SplitOutcome split_with_keyword_file(std::u16string text,
                                     const std::filesystem::path& program_directory) {
    try {
        auto loaded = load_keyword_table(program_directory);
        if (auto* error = std::get_if<KeywordFileError>(&loaded)) {
            return SplitFailure(std::move(*error));
        }
        const SplitPlan plan(std::move(std::get<KeywordTable>(loaded)));
        auto result = plan.apply(std::move(text));
        if (auto* too_large = std::get_if<ResultTooLarge>(&result)) {
            return SplitFailure(*too_large);
        }
        return std::move(std::get<std::u16string>(result));
    } catch (const std::bad_alloc&) {
        return SplitFailure(OutOfMemory{});
    } catch (const std::length_error&) {  // a string asked to grow past what it can hold
        return SplitFailure(OutOfMemory{});
    }
}

std::optional<SplitFailure> store_split_outcome(TextHolder& holder, SplitOutcome outcome) {
    if (auto* failure = std::get_if<SplitFailure>(&outcome)) {
        return std::move(*failure);
    }
    auto& text = std::get<std::u16string>(outcome);
    try {
        if (text != holder.content()) {
            holder.replace_content(std::move(text));
        }
    } catch (const std::bad_alloc&) {
        return SplitFailure(OutOfMemory{});
    } catch (const std::length_error&) {
        return SplitFailure(OutOfMemory{});
    }
    return std::nullopt;
}

}  // namespace mardovane
