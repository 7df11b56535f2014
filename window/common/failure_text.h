#pragma once

#include <string>

#include "window/common/outcome.h"

namespace mardovane::texts {

// The command that failed: a split, a long paste (which runs off the window's thread as a
// split does, and can fail the same ways but for the table's), or a step of the history.
enum class Activity { Split, Paste, Undo, Redo, Clear };

// What the message box says, in Chinese: what went wrong, the file (and the line), and that
// the text was left as it was.
[[nodiscard]] std::string failure_text(const SplitFailure& failure,
                                       Activity activity = Activity::Split);

// What a job that ended well did, in a few words: how many characters a split split, or that
// nothing in the text is in the table; empty for a paste.
[[nodiscard]] std::string job_report(Activity activity, std::size_t replacements);

}  // namespace mardovane::texts
