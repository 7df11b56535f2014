#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "substitution/split.h"

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
        std::size_t next;  // where the next call goes on
        bool blocked;      // the line at `next` must take the general way
    };

    // Appends the split of whole lines of `bytes`, from `begin`, to `out`, and stops after
    // a line break once `out` holds `piece_bytes` or more, or at the end. A line that holds
    // bytes that are not well-formed UTF-8, or whose result passes max_length UTF-16 code
    // units, is not written: it stops there, blocked, for the general path to say what and
    // where.
    Progress split_lines(std::string_view bytes, std::size_t begin, std::size_t max_length,
                         std::size_t piece_bytes, std::string& out) const;

  private:
    struct Image {
        std::uint32_t offset;  // in images_
        std::uint32_t bytes;
        std::uint32_t units;  // UTF-16 code units
    };

    std::vector<std::uint32_t> entry_of_;  // per BMP code point: 0, or 1 + index in entries_
    std::vector<Image> entries_;
    std::string images_;          // every image in UTF-8, one after another
    bool plain_ascii_[128] = {};  // copied as it is: no image, no line break
};

}  // namespace mardovane
