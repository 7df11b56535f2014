#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "cli/block_split.h"
#include "cli/block_workers.h"
#include "substitution/split.h"

namespace mardovane::cli {

inline constexpr std::size_t kBlockBytes = std::size_t{512} << 10;
// How much of a block's result may wait to be written; also how much of the output's
// start is held back, so that an input with a short result writes nothing when it fails.
inline constexpr std::size_t kHeldBytes = std::size_t{4} << 20;

// Reads UTF-8 text in blocks of about `block_bytes`, each cut just after a line break (a
// longer line makes its block longer), so that any input size takes bounded memory. From
// a pipe or a terminal, a block is also cut when the input pauses: the complete lines read
// so far go on at once, for `tail -f log | mardovane-split`.
class BlockReader {
  public:
    BlockReader(std::istream& in, std::size_t block_bytes);

    // The next block, or false at the end of the input or on a read error.
    bool next(std::string& block);
    bool failed() const { return failed_; }
    // Whether the last block was cut because the input had nothing more ready.
    bool input_paused() const { return paused_; }

  private:
    bool next_whole(std::string& block);
    bool next_prompt(std::string& block);

    std::istream& in_;
    std::size_t block_bytes_;
    int waiting_fd_ = -1;  // a pipe or terminal read promptly, or -1
    std::string carry_;    // what was read after the last cut
    bool end_ = false;
    bool failed_ = false;
    bool paused_ = false;
};

struct StreamSettings {
    std::uint64_t times = 1;
    unsigned jobs = 1;  // threads that split blocks
    std::size_t block_bytes = kBlockBytes;
    std::size_t piece_units = kPieceUnits;
    std::size_t held_bytes = kHeldBytes;
    std::size_t max_length = kMaxResultLength;
    bool direct = true;  // one split of single characters straight through UTF-8
    BlockWorkers::ThreadStarter start_thread = BlockWorkers::start_std_thread;
};

struct StreamFailure {
    int status = 0;
    std::string message;  // one line, without the program's name
};

// Splits the whole stream, block by block on `jobs` threads, and writes the results in
// input order as they come, piece by piece: the memory held is a few blocks and pieces a
// thread, whatever the table makes of the text; only a single line must fit whole. Every
// text to find and every replacement is one line of the keyword file, so none holds a
// line break: no match and no replacement crosses a cut, and the blocks split as the whole
// text would. On a failure, output that passed the held-back start may have been written.
[[nodiscard]] std::optional<StreamFailure> split_stream(std::istream& in,
                                                        const std::string& input_name,
                                                        std::ostream& out, const SplitPlan& plan,
                                                        const StreamSettings& settings);

}  // namespace mardovane::cli
