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

using SplitFailure = std::variant<KeywordFileError, ResultTooLarge>;

// The split button: loads keyword.info from the program directory afresh, splits the
// holder's whole content once and stores the result back, once, only if it changed. On a
// failure the holder is not touched.
std::optional<SplitFailure> run_split_command(TextHolder& holder,
                                              const std::filesystem::path& program_directory);

}  // namespace mardovane
