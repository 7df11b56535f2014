#include "window/common/background_split.h"

#include <atomic>
#include <optional>
#include <system_error>
#include <utility>

#include "window/common/detached_thread.h"

namespace mardovane {
namespace {

std::atomic<int> threads_running{0};

// Whatever the splitter throws becomes a failure to show: nothing may end the program
// from the split's thread.
SplitOutcome split_catching(const SplitFunction& splitter, std::u16string text,
                            const std::filesystem::path& folder) {
    try {
        return splitter(std::move(text), folder);
    } catch (...) {
        return failure_of_current_exception();
    }
}

}  // namespace

bool SplitSequence::click() {
    if (running_) {
        ++waiting_;
        return false;
    }
    running_ = true;
    return true;
}

bool SplitSequence::finish(bool failed) {
    if (failed) {
        waiting_ = 0;
    }
    if (waiting_ == 0) {
        running_ = false;
        return false;
    }
    --waiting_;
    return true;
}

bool BackgroundSplit::any_running() {
    return threads_running.load() > 0;
}

std::shared_ptr<BackgroundSplit> BackgroundSplit::start(std::u16string text,
                                                        std::filesystem::path program_directory,
                                                        SplitFunction splitter, Deliver deliver) {
    auto split = std::make_shared<BackgroundSplit>();
    split->deliver_ = std::move(deliver);
    auto run = [split, text = std::move(text), folder = std::move(program_directory),
                splitter = std::move(splitter)]() mutable {
        SplitOutcome outcome = split_catching(splitter, std::move(text), folder);
        {
            const std::lock_guard lock(split->mutex_);
            if (split->deliver_) {
                split->deliver_(std::move(outcome));
            }
        }
        --threads_running;
    };
    ++threads_running;
    std::optional<SplitFailure> not_started;
    try {
        // Detached: closing the window ends the program without waiting for a long split.
        start_detached_thread(std::move(run));
    } catch (const std::system_error&) {  // no thread to be had
        not_started = ThreadUnavailable{};
    } catch (...) {  // no memory to hand the split over
        not_started = failure_of_current_exception();
    }
    if (not_started) {
        --threads_running;
        const std::lock_guard lock(split->mutex_);
        split->deliver_(std::move(*not_started));
    }
    return split;
}

void BackgroundSplit::abandon() {
    const std::lock_guard lock(mutex_);
    deliver_ = nullptr;
}

}  // namespace mardovane
