#pragma once

#include <string>

#include "window/common/split_command.h"

namespace mardovane::texts {

// What the split's message box says, in Chinese: what went wrong, the file (and the line),
// and that the text was left as it was.
[[nodiscard]] std::string failure_text(const SplitFailure& failure);

}  // namespace mardovane::texts
