#include "substitution/split_command.h"

namespace mardovane {

std::optional<SplitFailure> run_split_command(TextHolder& holder,
                                              const std::filesystem::path& program_directory) {
    auto loaded = load_keyword_table(program_directory);
    if (auto* error = std::get_if<KeywordFileError>(&loaded)) {
        return *error;
    }
    const std::u16string text = holder.content();
    auto result = split(text, std::get<KeywordTable>(loaded));
    if (auto* error = std::get_if<ResultTooLarge>(&result)) {
        return *error;
    }
    auto& split_text = std::get<std::u16string>(result);
    if (split_text != text) {
        holder.replace_content(std::move(split_text));
    }
    return std::nullopt;
}

}  // namespace mardovane
