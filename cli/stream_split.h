#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "cli/block_reader.h"
#include "cli/block_split.h"
#include "cli/block_workers.h"
#include "substitution/split.h"

namespace mardovane::cli {

inline constexpr std::size_t kBlockBytes = std::size_t{512} << 10;
// How much of a block's result may wait to be written; also how much of the output's
// start is held back, so that an input with a short result writes nothing when it fails.
inline constexpr std::size_t kHeldBytes = std::size_t{4} << 20;

struct StreamSettings {
    std::uint64_t times = 1;
    unsigned jobs = 1;  // threads that split blocks
    std::size_t block_bytes = kBlockBytes;
    std::size_t piece_units = kPieceUnits;
    std::size_t held_bytes = kHeldBytes;
    std::size_t max_length = kMaxResultLength;
    bool direct = true;  // one split of single characters straight through UTF-8
    BlockWorkers::ThreadStarter start_thread = BlockWorkers::start_std_thread;
    // How long complete lines from a pipe or terminal may wait before they go out.
    std::chrono::milliseconds prompt_delay = BlockReader::kPromptDelay;
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
// `output_name` names the output in messages ("standard output", or the file's name).
[[nodiscard]] std::optional<StreamFailure> split_stream(
    std::istream& in, const std::string& input_name, std::ostream& out,
    const std::string& output_name, const SplitPlan& plan, const StreamSettings& settings);

}  // namespace mardovane::cli
