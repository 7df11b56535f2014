#include "cli/block_split.h"

#include <new>
#include <stdexcept>
#include <utility>

#include "substitution/line_breaks.h"

namespace mardovane::cli {

std::variant<std::u16string, ResultTooLarge> split_times(const SplitPlan& plan, std::u16string text,
                                                         std::uint64_t times,
                                                         std::size_t max_length) {
    if (times == 0) {
        return text;
    }
    if (times == 1) {
        return plan.apply(std::move(text), max_length);
    }
    // Brent's cycle finding: compare each text with the one saved at the last power of two;
    // a match after `period` clicks means the texts repeat with that period from there on.
    std::u16string saved = text;
    std::uint64_t power = 1;
    std::uint64_t period = 0;
    for (std::uint64_t round = 1; round <= times; ++round) {
        if (power == period) {
            saved = text;
            power *= 2;
            period = 0;
        }
        auto next = plan.apply(std::move(text), max_length);
        if (std::holds_alternative<ResultTooLarge>(next)) {
            return next;
        }
        text = std::move(std::get<std::u16string>(next));
        ++period;
        if (text == saved) {
            for (std::uint64_t left = (times - round) % period; left > 0; --left) {
                text = std::get<std::u16string>(plan.apply(std::move(text), max_length));
            }
            return text;
        }
    }
    return text;
}

namespace {

// Splits `piece` (which starts at code unit `start` of the block) and appends the UTF-8
// result; halves a piece whose result is too large at a line break, down to single lines.
std::optional<BlockFailure> split_piece(const SplitPlan& plan, std::u16string_view block,
                                        std::size_t start, std::size_t length, std::uint64_t times,
                                        std::size_t max_length, std::string& output) {
    const std::u16string_view piece = block.substr(start, length);
    auto result = split_times(plan, std::u16string(piece), times, max_length);
    if (auto* text = std::get_if<std::u16string>(&result)) {
        // Valid UTF-8 in and pairs from a decoded file: no unpaired surrogate can arise.
        output += std::get<std::string>(encode_utf8(*text));
        return std::nullopt;
    }
    // Cut after the line break nearest the middle; the pieces split as the whole would,
    // since no text to find or replacement holds a line break.
    const std::size_t middle = piece.size() / 2;
    std::size_t cut = piece.find_first_of(u"\r\n", middle);
    if (cut == std::u16string_view::npos || cut + 1 == piece.size()) {
        cut = middle == 0 ? std::u16string_view::npos : piece.find_last_of(u"\r\n", middle - 1);
    }
    if (cut == std::u16string_view::npos) {
        BlockFailure failure;
        failure.kind = BlockFailure::Kind::ResultTooLarge;
        failure.line = line_number_at(block, start);
        failure.limit = std::get<ResultTooLarge>(result).limit;
        return failure;
    }
    // Keep CR LF together, so that the line count stays that of the whole.
    if (piece[cut] == u'\r' && cut + 1 < piece.size() && piece[cut + 1] == u'\n') {
        ++cut;
    }
    const std::size_t first = cut + 1;
    if (auto failure = split_piece(plan, block, start, first, times, max_length, output)) {
        return failure;
    }
    return split_piece(plan, block, start + first, length - first, times, max_length, output);
}

}  // namespace

BlockResult split_block(const SplitPlan& plan, std::string_view bytes, std::uint64_t times,
                        std::size_t max_length) {
    BlockResult result;
    try {
        result.line_breaks = count_line_breaks(bytes);
        auto decoded = decode(bytes, Encoding::Utf8);
        if (const auto* error = std::get_if<DecodeError>(&decoded)) {
            BlockFailure failure;
            failure.kind = BlockFailure::Kind::InvalidUtf8;
            failure.byte_offset = error->byte_offset;
            failure.reason = error->reason;
            failure.line = line_number_at(bytes, error->byte_offset);
            result.failure = failure;
            return result;
        }
        auto whole =
            split_times(plan, std::move(std::get<std::u16string>(decoded)), times, max_length);
        if (auto* text = std::get_if<std::u16string>(&whole)) {
            result.output = std::get<std::string>(encode_utf8(*text));
            return result;
        }
        // Too large as a whole (rare): decode again and split it piece by piece.
        const std::u16string text = std::get<std::u16string>(decode(bytes, Encoding::Utf8));
        result.failure = split_piece(plan, text, 0, text.size(), times, max_length, result.output);
    } catch (const std::bad_alloc&) {
        result.failure = BlockFailure{BlockFailure::Kind::OutOfMemory};
    } catch (const std::length_error&) {
        result.failure = BlockFailure{BlockFailure::Kind::OutOfMemory};
    }
    if (result.failure) {
        result.output.clear();
    }
    return result;
}

}  // namespace mardovane::cli
