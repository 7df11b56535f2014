#include "substitution/direct_utf8_split.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>
#include <variant>

#include "substitution/text_codec.h"

namespace mardovane {
namespace {

// Images longer than this go the general way, which writes long images without holding
// them.
constexpr std::size_t kMaxImageUnits = 256;
// Input bytes split between two looks at the room left and at the line's length.
constexpr std::size_t kChunkBytes = 4096;
// The most bytes one character takes in UTF-8.
constexpr std::size_t kMaxSequence = 4;

// An entry of entry_of_: 1 (found), the image's length in bytes, and its offset in the
// images; an image too long for the length field has kLongImageLength there, and its index
// among the long images for offset.
constexpr std::uint32_t kEntryLengthShift = 1;
constexpr std::uint32_t kEntryLengthBits = 5;
constexpr std::uint32_t kEntryOffsetShift = kEntryLengthShift + kEntryLengthBits;
constexpr std::uint32_t kLongImageLength = (1u << kEntryLengthBits) - 1;
// How far an entry's offset reaches.
constexpr std::size_t kEntryOffsetLimit = std::size_t{1} << (32 - kEntryOffsetShift);

std::uint32_t short_image_entry(std::uint32_t offset, std::uint32_t bytes) {
    return 1 | bytes << kEntryLengthShift | offset << kEntryOffsetShift;
}
std::uint32_t long_image_entry(std::uint32_t index) {
    return 1 | kLongImageLength << kEntryLengthShift | index << kEntryOffsetShift;
}
std::uint32_t entry_length(std::uint32_t entry) {
    return entry >> kEntryLengthShift & kLongImageLength;
}
std::uint32_t entry_offset(std::uint32_t entry) {
    return entry >> kEntryOffsetShift;
}

// In a debug build: a copy of `bytes` at `to` stays within the room asked for.
void check_room([[maybe_unused]] const char* to, [[maybe_unused]] std::size_t bytes,
                [[maybe_unused]] const char* room_end) {
    assert(to + bytes <= room_end);
}

// Writes into a string's whole size, growing it as needed; `finish` cuts it to what was
// written.
class Writer {
  public:
    explicit Writer(std::string& out) : out_(out), used_(out.size()) {}
    // Room for at least `bytes` more, good until the next call.
    char* room(std::size_t bytes) {
        if (out_.size() - used_ < bytes) {
            out_.resize(std::max({out_.capacity(), out_.size() * 2, used_ + bytes}));
        }
        return out_.data() + used_;
    }
    void advance_to(const char* end) { used_ = static_cast<std::size_t>(end - out_.data()); }
    std::size_t used() const { return used_; }
    void rewind(std::size_t to) { used_ = to; }
    void finish() { out_.resize(used_); }

  private:
    std::string& out_;
    std::size_t used_;
};

// `word` as read from little-endian bytes.
std::uint32_t little_endian(std::uint32_t word) {
    if constexpr (std::endian::native == std::endian::big) {
        return (word & 0xFFu) << 24 | (word & 0xFF00u) << 8 | (word >> 8 & 0xFF00u) | word >> 24;
    }
    return word;
}

bool is_surrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}
bool is_high_surrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool is_low_surrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

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
    const auto images = plan.character_images(kMaxImageUnits);
    if (!images) {
        return std::nullopt;
    }
    // Every image encoded in one go: one call of the codec, not one an image. Images that
    // would only be well-formed joined (a surrogate pair cut between two) are refused.
    for (std::size_t i = 0; i < images->size(); ++i) {
        const std::u16string_view image = images->image(i);
        if (!image.empty() &&
            (is_low_surrogate(image.front()) || is_high_surrogate(image.back()))) {
            return std::nullopt;  // an unpaired surrogate: the general way says so
        }
    }
    auto encoded = encode_utf8(images->text);
    if (!std::holds_alternative<std::string>(encoded)) {
        return std::nullopt;
    }
    DirectUtf8Split direct;
    direct.images_ = std::move(std::get<std::string>(encoded));
    if (direct.images_.size() >= kEntryOffsetLimit) {
        return std::nullopt;  // more than an entry can point to
    }
    direct.entry_of_ = ZeroedArray<std::uint32_t>(std::size_t{1} << 16);
    std::uint32_t offset = 0;
    for (std::size_t i = 0; i < images->size(); ++i) {
        const char16_t character = images->characters[i];
        std::uint32_t size = 0;
        for (const char16_t unit : images->image(i)) {
            size += unit < 0x80 ? 1 : unit < 0x800 ? 2 : is_surrogate(unit) ? 2 : 3;
        }
        std::uint32_t entry = short_image_entry(offset, size);
        if (size > kShortImage) {
            static_assert(kShortImage < kLongImageLength);
            entry = long_image_entry(static_cast<std::uint32_t>(direct.long_images_.size()));
            direct.long_images_.push_back({offset, size});
        }
        offset += size;
        direct.entry_of_[character] = entry;
        const std::size_t sequence = character < 0x80 ? 1 : character < 0x800 ? 2 : 3;
        const std::size_t copied = std::max<std::size_t>(size, kShortImage);
        direct.growth_ = std::max(direct.growth_, (copied + sequence - 1) / sequence);
    }
    direct.images_.append(kShortImage, '\0');  // so that every short image copies in full
    if (!direct.fill_slots()) {
        return std::nullopt;
    }
    for (unsigned byte = 0; byte < 128; ++byte) {
        direct.ascii_kind_[byte] = byte == '\r' || byte == '\n'  ? AsciiKind::LineBreak
                                   : direct.entry_of_[byte] != 0 ? AsciiKind::Found
                                                                 : AsciiKind::Plain;
    }
    return direct;
}

bool DirectUtf8Split::fill_slots() {
    // Every slot holds what is written, the character itself where no pair finds it: the
    // split then copies a slot whatever the character, with no branch to mispredict on
    // texts that mix both. The characters as they are come from the codec in one go.
    std::u16string characters;
    characters.reserve(0x10000 - 0x800);
    for (std::uint32_t c = 0x800; c <= 0xFFFF; ++c) {
        if (!is_surrogate(static_cast<char16_t>(c))) {
            characters += static_cast<char16_t>(c);
        }
    }
    const auto encoded = encode_utf8(characters);
    if (!std::holds_alternative<std::string>(encoded)) {
        return false;
    }
    const std::string& as_is = std::get<std::string>(encoded);
    slots_ = ZeroedArray<Slot>(std::size_t{1} << 16);
    for (std::uint32_t c = 0; c < 0x800; ++c) {
        slots_[c].length = kNotCharacter;  // what three bytes may decode to, overlong
    }
    std::size_t next = 0;
    for (std::uint32_t c = 0x800; c <= 0xFFFF; ++c) {
        Slot& slot = slots_[c];
        if (is_surrogate(static_cast<char16_t>(c))) {
            slot.length = kNotCharacter;
            continue;
        }
        const std::uint32_t entry = entry_of_[c];
        const std::uint32_t length = entry_length(entry);
        if (entry == 0) {
            std::memcpy(slot.bytes, as_is.data() + next, 3);
            slot.length = 3;
        } else if (length != 0 && length <= sizeof slot.bytes) {
            std::memcpy(slot.bytes, images_.data() + entry_offset(entry), length);
            slot.length = static_cast<std::uint8_t>(length);
        } else {
            slot.length = kThroughEntry;
        }
        next += 3;
    }
    return true;
}

std::size_t DirectUtf8Split::image_room(std::uint32_t entry) const {
    return entry_length(entry) == kLongImageLength ? long_images_[entry_offset(entry)].bytes
                                                   : kShortImage;
}

char* DirectUtf8Split::write_image(std::uint32_t entry, char* to) const {
    const std::uint32_t length = entry_length(entry);
    if (length == kLongImageLength) {
        const LongImage& image = long_images_[entry_offset(entry)];
        std::memcpy(to, images_.data() + image.offset, image.bytes);
        return to + image.bytes;
    }
    std::memcpy(to, images_.data() + entry_offset(entry), kShortImage);
    return to + length;
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
    std::size_t line_breaks = 0;
    // A UTF-16 code unit never takes less than one byte of UTF-8, so a line whose bytes,
    // read and written, stay within max_length is within it in code units too. A longer
    // line goes the general way, which counts exactly.
    const auto line_too_long = [&](std::size_t read_end, std::size_t written_end) {
        return read_end - line_start > max_length ||
               written_end - written_at_line_start > max_length;
    };
    const auto blocked = [&] {
        writer.rewind(written_at_line_start);
        writer.finish();
        return Progress{line_start, true, line_breaks};
    };
    while (at < size) {
        const std::size_t chunk_end = std::min(size, at + kChunkBytes);
        // A character that starts in the chunk may end past it. No character writes more
        // than growth_ bytes for each of its bytes, over-copy included, so this is room
        // enough for the chunk.
        const std::size_t room = (chunk_end - at + kMaxSequence) * growth_;
        char* to = writer.room(room);
        [[maybe_unused]] const char* const room_end = to + room;
        while (at < chunk_end) {
            const unsigned char byte = data[at];
            if (size - at >= 4) {
                std::uint32_t word;  // the next four bytes, the first lowest
                std::memcpy(&word, data + at, 4);
                word = little_endian(word);
                if ((word & 0xC0C0F0u) == 0x8080E0u) {
                    // Three bytes, as nearly every Chinese character is: decoded here, and
                    // its slot copied whole; what lies past the image is written over next.
                    const std::uint32_t code_point =
                        (word & 0x0Fu) << 12 | (word & 0x3F00u) >> 2 | (word & 0x3F0000u) >> 16;
                    const Slot& slot = slots_[code_point];
                    const unsigned length = slot.length;
                    if (length <= sizeof slot.bytes) {
                        check_room(to, sizeof slot, room_end);
                        std::memcpy(to, &slot, sizeof slot);
                        to += length;
                    } else if (length == kThroughEntry) {
                        check_room(to, image_room(entry_of_[code_point]), room_end);
                        to = write_image(entry_of_[code_point], to);
                    } else {
                        writer.advance_to(to);
                        return blocked();  // overlong, or a surrogate
                    }
                    at += 3;
                    continue;
                }
            }
            if (byte < 0x80) {
                switch (ascii_kind_[byte]) {
                    case AsciiKind::Plain:
                        *to++ = static_cast<char>(byte);
                        ++at;
                        continue;
                    case AsciiKind::Found:
                        check_room(to, image_room(entry_of_[byte]), room_end);
                        to = write_image(entry_of_[byte], to);
                        ++at;
                        continue;
                    case AsciiKind::LineBreak:
                        break;
                }
                // The line break is part of its line, CR LF together, as the general way
                // counts it.
                *to++ = static_cast<char>(byte);
                ++at;
                if (byte == '\r' && at < size && data[at] == '\n') {
                    *to++ = '\n';
                    ++at;
                }
                writer.advance_to(to);
                if (line_too_long(at, writer.used())) {
                    return blocked();
                }
                line_start = at;
                written_at_line_start = writer.used();
                ++line_breaks;
                if (writer.used() >= piece_bytes) {
                    writer.finish();
                    return {at, false, line_breaks};
                }
                continue;
            }
            std::uint32_t code_point = 0;
            const std::size_t length = sequence_at(data, at, size, code_point);
            if (length == 0) {
                writer.advance_to(to);
                return blocked();
            }
            const std::uint32_t entry = code_point < 0x10000 ? entry_of_[code_point] : 0;
            if (entry != 0) {
                check_room(to, image_room(entry), room_end);
                to = write_image(entry, to);
            } else {
                std::memcpy(to, data + at, length);
                to += length;
            }
            at += length;
        }
        writer.advance_to(to);
        if (line_too_long(at, writer.used())) {
            return blocked();
        }
    }
    writer.finish();
    return {size, false, line_breaks};
}

}  // namespace mardovane
