#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "window/common/split_command.h"

namespace mardovane {

// The order of splits when clicks come faster than splits end: every click is one split,
// run one after another on the text the one before left, as if the window had waited.
// A failure drops the clicks still waiting, as its message box would have swallowed them.
class SplitSequence {
  public:
    // A click on the split button: true when its split is to start now.
    [[nodiscard]] bool click();
    // The running split has ended: true when the next waiting one is to start now.
    [[nodiscard]] bool finish(bool failed);
    bool running() const { return running_; }
    std::size_t waiting() const { return waiting_; }

  private:
    bool running_ = false;
    std::size_t waiting_ = 0;
};

// A split under way off the window's thread, wherever it runs.
class RunningSplit {
  public:
    virtual ~RunningSplit() = default;
    // After this returns, its outcome is not being delivered and never will be.
    virtual void abandon() = 0;
};

// Hands a split's outcome to the window's own thread. It may run on the split's thread,
// while the window is alive.
using Deliver = std::function<void(SplitOutcome)>;

// How a front end runs one split off its window's thread: a thread of its own on the
// desktop, a worker in the browser (which runs the same split of its own).
using SplitStarter = std::function<std::shared_ptr<RunningSplit>(
    std::u16string text, std::filesystem::path program_directory, SplitFunction splitter,
    Deliver deliver)>;

// One split on a thread of its own, so that the window goes on painting and answering.
// The window may close while it runs: the thread is not waited for, and `deliver` is then
// never called.
class BackgroundSplit final : public RunningSplit {
  public:
    // `deliver` runs on the split's thread (under a lock that abandon() takes, so the
    // window is alive).
    static std::shared_ptr<BackgroundSplit> start(std::u16string text,
                                                  std::filesystem::path program_directory,
                                                  SplitFunction splitter, Deliver deliver);

    void abandon() override;

    // Whether the thread of some split is still running, abandoned or not. The program
    // then ends without tearing down what that thread may still use.
    static bool any_running();

  private:
    std::mutex mutex_;
    Deliver deliver_;
};

}  // namespace mardovane
