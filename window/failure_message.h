#pragma once

#include <QString>

#include "substitution/split_command.h"

namespace mardovane {

// What the split's message box says, in Chinese: what went wrong, the file (and line),
// and that the text was left as it was.
QString failure_message(const SplitFailure& failure);

}  // namespace mardovane
