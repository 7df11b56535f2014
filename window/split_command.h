#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "substitution/keyword_file.h"
#include "substitution/split.h"

namespace mardovane {

// Whatever holds the text being split: the window's text box, or a plain string.
class TextHolder {
  public:
    virtual ~TextHolder() = default;
    virtual std::u16string content() const = 0;
    virtual void replace_content(std::u16string text) = 0;
};

// The memory ran out while loading the table or splitting: the text is kept as it was.
struct OutOfMemory {};

using SplitFailure = std::variant<KeywordFileError, ResultTooLarge, OutOfMemory>;
using SplitOutcome = std::variant<std::u16string, SplitFailure>;

// One click's work without the text box: loads keyword.info from the program directory
// afresh and splits `text` once. Never throws for a lack of memory; it reports it.
[[nodiscard]] SplitOutcome split_with_keyword_file(std::u16string text,
                                                   const std::filesystem::path& program_directory);

// Stores a split's result as the holder's whole content, once, only if it changed, and
// gives back the failure, if it was one, with the holder untouched.
std::optional<SplitFailure> store_split_outcome(TextHolder& holder, SplitOutcome outcome);

// The split button: splits the holder's whole content and stores the result back, once,
// only if it changed. On a failure the holder is not touched.
[[nodiscard]] std::optional<SplitFailure> run_split_command(
    TextHolder& holder, const std::filesystem::path& program_directory);

}  // namespace mardovane
