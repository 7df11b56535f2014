#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "window/common/text_job.h"

namespace mardovane {

// The order of jobs when clicks come faster than jobs end: every click is one job, run one
// after another on the text the one before left, as if the window had waited. A failure
// drops the clicks still waiting, as its message box would have swallowed them.
class JobQueue {
  public:
    // A click: true when its job is to start now.
    [[nodiscard]] bool click(JobKind kind);
    // The running job has ended: the next waiting one, which starts now, if any.
    [[nodiscard]] std::optional<JobKind> finish(bool failed);
    bool running() const { return running_; }
    std::size_t waiting() const { return waiting_.size(); }

  private:
    bool running_ = false;
    std::deque<JobKind> waiting_;
};

// A job under way off the window's thread, wherever it runs.
class RunningSplit {
  public:
    virtual ~RunningSplit() = default;
    // After this returns, its outcome is not being delivered and never will be.
    virtual void abandon() = 0;
};

// Hands a job's outcome to the window. It may run on the job's thread, while the window is
// alive.
using Deliver = std::function<void(SplitOutcome)>;

// How a front end runs a job off its window's thread: a thread of its own on the desktop,
// a worker in the browser (which does the job there). `prepare`, where the front end has
// one, makes a new text ready on the job's thread.
using JobStarter =
    std::function<std::shared_ptr<RunningSplit>(Job job, TextPreparer prepare, Deliver deliver)>;

// One job on a thread of its own, so that the window goes on painting and answering. The
// window may close while it runs: the thread is not waited for, and `deliver` is then never
// called.
class BackgroundSplit final : public RunningSplit {
  public:
    // `deliver` runs on the job's thread (under a lock that abandon() takes, so the window
    // is alive). A thread that cannot start, or the memory to hand the job over, is
    // delivered as a failure before this returns.
    static std::shared_ptr<BackgroundSplit> start(std::function<SplitOutcome()> work,
                                                  Deliver deliver);

    void abandon() override;

    // Whether the thread of some job is still running, or still letting go of what it
    // held, abandoned or not. The program then ends without tearing down what that thread
    // may still use.
    static bool any_running();

  private:
    std::mutex mutex_;
    Deliver deliver_;
};

// The desktop's way: each job on a thread of its own, done by `runner`.
[[nodiscard]] JobStarter background_starter(JobRunner runner);

// The window program's end: where a job abandoned by the closed window still runs, ends at
// once without tearing down what its thread may still use; else gives `status` back.
int finish_program(int status);

}  // namespace mardovane
