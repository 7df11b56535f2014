#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

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
    enum class Kind { InvalidUtf8, ResultTooLarge, OutOfMemory };
    Kind kind = Kind::InvalidUtf8;
    std::size_t byte_offset = 0;  // InvalidUtf8
    DecodeError::Reason reason = DecodeError::Reason::InvalidSequence;
    std::size_t line = 1;   // InvalidUtf8 and ResultTooLarge: 1-based
    std::size_t limit = 0;  // ResultTooLarge
};

struct BlockResult {
    std::string output;           // the split text, UTF-8
    std::size_t line_breaks = 0;  // in the block's input
    std::optional<BlockFailure> failure;
};

// Decodes one block of UTF-8 input, splits it `times` times and encodes the result. A
// block whose whole result would pass max_length is split in smaller pieces, cut at line
// breaks; only a single line whose own result passes it fails.
[[nodiscard]] BlockResult split_block(const SplitPlan& plan, std::string_view bytes,
                                      std::uint64_t times,
                                      std::size_t max_length = kMaxResultLength);

}  // namespace mardovane::cli
