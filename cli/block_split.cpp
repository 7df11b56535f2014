#include "cli/block_split.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

#include "cli/exit_status.h"
#include "substitution/line_breaks.h"

namespace mardovane::cli {

BlockFailure BlockFailure::of_current_exception() {
    BlockFailure failure;
    try {
        throw;
    } catch (const std::bad_alloc&) {
        failure.kind = Kind::OutOfMemory;
    } catch (const std::length_error&) {  // a string asked to grow past what it can hold
        failure.kind = Kind::OutOfMemory;
    } catch (const std::exception& error) {
        failure.kind = Kind::Unexpected;
        failure.what = error.what();
    } catch (...) {
        failure.kind = Kind::Unexpected;
        failure.what = "unknown exception";
    }
    return failure;
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
            if (failure.line_too_large) {
                return where + ": this line is longer than " + std::to_string(failure.limit) +
                       " UTF-16 code units, the most a line may hold";
            }
            return where + ": splitting this line makes a text of more than " +
                   std::to_string(failure.limit) + " UTF-16 code units";
        case BlockFailure::Kind::OutOfMemory:
            return input_name + ": out of memory while splitting";
        case BlockFailure::Kind::Unexpected:
            break;
    }
    return input_name + ": internal error while splitting (please report it): " + failure.what;
}

int exit_status_of(BlockFailure::Kind kind) {
    switch (kind) {
        case BlockFailure::Kind::InvalidUtf8:
            return kInputFailed;
        case BlockFailure::Kind::ResultTooLarge:
            return kResultTooLarge;
        case BlockFailure::Kind::OutOfMemory:
            return kOutOfMemory;
        case BlockFailure::Kind::Unexpected:
            break;
    }
    return kInternalError;
}

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
                // Texts of the cycle already made once: none is too large.
                next = plan.apply(std::move(text), max_length);
                if (std::holds_alternative<ResultTooLarge>(next)) {
                    return next;
                }
                text = std::move(std::get<std::u16string>(next));
            }
            return text;
        }
    }
    return text;
}

namespace {

// The end of a piece that starts at `begin` and takes at least `wanted` code units: just
// after the first line break from there on, CR LF kept together, or the end of the text.
std::size_t piece_end(std::u16string_view text, std::size_t begin, std::size_t wanted) {
    const std::size_t from = begin + std::max<std::size_t>(wanted, 1) - 1;
    if (from >= text.size()) {
        return text.size();
    }
    const std::size_t line_break = text.find_first_of(u"\r\n", from);
    if (line_break == std::u16string_view::npos) {
        return text.size();
    }
    const bool crlf =
        text[line_break] == u'\r' && line_break + 1 < text.size() && text[line_break + 1] == u'\n';
    return line_break + (crlf ? 2 : 1);
}

// How much input the next piece takes, so that its result comes to about `piece_units`,
// judged by what the last piece made of its input.
std::size_t next_piece_length(std::size_t input, std::size_t output, std::size_t piece_units) {
    if (output == 0) {
        return piece_units;
    }
    const auto scaled = static_cast<std::uint64_t>(input) * piece_units / output;
    return static_cast<std::size_t>(std::clamp<std::uint64_t>(scaled, 1, piece_units));
}

// A first piece small enough that even a table that makes each character a thousand does
// not hold much before the next piece's size is judged.
constexpr std::size_t kFirstPieceDivisor = 1024;

std::optional<BlockFailure> split_pieces(const SplitPlan& plan, std::u16string_view text,
                                         std::uint64_t times, const PieceSink& emit,
                                         std::size_t max_length, std::size_t piece_units) {
    std::size_t begin = 0;
    std::size_t wanted = std::max<std::size_t>(piece_units / kFirstPieceDivisor, 1);
    while (begin < text.size()) {
        const std::size_t end = piece_end(text, begin, wanted);
        auto result =
            split_times(plan, std::u16string(text.substr(begin, end - begin)), times, max_length);
        if (std::holds_alternative<ResultTooLarge>(result)) {
            if (piece_end(text, begin, 1) == end) {  // a single line: nothing smaller to try
                BlockFailure failure;
                failure.kind = BlockFailure::Kind::ResultTooLarge;
                failure.line = line_number_at(text, begin);
                failure.limit = std::get<ResultTooLarge>(result).limit;
                failure.line_too_large = std::get<ResultTooLarge>(result).text_given_too_large;
                return failure;
            }
            // Smaller each time, so that it comes down to the first line: the cut is the first
            // line break from begin + wanted on, which need not move when wanted barely does.
            wanted = std::min(wanted, end - begin) / 2;
            continue;
        }
        const std::u16string& piece = std::get<std::u16string>(result);
        wanted = next_piece_length(end - begin, piece.size(), piece_units);
        // Valid UTF-8 in and pairs from a decoded file: no unpaired surrogate can arise,
        // but a table made otherwise could make one.
        auto utf8 = encode_utf8(piece);
        result = std::u16string();  // let the UTF-16 go before the UTF-8 is handed on
        auto* bytes = std::get_if<std::string>(&utf8);
        if (bytes == nullptr) {
            BlockFailure failure;
            failure.kind = BlockFailure::Kind::Unexpected;
            failure.what = "the split made an unpaired surrogate, which UTF-8 cannot hold";
            return failure;
        }
        if (!emit(std::move(*bytes))) {
            break;
        }
        begin = end;
    }
    return std::nullopt;
}

// The general way: decode, split in pieces, encode. Positions in the failure are counted
// from the start of `bytes`.
std::optional<BlockFailure> split_decoded(const SplitPlan& plan, std::string_view bytes,
                                          std::uint64_t times, const PieceSink& emit,
                                          std::size_t max_length, std::size_t piece_units) {
    auto decoded = decode(bytes, Encoding::Utf8);
    if (const auto* error = std::get_if<DecodeError>(&decoded)) {
        BlockFailure failure;
        failure.kind = BlockFailure::Kind::InvalidUtf8;
        failure.byte_offset = error->byte_offset;
        failure.reason = error->reason;
        failure.line = line_number_at(bytes, error->byte_offset);
        return failure;
    }
    return split_pieces(plan, std::get<std::u16string>(decoded), times, emit, max_length,
                        piece_units);
}

}  // namespace

BlockOutcome refuse_long_line(std::string_view bytes, std::size_t max_length) {
    constexpr std::size_t kCheckedBytes = std::size_t{1} << 16;
    BlockOutcome outcome;
    outcome.failure.emplace();
    BlockFailure& failure = *outcome.failure;
    try {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const std::string_view piece = bytes.substr(done, kCheckedBytes);
            const auto decoded = decode(piece, Encoding::Utf8);
            const auto* error = std::get_if<DecodeError>(&decoded);
            if (error == nullptr) {
                done += piece.size();
                continue;
            }
            if (error->reason == DecodeError::Reason::Truncated) {
                if (done + piece.size() == bytes.size()) {
                    break;  // where the reader stopped, not where the line does
                }
                done += error->byte_offset;  // the next piece starts with that character
                continue;
            }
            failure.kind = BlockFailure::Kind::InvalidUtf8;
            failure.byte_offset = done + error->byte_offset;
            failure.reason = error->reason;
            failure.line = line_number_at(bytes, failure.byte_offset);
            return outcome;
        }
        failure.kind = BlockFailure::Kind::ResultTooLarge;
        failure.limit = max_length;
        failure.line_too_large = true;
    } catch (...) {
        failure = BlockFailure::of_current_exception();
    }
    return outcome;
}

BlockOutcome split_block(const SplitPlan& plan, std::string_view bytes, std::uint64_t times,
                         const PieceSink& emit, std::size_t max_length, std::size_t piece_units,
                         const DirectUtf8Split* direct) {
    BlockOutcome outcome;
    try {
        std::size_t start = 0;
        if (direct != nullptr && times == 1) {
            // Pieces of about the general way's size in UTF-8.
            const std::size_t piece_bytes = 2 * piece_units;
            std::string piece;
            for (;;) {
                // Room for the whole piece at once: growing as it fills would copy it over
                // and over.
                piece.reserve(piece_bytes + piece_bytes / 4);
                const auto progress =
                    direct->split_lines(bytes, start, max_length, piece_bytes, piece);
                start = progress.next;
                outcome.line_breaks += progress.line_breaks;
                if (!piece.empty() && !emit(std::exchange(piece, std::string()))) {
                    return outcome;
                }
                if (progress.blocked || start == bytes.size()) {
                    break;
                }
            }
        }
        if (start < bytes.size()) {
            outcome.line_breaks += count_line_breaks(bytes.substr(start));
            // From the line the direct way could not take, with its positions in the block.
            outcome.failure =
                split_decoded(plan, bytes.substr(start), times, emit, max_length, piece_units);
            if (outcome.failure) {
                outcome.failure->byte_offset += start;
                outcome.failure->line += line_number_at(bytes, start) - 1;
            }
        }
    } catch (...) {  // nothing may end the program from a worker
        outcome.failure = BlockFailure::of_current_exception();
    }
    return outcome;
}

}  // namespace mardovane::cli
