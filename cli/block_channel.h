#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

#include "cli/block_split.h"

namespace mardovane::cli {

// Hands one block's result from the worker that splits it to the thread that writes it,
// piece by piece, in order. The worker waits while `held_limit` bytes are waiting to be
// written, so that a block that grows a thousandfold holds no more than that at a time.
class BlockChannel {
  public:
    explicit BlockChannel(std::size_t held_limit) : held_limit_(held_limit) {}

    // Worker: gives the next piece, waiting for room; false once the writer gave up.
    bool put(std::string piece);
    // Worker: the block is done.
    void finish(BlockOutcome outcome);

    // Writer: the next piece, waiting for it; none once the block is done and all taken.
    std::optional<std::string> take();
    // Writer: how the block ended; valid once take() has said there is nothing more.
    const BlockOutcome& outcome() const { return outcome_; }
    // Writer: wants nothing more of this block; a waiting worker is let go.
    void abandon();
    // Whether the worker is held in put() for want of room, as it should be while the
    // writer has not taken what it handed over.
    bool worker_waits_for_room() const;

  private:
    const std::size_t held_limit_;
    mutable std::mutex mutex_;
    std::condition_variable room_;
    std::condition_variable ready_;
    std::deque<std::string> pieces_;
    std::size_t held_ = 0;
    bool finished_ = false;
    bool abandoned_ = false;
    int waiting_for_room_ = 0;
    BlockOutcome outcome_;
};

}  // namespace mardovane::cli
