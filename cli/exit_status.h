#pragma once

namespace mardovane::cli {

// Exit statuses of mardovane-split.
enum ExitStatus : int {
    kDone = 0,
    kBadUsage = 1,
    kKeywordFileFailed = 2,
    kInputFailed = 3,
    kResultTooLarge = 4,
    kOutputFailed = 5,
    kOutOfMemory = 6,
    kThreadsUnavailable = 7,
    kInternalError = 8,  // a fault of the splitter itself, to be reported
};

}  // namespace mardovane::cli
