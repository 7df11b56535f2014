#include "cli/block_workers.h"

#include <system_error>
#include <utility>

namespace mardovane::cli {

ThreadsUnavailable::ThreadsUnavailable(unsigned asked, unsigned started, const std::string& reason)
    : std::runtime_error("cannot start " + std::to_string(asked) + " threads (" + reason + "); " +
                         std::to_string(started) + " could be started: try a smaller --jobs"),
      asked_(asked),
      started_(started) {}

std::thread BlockWorkers::start_std_thread(std::function<void()> work) {
    return std::thread(std::move(work));
}

BlockWorkers::BlockWorkers(unsigned count, const ThreadStarter& start_thread) {
    threads_.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        try {
            threads_.push_back(start_thread([this] { work(); }));
        } catch (const std::system_error& error) {
            // The threads already started must be joined before they are destroyed, or the
            // program ends at once.
            const auto started = static_cast<unsigned>(threads_.size());
            stop();
            throw ThreadsUnavailable(count, started, error.code().message());
        }
    }
}

BlockWorkers::~BlockWorkers() {
    stop();
}

void BlockWorkers::stop() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();  // blocks nobody will land any more
    }
    ready_.notify_all();
    for (auto& thread : threads_) {
        if (thread.joinable()) {
            thread.join();
        }
    }
}

void BlockWorkers::submit(Task task) {
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(std::move(task));
    }
    ready_.notify_one();
}

void BlockWorkers::work() {
    for (;;) {
        Task task;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) {
                return;
            }
            task = std::move(queue_.front());
            queue_.pop_front();
        }
        task();
    }
}

}  // namespace mardovane::cli
