#pragma once

#include <string>

#include "window/split_command.h"

namespace mardovane {

// What the split's message box says, in Chinese (UTF-8): what went wrong, the file (and
// the line), and that the text was left as it was. Shared by every front end.
std::string failure_text(const SplitFailure& failure);

}  // namespace mardovane
