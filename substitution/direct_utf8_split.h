#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "substitution/split.h"
#include "substitution/zeroed_array.h"

namespace mardovane {

// A plan whose pairs all find single characters (every shipped table is one), applied in
// one pass straight over UTF-8: runs that no pair touches are copied as they are, and each
// character that a pair finds is looked up in a table built once and written as its final
// image. Characters split independently of each other, so this is exactly one split.
class DirectUtf8Split {
  public:
    // None for a plan with longer texts to find, or whose images are too long to hold.
    [[nodiscard]] static std::optional<DirectUtf8Split> of(const SplitPlan& plan);

    struct Progress {
        std::size_t next;         // where the next call goes on
        bool blocked;             // the line at `next` must take the general way
        std::size_t line_breaks;  // passed from `begin` to `next`
    };

    // Appends the split of whole lines of `bytes`, from `begin`, to `out`, and stops after
    // a line break once `out` holds `piece_bytes` or more, or at the end. A line that holds
    // bytes that are not well-formed UTF-8, or whose result passes max_length UTF-16 code
    // units, is not written: it stops there, blocked, for the general path to say what and
    // where.
    Progress split_lines(std::string_view bytes, std::size_t begin, std::size_t max_length,
                         std::size_t piece_bytes, std::string& out) const;

  private:
    // One look-up per character: 0 for a character no pair finds, else an entry made by
    // short_image_entry or long_image_entry (in the source file), naming where the
    // character's UTF-8 image lies. An image up to kShortImage bytes is always copied as
    // kShortImage bytes, and images_ ends in that many bytes of room for it.
    static constexpr std::uint32_t kShortImage = 16;
    struct LongImage {
        std::uint32_t offset;
        std::uint32_t bytes;
    };
    enum class AsciiKind : unsigned char { Plain, LineBreak, Found };

    // What a three-byte character becomes, in one place: its image, itself where no pair
    // finds it, and the length; or kThroughEntry for an image empty or too long for a slot
    // (see entry_of_), or kNotCharacter. A slot is copied whole, its length too: what lies
    // past the image is written over by what comes next.
    struct Slot {
        char bytes[15];
        std::uint8_t length;
    };
    static_assert(sizeof(Slot) == kShortImage, "a slot is copied as one short image is");
    static constexpr std::uint8_t kThroughEntry = 0xFF;
    static constexpr std::uint8_t kNotCharacter = 0xFE;  // overlong, or a surrogate

    bool fill_slots();
    // Writes the image of an entry at `to`, and up to kShortImage bytes more past it.
    char* write_image(std::uint32_t entry, char* to) const;
    // The bytes write_image writes from `to` on, over-copy included.
    std::size_t image_room(std::uint32_t entry) const;

    ZeroedArray<std::uint32_t> entry_of_;  // per BMP code point
    ZeroedArray<Slot> slots_;              // per BMP code point
    std::vector<LongImage> long_images_;
    std::string images_;  // every image in UTF-8, one after another
    AsciiKind ascii_kind_[128] = {};
    // The most output bytes that one input byte can take, counting the room a short image
    // is copied with: at least a whole slot for a character of three bytes.
    std::size_t growth_ = (sizeof(Slot) + 2) / 3;
};

}  // namespace mardovane
