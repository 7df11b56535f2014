#include "window/common/background_split.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <utility>

#include "window/common/detached_thread.h"

namespace mardovane {
namespace {

std::atomic<int> threads_running{0};

}  // namespace

bool JobQueue::click(JobKind kind) {
    if (running_) {
        waiting_.push_back(kind);
        return false;
    }
    running_ = true;
    return true;
}

std::optional<JobKind> JobQueue::finish(bool failed) {
    if (failed) {
        waiting_.clear();
    }
    if (waiting_.empty()) {
        running_ = false;
        return std::nullopt;
    }
    const JobKind next = waiting_.front();
    waiting_.pop_front();
    return next;
}

bool BackgroundSplit::any_running() {
    return threads_running.load() > 0;
}

std::shared_ptr<BackgroundSplit> BackgroundSplit::start(std::function<SplitOutcome()> work,
                                                        Deliver deliver) {
    auto split = std::make_shared<BackgroundSplit>();
    split->deliver_ = std::move(deliver);
    // What the thread holds (the work may hold a toolkit's objects) is let go before the
    // thread counts itself out, so that the program never ends under a live destructor.
    struct Held {
        std::shared_ptr<BackgroundSplit> split;
        std::function<SplitOutcome()> work;
    };
    auto held = std::make_shared<Held>(Held{split, std::move(work)});
    auto run = [held = std::move(held)]() mutable {
        {
            const auto owned = std::move(held);
            SplitOutcome outcome;
            try {
                outcome = owned->work();
            } catch (...) {  // nothing may end the program from the job's thread
                outcome = failure_of_current_exception();
            }
            const std::lock_guard lock(owned->split->mutex_);
            if (owned->split->deliver_) {
                owned->split->deliver_(std::move(outcome));
            }
        }
        --threads_running;
    };
    ++threads_running;
    std::optional<SplitFailure> not_started;
    try {
        // Detached: closing the window ends the program without waiting for a long job.
        start_detached_thread(std::move(run));
    } catch (const std::system_error&) {  // no thread to be had
        not_started = ThreadUnavailable{};
    } catch (...) {  // no memory to hand the job over
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

JobStarter background_starter(JobRunner runner) {
    return [runner = std::move(runner)](Job job, TextPreparer prepare, Deliver deliver) {
        return BackgroundSplit::start(
            [runner, job = std::move(job), prepare = std::move(prepare)]() mutable {
                return run_prepared(runner, std::move(job), prepare);
            },
            std::move(deliver));
    };
}

int finish_program(int status) {
    if (BackgroundSplit::any_running()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

}  // namespace mardovane
