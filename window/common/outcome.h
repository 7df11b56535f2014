#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <variant>

#include "substitution/file_error.h"
#include "substitution/split.h"

namespace mardovane {

// Where the selection of the text box stands, in UTF-16 code units of its text as the view
// gives it; from == to is the caret alone.
struct Selection {
    std::size_t from = 0;
    std::size_t to = 0;
    bool empty() const { return from == to; }
    friend bool operator==(const Selection&, const Selection&) = default;
};

// A whole new text for the text box, and where its selection goes; for a split, how many
// characters it split.
struct NewText {
    std::u16string text;
    Selection selection;
    std::size_t replacements = 0;
};

// The memory ran out while loading the table, splitting, or reading or storing the text:
// the text is kept as it was.
struct OutOfMemory {};

// No thread could be had for the work.
struct ThreadUnavailable {};

// Anything else that went wrong, in the words of whatever failed.
struct UnexpectedError {
    std::string what;
};

using SplitFailure =
    std::variant<FileError, ResultTooLarge, OutOfMemory, ThreadUnavailable, UnexpectedError>;

// No pair of the table found anything: the text stays as it is, not even copied.
struct TextUnchanged {};

class KeptText;

// A new text made ready, off the window's thread, for the text box that shows it: a text
// box whose filling costs time for every line does that work there. Showing it, on the
// window's thread, then costs little.
class PreparedText {
  public:
    virtual ~PreparedText() = default;
    // On the window's thread, while the window lives: becomes the text box's whole content,
    // with its selection. Gives back the document it replaced, for the history; throws
    // (std::bad_alloc) and leaves the box as it was when it cannot.
    virtual std::unique_ptr<KeptText> show() = 0;
    // How many characters the split made it of split.
    virtual std::size_t replacements() const { return 0; }
};

// What a job made: a new text, no change, a failure, or a new text made ready.
using SplitOutcome =
    std::variant<NewText, TextUnchanged, SplitFailure, std::shared_ptr<PreparedText>>;

// What the exception being handled means for a job: called in a catch block. A lack of
// memory (bad_alloc, or a string asked to grow past what it can hold) is OutOfMemory;
// anything else is an UnexpectedError in its own words.
[[nodiscard]] SplitFailure failure_of_current_exception();

}  // namespace mardovane
