#include "window/background_split.h"

#include <system_error>
#include <thread>
#include <utility>

namespace mardovane {

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

std::shared_ptr<BackgroundSplit> BackgroundSplit::start(std::u16string text,
                                                        std::filesystem::path program_directory,
                                                        Splitter splitter, Deliver deliver) {
    auto split = std::make_shared<BackgroundSplit>();
    split->deliver_ = std::move(deliver);
    auto run = [split, text = std::move(text), folder = std::move(program_directory),
                splitter = std::move(splitter)]() mutable {
        SplitOutcome outcome = splitter(std::move(text), folder);
        const std::lock_guard lock(split->mutex_);
        if (split->deliver_) {
            split->deliver_(std::move(outcome));
        }
    };
    try {
        // Detached: closing the window ends the program without waiting for a long split.
        std::thread(std::move(run)).detach();
    } catch (const std::system_error&) {  // no thread to be had
        const std::lock_guard lock(split->mutex_);
        split->deliver_(SplitFailure(OutOfMemory{}));
    }
    return split;
}

void BackgroundSplit::abandon() {
    const std::lock_guard lock(mutex_);
    deliver_ = nullptr;
}

}  // namespace mardovane
