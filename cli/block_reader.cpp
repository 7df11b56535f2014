#include "cli/block_reader.h"

#include <algorithm>
#include <istream>
#include <optional>

#include "cli/system_io.h"

namespace mardovane::cli {
namespace {

// Just after the last line break of block[from, end), or npos. A CR at the very end is
// left out unless `lone_cr` says that no LF is coming to join it.
std::size_t cut_point(const std::string& block, std::size_t from, bool lone_cr) {
    for (std::size_t i = block.size(); i > from; --i) {
        const char c = block[i - 1];
        if (c == '\n' || (c == '\r' && (i < block.size() || lone_cr))) {
            return i;
        }
    }
    return std::string::npos;
}

}  // namespace

BlockReader::BlockReader(std::istream& in, std::size_t block_bytes,
                         std::chrono::milliseconds prompt_delay, std::size_t max_line_units)
    : in_(in),
      block_bytes_(block_bytes),
      prompt_delay_(prompt_delay),
      max_line_units_(max_line_units) {
    if (const auto* buffer = dynamic_cast<const FdInputBuffer*>(in.rdbuf());
        buffer != nullptr && may_wait_for_input(buffer->fd())) {
        waiting_fd_ = buffer->fd();
    }
}

bool BlockReader::next(std::string& block) {
    block = std::move(carry_);
    carry_.clear();
    prompt_ = false;
    counted_bytes_ = line_units_ = 0;
    if (over_limit_) {
        return false;
    }
    return waiting_fd_ >= 0 ? next_prompt(block) : next_whole(block);
}

bool BlockReader::line_over_limit(const std::string& block) {
    // A UTF-16 code unit for every byte that starts a character, two for a character
    // past the BMP (a four-byte lead); bytes that are not UTF-8 count as their own. A CR
    // last may yet be the line's break: it waits.
    const std::size_t line_bytes = block.size() - (block.back() == '\r' ? 1 : 0);
    for (; counted_bytes_ < line_bytes; ++counted_bytes_) {
        const auto byte = static_cast<unsigned char>(block[counted_bytes_]);
        line_units_ += ((byte & 0xC0) != 0x80 ? 1 : 0) + (byte >= 0xF0 ? 1 : 0);
    }
    if (line_units_ <= max_line_units_) {
        return false;
    }
    over_limit_ = end_ = true;
    return true;
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
        if (const std::size_t cut = cut_point(block, old == 0 ? 0 : old - 1, false);
            cut != std::string::npos) {
            carry_.assign(block, cut);
            block.resize(cut);
            return true;
        }
        if (line_over_limit(block)) {  // the block is one line, with no end so far
            return true;
        }
    }
    return !block.empty() && !failed_;
}

// What has arrived, as it arrives. Each read looks for line breaks in its own bytes only
// (and the one before, a CR that an LF may join), so that a long line costs its length
// once, not once a read.
bool BlockReader::next_prompt(std::string& block) {
    std::streambuf& buffer = *in_.rdbuf();
    std::size_t last_break = 0;  // just after the last line break seen, or 0
    std::size_t scanned = 0;
    std::optional<Clock::time_point> first_line_at;  // when the first line was complete
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
            if (const std::size_t cut = cut_point(block, scanned, false);
                cut != std::string::npos) {
                last_break = cut;
                first_line_at = first_line_at.value_or(Clock::now());
            }
            scanned = block.size() - 1;                       // a CR last: an LF may join it
            if (last_break == 0 && line_over_limit(block)) {  // one line, with no end so far
                return true;
            }

            // A producer faster than this reader leaves the pipe empty for a moment now
            // and then; a pause is a wait longer than that. Complete lines wait no longer
            // than the prompt delay, pause or not.
            bool prompt = false;
            const auto waited =
                first_line_at ? Clock::now() - *first_line_at : Clock::duration::zero();
            if (first_line_at && waited >= prompt_delay_) {
                prompt = true;
            } else if (buffer.in_avail() == 0) {
                const Clock::duration wait =
                    first_line_at ? std::min<Clock::duration>(kPauseDelay, prompt_delay_ - waited)
                                  : Clock::duration(kPauseDelay);
                prompt = !input_ready(
                    waiting_fd_,
                    static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
            }
            if (block.size() < block_bytes_ && !prompt) {
                continue;
            }
            // Waited for: a CR at the end is a line break of its own.
            const std::size_t cut = prompt && block.back() == '\r' ? block.size() : last_break;
            if (cut != 0) {
                carry_.assign(block, cut);
                block.resize(cut);
                prompt_ = prompt;
                return true;
            }
        }
    } catch (const ReadFailed&) {
        end_ = true;
        failed_ = true;
    }
    return !block.empty() && !failed_;
}

}  // namespace mardovane::cli
