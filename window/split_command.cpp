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
        // The plan holds what it needs of the table, which can go before the split starts.
        const SplitPlan plan = [&] {
            const KeywordTable table = std::move(std::get<KeywordTable>(loaded));
            return SplitPlan(table);
        }();
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

std::optional<SplitFailure> run_split_command(TextHolder& holder,
                                              const std::filesystem::path& program_directory) {
    std::u16string text = holder.content();
    auto outcome = split_with_keyword_file(text, program_directory);
    if (auto* failure = std::get_if<SplitFailure>(&outcome)) {
        return std::move(*failure);
    }
    auto& split_text = std::get<std::u16string>(outcome);
    if (split_text != text) {
        holder.replace_content(std::move(split_text));
    }
    return std::nullopt;
}

}  // namespace mardovane
