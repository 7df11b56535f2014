#include "cli/block_channel.h"

#include <utility>

namespace mardovane::cli {

bool BlockChannel::put(std::string piece) {
    std::unique_lock lock(mutex_);
    ++waiting_for_room_;
    room_.wait(lock, [this] { return abandoned_ || held_ < held_limit_; });
    --waiting_for_room_;
    if (abandoned_) {
        return false;
    }
    held_ += piece.size();
    pieces_.push_back(std::move(piece));
    ready_.notify_one();
    return true;
}

void BlockChannel::finish(BlockOutcome outcome) {
    const std::lock_guard lock(mutex_);
    outcome_ = std::move(outcome);
    finished_ = true;
    ready_.notify_one();
}

std::optional<std::string> BlockChannel::take() {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [this] { return finished_ || !pieces_.empty(); });
    if (pieces_.empty()) {
        return std::nullopt;
    }
    std::string piece = std::move(pieces_.front());
    pieces_.pop_front();
    held_ -= piece.size();
    room_.notify_one();
    return piece;
}

bool BlockChannel::worker_waits_for_room() const {
    const std::lock_guard lock(mutex_);
    return waiting_for_room_ > 0 && held_ >= held_limit_ && !abandoned_;
}

void BlockChannel::abandon() {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
    pieces_.clear();
    held_ = 0;
    room_.notify_all();
}

}  // namespace mardovane::cli
