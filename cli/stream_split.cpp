#include "cli/stream_split.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <future>
#include <istream>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

#include "cli/block_split.h"
#include "cli/exit_status.h"

namespace mardovane::cli {
namespace {

// Where the block may be cut: just after its last line break, but never between a CR and
// the LF that may follow it unseen. Looks no further back than `from`.
std::size_t cut_point(const std::string& block, std::size_t from) {
    for (std::size_t i = block.size(); i > from; --i) {
        const char c = block[i - 1];
        if (c == '\n' || (c == '\r' && i < block.size())) {
            return i;
        }
    }
    return std::string::npos;
}

// A few threads that live as long as the stream, so that each one's memory is reused from
// block to block rather than mapped afresh for every block.
class BlockWorkers {
  public:
    BlockWorkers(unsigned count, const SplitPlan& plan, std::uint64_t times)
        : plan_(plan), times_(times) {
        for (unsigned i = 0; i < count; ++i) {
            threads_.emplace_back([this] { work(); });
        }
    }
    ~BlockWorkers() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
            queue_.clear();  // blocks nobody will land any more
        }
        ready_.notify_all();
        for (auto& thread : threads_) {
            thread.join();
        }
    }
    BlockWorkers(const BlockWorkers&) = delete;
    BlockWorkers& operator=(const BlockWorkers&) = delete;

    std::future<BlockResult> submit(std::string bytes) {
        std::packaged_task<BlockResult()> task(
            [this, bytes = std::move(bytes)] { return split_block(plan_, bytes, times_); });
        auto result = task.get_future();
        {
            const std::lock_guard lock(mutex_);
            queue_.push_back(std::move(task));
        }
        ready_.notify_one();
        return result;
    }

  private:
    void work() {
        for (;;) {
            std::packaged_task<BlockResult()> task;
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

    const SplitPlan& plan_;
    std::uint64_t times_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::packaged_task<BlockResult()>> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

struct Flight {
    std::size_t byte_offset;  // of the block in the whole input
    std::future<BlockResult> result;
};

std::string describe(const BlockFailure& failure, const std::string& input_name,
                     std::size_t first_line, std::size_t block_offset) {
    const std::string where = input_name + ":" + std::to_string(first_line + failure.line - 1);
    switch (failure.kind) {
        case BlockFailure::Kind::InvalidUtf8:
            return where +
                   (failure.reason == DecodeError::Reason::Truncated
                        ? ": UTF-8 byte sequence cut off by the end at byte offset "
                        : ": invalid UTF-8 byte sequence at byte offset ") +
                   std::to_string(block_offset + failure.byte_offset);
        case BlockFailure::Kind::ResultTooLarge:
            return where + ": the split of this line would exceed " +
                   std::to_string(failure.limit) + " UTF-16 code units";
        case BlockFailure::Kind::OutOfMemory:
            break;
    }
    return input_name + ": out of memory while splitting";
}

int status_of(BlockFailure::Kind kind) {
    switch (kind) {
        case BlockFailure::Kind::InvalidUtf8:
            return kInputFailed;
        case BlockFailure::Kind::ResultTooLarge:
            return kResultTooLarge;
        case BlockFailure::Kind::OutOfMemory:
            break;
    }
    return kOutOfMemory;
}

}  // namespace

bool BlockReader::next(std::string& block) {
    block = std::move(carry_);
    carry_.clear();
    while (!end_) {
        const std::size_t old = block.size();
        block.resize(old + block_bytes_);
        in_.read(block.data() + old, static_cast<std::streamsize>(block_bytes_));
        const auto got = static_cast<std::size_t>(in_.gcount());
        block.resize(old + got);
        if (got < block_bytes_) {
            end_ = true;
            failed_ = in_.bad();
            break;
        }
        if (const std::size_t cut = cut_point(block, old == 0 ? 0 : old - 1);
            cut != std::string::npos) {
            carry_.assign(block, cut);
            block.resize(cut);
            return true;
        }
    }
    return !block.empty() && !failed_;
}

std::optional<StreamFailure> split_stream(std::istream& in, const std::string& input_name,
                                          std::ostream& out, const SplitPlan& plan,
                                          std::uint64_t times, unsigned jobs,
                                          std::size_t block_bytes) {
    BlockReader reader(in, block_bytes);
    BlockWorkers workers(std::max(1u, jobs), plan, times);
    std::deque<Flight> in_flight;
    std::size_t next_line = 1;  // the first line of the oldest block still in flight

    // Writes the oldest block, or says why it cannot be.
    const auto land = [&]() -> std::optional<StreamFailure> {
        Flight flight = std::move(in_flight.front());
        in_flight.pop_front();
        const BlockResult result = flight.result.get();
        if (result.failure) {
            return StreamFailure{
                status_of(result.failure->kind),
                describe(*result.failure, input_name, next_line, flight.byte_offset)};
        }
        out.write(result.output.data(), static_cast<std::streamsize>(result.output.size()));
        if (!out) {
            return StreamFailure{kOutputFailed,
                                 std::string("cannot write the output: ") + std::strerror(errno)};
        }
        next_line += result.line_breaks;
        return std::nullopt;
    };

    std::size_t offset = 0;
    std::string block;
    while (reader.next(block)) {
        const std::size_t size = block.size();
        in_flight.push_back({offset, workers.submit(std::move(block))});
        offset += size;
        block.clear();
        // While `jobs` blocks are split, this thread reads the next one.
        if (in_flight.size() > jobs) {
            if (auto failure = land()) {
                return failure;
            }
        }
    }
    while (!in_flight.empty()) {
        if (auto failure = land()) {
            return failure;
        }
    }
    if (reader.failed()) {
        return StreamFailure{kInputFailed, input_name + ": the input cannot be read"};
    }
    return std::nullopt;
}

}  // namespace mardovane::cli
