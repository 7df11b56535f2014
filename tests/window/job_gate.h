#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>

#include "window/common/outcome.h"

// What the tests of the window's behaviour put in place of a long split and of a text box
// out of memory.
namespace mardovane::testing {

// Holds jobs back while closed, as a long split does; never longer than 30 s.
class JobGate {
  public:
    // Closed, the next job that passes waits; wait_entered() then waits for that one.
    void close() {
        const std::lock_guard lock(mutex_);
        open_ = false;
        entered_ = false;
    }
    void open() {
        {
            const std::lock_guard lock(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }
    // Called by a job: waits while the gate is closed.
    void pass() {
        std::unique_lock lock(mutex_);
        entered_ = true;
        changed_.notify_all();
        changed_.wait_for(lock, std::chrono::seconds(30), [this] { return open_; });
    }
    // Whether a job reached the gate since it closed, within 30 s.
    bool wait_entered() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(30), [this] { return entered_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = true;
    bool entered_ = false;
};

// A new text that cannot be shown, as a box out of memory refuses it.
struct Unshowable final : PreparedText {
    std::unique_ptr<KeptText> show() override { throw std::bad_alloc(); }
};

}  // namespace mardovane::testing
