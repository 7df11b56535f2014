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

struct Flight {
    std::size_t byte_offset;  // of the block in the whole input
    std::shared_ptr<BlockChannel> channel;
    bool starts_with_lf;  // after a block cut at a lone CR, that CR and this LF are one break
    bool ends_with_cr;
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
        outcome.failure = BlockFailure::of_current_exception();
    }
    channel.finish(std::move(outcome));
}

}  // namespace

std::optional<StreamFailure> split_stream(std::istream& in, const std::string& input_name,
                                          std::ostream& out, const std::string& output_name,
                                          const SplitPlan& plan, const StreamSettings& settings) {
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
    bool last_ended_with_cr = false;
    const auto cannot_write = [&] {
        return StreamFailure{
            kOutputFailed, output_name + ": cannot write the output" + failure_reason(out.rdbuf())};
    };

    // Writes the oldest block as its pieces come, or says why it cannot be.
    const auto land = [&]() -> std::optional<StreamFailure> {
        const Flight flight = std::move(in_flight->front());
        in_flight->pop_front();
        if (last_ended_with_cr && flight.starts_with_lf) {
            --next_line;  // a CR LF cut in two was counted as two line breaks
        }
        last_ended_with_cr = flight.ends_with_cr;
        while (auto piece = flight.channel->take()) {
            if (!writer.write(std::move(*piece))) {
                flight.channel->abandon();
                return cannot_write();
            }
        }
        const BlockOutcome& outcome = flight.channel->outcome();
        if (outcome.failure) {
            return StreamFailure{
                exit_status_of(outcome.failure->kind),
                describe(*outcome.failure, input_name, next_line, flight.byte_offset)};
        }
        next_line += outcome.line_breaks;
        return std::nullopt;
    };

    BlockReader reader(in, settings.block_bytes, settings.prompt_delay, settings.max_length);
    std::size_t offset = 0;
    std::string block;
    while (reader.next(block)) {
        auto channel = std::make_shared<BlockChannel>(settings.held_bytes);
        const std::size_t size = block.size();
        const bool starts_with_lf = block.front() == '\n';
        const bool ends_with_cr = block.back() == '\r';
        if (reader.over_limit()) {
            channel->finish(refuse_long_line(block, settings.max_length));
        } else {
            workers->submit([&plan, &direct, &settings, channel, bytes = std::move(block)] {
                split_into(plan, direct ? &*direct : nullptr, bytes, settings, *channel);
            });
        }
        in_flight->push_back({offset, std::move(channel), starts_with_lf, ends_with_cr});
        offset += size;
        block.clear();
        // While `jobs` blocks are split, this thread reads the next one; when the input
        // pauses, what has come so far goes out at once.
        while (in_flight->size() > (reader.prompt() ? 0 : jobs)) {
            if (auto failure = land()) {
                return failure;
            }
        }
        if (reader.prompt() && !writer.flush()) {
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
