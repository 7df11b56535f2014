#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace mardovane::cli {

// Reads UTF-8 text in blocks of about `block_bytes`, each cut just after a line break (a
// longer line makes its block longer), so that any input size takes bounded memory.
//
// From a pipe or a terminal a block is also cut, so that the complete lines read so far go
// on at once, when the input pauses, or when the first of them has waited `prompt_delay`,
// whatever the input does (a line every few milliseconds never pauses). A line ended by a
// lone CR then goes too, without waiting to see whether an LF follows.
//
// A line that has passed `max_line_units` UTF-16 code units can no longer be split: it is
// read no further. What was read of it is the last block, alone, and over_limit() says so;
// an endless line (/dev/zero) then costs that much memory, not all there is.
class BlockReader {
  public:
    static constexpr std::chrono::milliseconds kPauseDelay{20};
    static constexpr std::chrono::milliseconds kPromptDelay{100};

    BlockReader(std::istream& in, std::size_t block_bytes,
                std::chrono::milliseconds prompt_delay = kPromptDelay,
                std::size_t max_line_units = SIZE_MAX);

    // The next block, or false at the end of the input or on a read error.
    bool next(std::string& block);
    bool failed() const { return failed_; }
    // Whether the last block was cut so that what has come goes out now.
    bool prompt() const { return prompt_; }
    // Whether the last block is the start of a line past the limit, and the last block.
    bool over_limit() const { return over_limit_; }

  private:
    using Clock = std::chrono::steady_clock;

    bool next_whole(std::string& block);
    bool next_prompt(std::string& block);
    // Whether `block`, one line so far with no break, has passed the limit; counts only
    // the bytes it has not counted before.
    bool line_over_limit(const std::string& block);

    std::istream& in_;
    std::size_t block_bytes_;
    std::chrono::milliseconds prompt_delay_;
    int waiting_fd_ = -1;  // a pipe or terminal read promptly, or -1
    std::string carry_;    // what was read after the last cut: no complete line
    bool end_ = false;
    bool failed_ = false;
    bool prompt_ = false;
    std::size_t max_line_units_;
    std::size_t counted_bytes_ = 0;  // of the block's one line, so far
    std::size_t line_units_ = 0;
    bool over_limit_ = false;
};

}  // namespace mardovane::cli
