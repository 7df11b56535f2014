#pragma once

#include <filesystem>
#include <functional>
#include <memory>
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

// The memory ran out while loading the table, splitting or storing the result: the text is
// kept as it was.
struct OutOfMemory {};

// No thread could be had for the split.
struct ThreadUnavailable {};

// Anything else that went wrong, in the words of whatever failed.
struct UnexpectedError {
    std::string what;
};

using SplitFailure =
    std::variant<FileError, ResultTooLarge, OutOfMemory, ThreadUnavailable, UnexpectedError>;
// No pair of the table found anything: the text stays as it is, not even copied.
struct TextUnchanged {};

// A split's result made ready, on the split's thread, for the window that stores it: a text
// box whose filling costs time for every line does that work there. Storing it, on the
// window's thread, then costs little.
class PreparedText {
  public:
    virtual ~PreparedText() = default;
    // On the window's thread, while the window lives: becomes the text box's whole content.
    virtual void store() = 0;
};

// Makes a PreparedText of a split's result. Runs on the split's thread, perhaps after the
// window has gone, so it touches nothing of the window's.
using TextPreparer = std::function<std::shared_ptr<PreparedText>(std::u16string)>;

using SplitOutcome =
    std::variant<std::u16string, TextUnchanged, SplitFailure, std::shared_ptr<PreparedText>>;

// What the exception being handled means for a split: called in a catch block. A lack
// of memory (bad_alloc, or a string asked to grow past what it can hold) is OutOfMemory;
// anything else is an UnexpectedError in its own words.
[[nodiscard]] SplitFailure failure_of_current_exception();

// One click's work without the text box: loads keyword.info from the program directory
// afresh and splits `text` once. Never throws for a lack of memory; it reports it.
[[nodiscard]] SplitOutcome split_with_keyword_file(std::u16string text,
                                                   const std::filesystem::path& program_directory);

using SplitFunction = std::function<SplitOutcome(std::u16string, const std::filesystem::path&)>;

// The split of `splitter` followed by `prepare` on its result, on the same thread. A failure
// of the preparation (the memory, most often) is the split's failure.
[[nodiscard]] SplitFunction prepared_by(SplitFunction splitter, TextPreparer prepare);

// One click's work on a table already read (or the failure of reading it): splits `text`
// once. Never throws for a lack of memory; it reports it.
[[nodiscard]] SplitOutcome split_with_table(std::u16string text,
                                            std::variant<KeywordTable, FileError> loaded);

// Stores a split's result as the holder's whole content, once, unless the split changed
// nothing, and gives back the failure, if it was one, with the holder untouched. A holder that runs
// out of memory while it is written must leave its text as it was: that is a failure too.
std::optional<SplitFailure> store_split_outcome(TextHolder& holder, SplitOutcome outcome);

}  // namespace mardovane
