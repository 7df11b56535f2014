#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace mardovane::cli {

// The most threads the splitter starts: past the cores of any machine it runs on, each
// one only costs memory.
inline constexpr unsigned kMaxJobs = 256;

// No thread could be had for the pool. The threads already started have been stopped.
class ThreadsUnavailable : public std::runtime_error {
  public:
    ThreadsUnavailable(unsigned asked, unsigned started, const std::string& reason);
    unsigned asked() const { return asked_; }
    unsigned started() const { return started_; }

  private:
    unsigned asked_;
    unsigned started_;
};

// A few threads that live as long as the stream, so that each one's memory is reused from
// block to block rather than mapped afresh for every block. Tasks start in the order they
// are submitted, which the splitter relies on: the oldest block is always being split.
class BlockWorkers {
  public:
    using Task = std::function<void()>;
    // Starts one thread that runs `work`; throws std::system_error when it cannot.
    using ThreadStarter = std::function<std::thread(std::function<void()> work)>;

    explicit BlockWorkers(unsigned count, const ThreadStarter& start_thread = start_std_thread);
    // Drops the tasks not yet started and waits for the running ones.
    ~BlockWorkers();
    BlockWorkers(const BlockWorkers&) = delete;
    BlockWorkers& operator=(const BlockWorkers&) = delete;

    void submit(Task task);

    static std::thread start_std_thread(std::function<void()> work);

  private:
    void work();
    void stop();

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Task> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace mardovane::cli
