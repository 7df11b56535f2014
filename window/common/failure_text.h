#pragma once

#include <string>

#include "window/common/split_command.h"

namespace mardovane::texts {

// The command that failed: a click on the split button, or a long paste, which runs off the
// window's thread as a split does and can fail the same ways but for the table's.
enum class Activity { Split, Paste };

// What the message box says, in Chinese: what went wrong, the file (and the line), and that
// the text was left as it was.
[[nodiscard]] std::string failure_text(const SplitFailure& failure,
                                       Activity activity = Activity::Split);

}  // namespace mardovane::texts
