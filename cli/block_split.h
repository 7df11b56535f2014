#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "substitution/direct_utf8_split.h"
#include "substitution/split.h"
#include "substitution/text_codec.h"

namespace mardovane::cli {

// `times` splits with one plan, as that many clicks of the split button give. Stops early,
// with the same result, once the text repeats itself: a text that a table keeps sending
// round a cycle (a and b swapped on every click) ends after one turn of the cycle.
[[nodiscard]] std::variant<std::u16string, ResultTooLarge> split_times(
    const SplitPlan& plan, std::u16string text, std::uint64_t times,
    std::size_t max_length = kMaxResultLength);

// What went wrong in one block, with positions counted from the start of the block.
struct BlockFailure {
    enum class Kind { InvalidUtf8, ResultTooLarge, OutOfMemory, Unexpected };
    Kind kind = Kind::InvalidUtf8;
    std::size_t byte_offset = 0;  // InvalidUtf8
    DecodeError::Reason reason = DecodeError::Reason::InvalidSequence;
    std::size_t line = 1;         // InvalidUtf8 and ResultTooLarge: 1-based
    std::size_t limit = 0;        // ResultTooLarge
    bool line_too_large = false;  // ResultTooLarge: the line itself, before any pair
    std::string what;             // Unexpected: in the words of whatever failed

    // What the exception being handled means for a block: called in a catch block.
    static BlockFailure of_current_exception();
};

// One line, without the program's name, naming the input, the line (the block's first
// being `first_line` of the whole input) and the offset in the whole input.
[[nodiscard]] std::string describe(const BlockFailure& failure, const std::string& input_name,
                                   std::size_t first_line, std::size_t block_offset);
[[nodiscard]] int exit_status_of(BlockFailure::Kind kind);

struct BlockOutcome {
    std::size_t line_breaks = 0;  // in the block's input
    std::optional<BlockFailure> failure;
};

// Takes the next piece of a block's result; false when nobody wants the rest.
using PieceSink = std::function<bool(std::string&& utf8)>;

// About how many UTF-16 code units of result one piece holds: what a table does to the
// text (a → b×1000, say) then changes how many pieces there are, not how large they are.
inline constexpr std::size_t kPieceUnits = std::size_t{1} << 18;

// Splits one block of UTF-8 input `times` times, in pieces cut at line breaks, and hands
// each piece's UTF-8 result to `emit`, in order. With `direct` (one split of a plan whose
// pairs find single characters) the lines go straight through UTF-8 as far as they can;
// the rest is decoded (all of it first, so that bad input is found before any of it is
// given out), split and encoded. A piece that would pass max_length is cut smaller, down
// to one line; only a single line whose own split passes it fails.
[[nodiscard]] BlockOutcome split_block(const SplitPlan& plan, std::string_view bytes,
                                       std::uint64_t times, const PieceSink& emit,
                                       std::size_t max_length = kMaxResultLength,
                                       std::size_t piece_units = kPieceUnits,
                                       const DirectUtf8Split* direct = nullptr);

// What was read of a line that passed `max_length` code units before its end (a block the
// reader stopped at): the first bad UTF-8 in it, or else the line too large. It is checked
// in small pieces, never decoded whole; its end may cut a character in two, no fault.
[[nodiscard]] BlockOutcome refuse_long_line(std::string_view bytes, std::size_t max_length);

}  // namespace mardovane::cli
