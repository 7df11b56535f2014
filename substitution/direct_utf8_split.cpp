#include "substitution/direct_utf8_split.h"

#include <algorithm>
#include <cstring>
#include <variant>

#include "substitution/text_codec.h"

namespace mardovane {
namespace {

// Images longer than this go the general way, which writes long images without holding
// them.
constexpr std::size_t kMaxImageUnits = 256;
// Images of up to this many bytes (all of a real table's) are copied as this many: one
// fixed-size move instead of a call, the writer's room allowing.
constexpr std::size_t kFixedCopy = 16;

// Writes into a string's whole size, growing it as needed; `finish` cuts it to what was
// written.
class Writer {
  public:
    explicit Writer(std::string& out) : out_(out), used_(out.size()) {
        out_.resize(std::max(out_.capacity(), used_ + 4096));
    }
    char* room(std::size_t bytes) {
        if (out_.size() - used_ < bytes) {
            out_.resize(std::max(out_.size() * 2, used_ + bytes + 4096));
        }
        return out_.data() + used_;
    }
    void advance(std::size_t bytes) { used_ += bytes; }
    std::size_t used() const { return used_; }
    void rewind(std::size_t to) { used_ = to; }
    void finish() { out_.resize(used_); }

  private:
    std::string& out_;
    std::size_t used_;
};

bool is_trail(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at `at` and its code point, or 0.
std::size_t sequence_at(const unsigned char* data, std::size_t at, std::size_t size,
                        std::uint32_t& code_point) {
    const unsigned char lead = data[at];
    const std::size_t left = size - at;
    if (lead >= 0xC2 && lead <= 0xDF) {
        if (left < 2 || !is_trail(data[at + 1])) {
            return 0;
        }
        code_point = (lead & 0x1Fu) << 6 | (data[at + 1] & 0x3Fu);
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (left < 3 || !is_trail(data[at + 1]) || !is_trail(data[at + 2])) {
            return 0;
        }
        const unsigned char second = data[at + 1];
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F)) {
            return 0;  // overlong, or a surrogate
        }
        code_point = (lead & 0x0Fu) << 12 | (second & 0x3Fu) << 6 | (data[at + 2] & 0x3Fu);
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (left < 4 || !is_trail(data[at + 1]) || !is_trail(data[at + 2]) ||
            !is_trail(data[at + 3])) {
            return 0;
        }
        const unsigned char second = data[at + 1];
        if ((lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
            return 0;  // overlong, or past U+10FFFF
        }
        code_point = 0x10000;  // beyond the BMP: no pair finds it
        return 4;
    }
    return 0;
}

}  // namespace

std::optional<DirectUtf8Split> DirectUtf8Split::of(const SplitPlan& plan) {
    auto images = plan.character_images(kMaxImageUnits);
    if (!images) {
        return std::nullopt;
    }
    DirectUtf8Split direct;
    direct.entry_of_.assign(std::size_t{1} << 16, 0);
    for (const auto& [character, image] : *images) {
        auto utf8 = encode_utf8(image);
        if (!std::holds_alternative<std::string>(utf8)) {
            return std::nullopt;  // an unpaired surrogate: the general way says so
        }
        const auto& bytes = std::get<std::string>(utf8);
        direct.entries_.push_back({static_cast<std::uint32_t>(direct.images_.size()),
                                   static_cast<std::uint32_t>(bytes.size()),
                                   static_cast<std::uint32_t>(image.size())});
        direct.images_ += bytes;
        direct.entry_of_[character] = static_cast<std::uint32_t>(direct.entries_.size());
    }
    direct.images_.append(kFixedCopy, '\0');  // so that every image copies as kFixedCopy bytes
    for (unsigned byte = 0; byte < 128; ++byte) {
        direct.plain_ascii_[byte] = byte != '\r' && byte != '\n' && direct.entry_of_[byte] == 0;
    }
    return direct;
}

DirectUtf8Split::Progress DirectUtf8Split::split_lines(std::string_view bytes, std::size_t begin,
                                                       std::size_t max_length,
                                                       std::size_t piece_bytes,
                                                       std::string& out) const {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    Writer writer(out);
    std::size_t at = begin;
    std::size_t line_start = begin;
    std::size_t written_at_line_start = writer.used();
    std::uint64_t line_units = 0;  // of the result
    std::uint64_t line_input = 0;  // of the text read: the general way holds it too
    const auto blocked = [&] {
        writer.rewind(written_at_line_start);
        writer.finish();
        return Progress{line_start, true};
    };
    while (at < size) {
        const unsigned char byte = data[at];
        if (byte < 0x80) {
            std::size_t end = at;
            while (end < size && data[end] < 0x80 && plain_ascii_[data[end]]) {
                ++end;
            }
            if (end > at) {  // a run no pair touches, copied in bulk
                std::memcpy(writer.room(end - at), data + at, end - at);
                writer.advance(end - at);
                line_units += end - at;
                line_input += end - at;
                at = end;
                if (std::max(line_units, line_input) > max_length) {
                    return blocked();
                }
                continue;
            }
            if (byte == '\r' || byte == '\n') {
                // The line break is part of its line, CR LF together, as the general way
                // counts it.
                const std::size_t breaks =
                    byte == '\r' && at + 1 < size && data[at + 1] == '\n' ? 2 : 1;
                if (std::max(line_units, line_input) + breaks > max_length) {
                    return blocked();
                }
                std::memcpy(writer.room(breaks), data + at, breaks);
                writer.advance(breaks);
                at += breaks;
                line_start = at;
                written_at_line_start = writer.used();
                line_units = 0;
                line_input = 0;
                if (writer.used() >= piece_bytes) {
                    writer.finish();
                    return {at, false};
                }
                continue;
            }
        }
        std::uint32_t code_point = byte;
        std::size_t length = 1;
        if ((byte & 0xF0) == 0xE0 && at + 2 < size && is_trail(data[at + 1]) &&
            is_trail(data[at + 2]) && !(byte == 0xE0 && data[at + 1] < 0xA0) &&
            !(byte == 0xED && data[at + 1] > 0x9F)) {
            // Three bytes, as nearly every Chinese character is: decoded here.
            code_point =
                (byte & 0x0Fu) << 12 | (data[at + 1] & 0x3Fu) << 6 | (data[at + 2] & 0x3Fu);
            length = 3;
        } else if (byte >= 0x80) {
            length = sequence_at(data, at, size, code_point);
        }
        if (length == 0) {
            return blocked();
        }
        line_input += code_point < 0x10000 ? 1 : 2;
        if (const std::uint32_t entry = code_point < 0x10000 ? entry_of_[code_point] : 0) {
            const Image& image = entries_[entry - 1];
            char* to = writer.room(std::max<std::size_t>(image.bytes, kFixedCopy));
            if (image.bytes <= kFixedCopy) {
                std::memcpy(to, images_.data() + image.offset, kFixedCopy);
            } else {
                std::memcpy(to, images_.data() + image.offset, image.bytes);
            }
            writer.advance(image.bytes);
            line_units += image.units;
        } else {
            std::memcpy(writer.room(length), data + at, length);
            writer.advance(length);
            line_units += code_point < 0x10000 ? 1 : 2;
        }
        at += length;
        if (std::max(line_units, line_input) > max_length) {
            return blocked();
        }
    }
    writer.finish();
    return {size, false};
}

}  // namespace mardovane
