#include "cli/stream_split.h"

#include <algorithm>
#include <deque>
#include <istream>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "cli/block_channel.h"
#include "cli/block_workers.h"
#include "cli/exit_status.h"
#include "cli/system_io.h"

namespace mardovane::cli {
namespace {

// How long the input must have nothing ready before the lines read so far go out.
constexpr int kPauseMilliseconds = 20;

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
            return where + ": splitting this line makes a text of more than " +
                   std::to_string(failure.limit) +
                   " UTF-16 code units after some pair of the table";
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

struct Flight {
    std::size_t byte_offset;  // of the block in the whole input
    std::shared_ptr<BlockChannel> channel;
};

// The blocks being split, oldest first. Dropped, it lets every worker still waiting to
// hand over a piece go, so that the workers can be joined.
class Flights {
  public:
    ~Flights() {
        for (auto& flight : flights_) {
            flight.channel->abandon();
        }
    }
    std::deque<Flight>& operator*() { return flights_; }
    std::deque<Flight>* operator->() { return &flights_; }

  private:
    std::deque<Flight> flights_;
};

// Writes the pieces in order, holding back the start of the output until it passes
// `held_bytes` or the input ends. Held pieces are kept as they came, not joined: joining
// would copy the start of every output once more.
class OrderedWriter {
  public:
    OrderedWriter(std::ostream& out, std::size_t held_bytes) : out_(out), held_bytes_(held_bytes) {}

    bool write(std::string&& piece) {
        if (!holding_) {
            return write_out(piece);
        }
        held_size_ += piece.size();
        held_.push_back(std::move(piece));
        if (held_size_ < held_bytes_) {
            return true;
        }
        return finish();
    }
    // Writes what is held, and everything after it at once.
    bool finish() {
        holding_ = false;
        for (const std::string& piece : held_) {
            if (!write_out(piece)) {
                return false;
            }
        }
        held_.clear();
        return true;
    }
    // Writes what is held and passes it on now: the input has paused.
    bool flush() { return finish() && static_cast<bool>(out_.flush()); }

  private:
    bool write_out(const std::string& bytes) {
        out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(out_);
    }

    std::ostream& out_;
    const std::size_t held_bytes_;
    std::vector<std::string> held_;
    std::size_t held_size_ = 0;
    bool holding_ = true;
};

void split_into(const SplitPlan& plan, const DirectUtf8Split* direct, const std::string& bytes,
                const StreamSettings& settings, BlockChannel& channel) {
    BlockOutcome outcome;
    try {
        outcome = split_block(
            plan, bytes, settings.times,
            [&channel](std::string&& piece) { return channel.put(std::move(piece)); },
            settings.max_length, settings.piece_units, direct);
    } catch (...) {  // nothing may end the program from a worker
        outcome.failure = BlockFailure{BlockFailure::Kind::OutOfMemory};
    }
    channel.finish(std::move(outcome));
}

}  // namespace

BlockReader::BlockReader(std::istream& in, std::size_t block_bytes)
    : in_(in), block_bytes_(block_bytes) {
    if (const auto* buffer = dynamic_cast<const FdInputBuffer*>(in.rdbuf());
        buffer != nullptr && may_wait_for_input(buffer->fd())) {
        waiting_fd_ = buffer->fd();
    }
}

bool BlockReader::next(std::string& block) {
    block = std::move(carry_);
    carry_.clear();
    paused_ = false;
    return waiting_fd_ >= 0 ? next_prompt(block) : next_whole(block);
}

bool BlockReader::next_whole(std::string& block) {
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

// What has arrived, as it arrives: a block ends at its size, or at the last complete line
// once nothing more is ready.
bool BlockReader::next_prompt(std::string& block) {
    std::streambuf& buffer = *in_.rdbuf();
    try {
        while (!end_) {
            if (std::streambuf::traits_type::eq_int_type(buffer.sgetc(),
                                                         std::streambuf::traits_type::eof())) {
                end_ = true;  // waits for at least one byte, or the end
                break;
            }
            const std::size_t old = block.size();
            block.resize(old + static_cast<std::size_t>(buffer.in_avail()));
            block.resize(
                old + static_cast<std::size_t>(buffer.sgetn(
                          block.data() + old, static_cast<std::streamsize>(block.size() - old))));
            // A producer faster than this reader leaves the pipe empty for a moment now
            // and then; a pause is a wait longer than that.
            const bool paused =
                buffer.in_avail() == 0 && !input_ready(waiting_fd_, kPauseMilliseconds);
            if (block.size() < block_bytes_ && !paused) {
                continue;
            }
            if (const std::size_t cut = cut_point(block, 0); cut != std::string::npos) {
                carry_.assign(block, cut);
                block.resize(cut);
                paused_ = paused;
                return true;
            }
        }
    } catch (const ReadFailed&) {
        end_ = true;
        failed_ = true;
    }
    return !block.empty() && !failed_;
}

std::optional<StreamFailure> split_stream(std::istream& in, const std::string& input_name,
                                          std::ostream& out, const SplitPlan& plan,
                                          const StreamSettings& settings) {
    const unsigned jobs = std::clamp(settings.jobs, 1u, kMaxJobs);
    // One split of a plan of single characters goes straight through UTF-8. Declared before
    // the workers, so that it outlives every task that reads it.
    const std::optional<DirectUtf8Split> direct =
        settings.times == 1 && settings.direct ? DirectUtf8Split::of(plan) : std::nullopt;
    std::optional<BlockWorkers> workers;
    try {
        workers.emplace(jobs, settings.start_thread);
    } catch (const ThreadsUnavailable& error) {
        return StreamFailure{kThreadsUnavailable, error.what()};
    }
    Flights in_flight;
    OrderedWriter writer(out, settings.held_bytes);
    std::size_t next_line = 1;  // the first line of the oldest block still in flight
    const auto cannot_write = [&out] {
        return StreamFailure{kOutputFailed,
                             "cannot write the output" + failure_reason(out.rdbuf())};
    };

    // Writes the oldest block as its pieces come, or says why it cannot be.
    const auto land = [&]() -> std::optional<StreamFailure> {
        const Flight flight = std::move(in_flight->front());
        in_flight->pop_front();
        while (auto piece = flight.channel->take()) {
            if (!writer.write(std::move(*piece))) {
                flight.channel->abandon();
                return cannot_write();
            }
        }
        const BlockOutcome& outcome = flight.channel->outcome();
        if (outcome.failure) {
            return StreamFailure{
                status_of(outcome.failure->kind),
                describe(*outcome.failure, input_name, next_line, flight.byte_offset)};
        }
        next_line += outcome.line_breaks;
        return std::nullopt;
    };

    BlockReader reader(in, settings.block_bytes);
    std::size_t offset = 0;
    std::string block;
    while (reader.next(block)) {
        auto channel = std::make_shared<BlockChannel>(settings.held_bytes);
        const std::size_t size = block.size();
        workers->submit([&plan, &direct, &settings, channel, bytes = std::move(block)] {
            split_into(plan, direct ? &*direct : nullptr, bytes, settings, *channel);
        });
        in_flight->push_back({offset, std::move(channel)});
        offset += size;
        block.clear();
        // While `jobs` blocks are split, this thread reads the next one; when the input
        // pauses, what has come so far goes out at once.
        while (in_flight->size() > (reader.input_paused() ? 0 : jobs)) {
            if (auto failure = land()) {
                return failure;
            }
        }
        if (reader.input_paused() && !writer.flush()) {
            return cannot_write();
        }
    }
    while (!in_flight->empty()) {
        if (auto failure = land()) {
            return failure;
        }
    }
    if (reader.failed()) {
        return StreamFailure{
            kInputFailed, input_name + ": the input cannot be read" + failure_reason(in.rdbuf())};
    }
    if (!writer.finish()) {
        return cannot_write();
    }
    return std::nullopt;
}

}  // namespace mardovane::cli
