#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "substitution/split_pass.h"
#include "substitution/zeroed_array.h"

namespace mardovane {

// Consecutive pairs whose texts to find are single code units. Replacing single code units
// acts on each character of the text independently, so the whole run is one mapping from a
// character to its final image. The image of the character matched by pair j is the
// concatenation, over the characters of j's replacement, of what the pairs after j make of
// each: so images depend only on later pairs, and are resolved once per plan from the last
// pair back. A split then only counts, adds up and copies.
//
// Images are never all built: a table of renames and doublings can give every one of
// thousands of pairs an image of millions of characters. A pair whose replacement is one
// character that a later pair takes shares that pair's image; short images are built once;
// long ones are written straight into the result, walking the pairs they are made of. So
// the work and the memory follow the length of the result, not the size of the images.
class CharacterRunPass final : public SplitPlan::Pass {
  public:
    void add(char16_t find, std::u16string_view replacement);
    // Called once every pair of the run has been added, before the run is applied.
    void finish();

    // The characters some pair of the run finds, in order.
    std::vector<char16_t> finds() const;

    Outcome apply(std::u16string& text, std::size_t max_length, ScratchTable& scratch,
                  std::size_t& replacements) const override;
    std::unique_ptr<PassStream> stream(UnitSink& next) const override;

  private:
    class Stream;
    struct Roots;
    using Walk = std::vector<std::pair<std::uint32_t, std::size_t>>;  // (pair, next unit)

    static constexpr std::uint32_t kNoPair = UINT32_MAX;
    // Images up to this long are built once and copied; longer ones are walked.
    static constexpr std::uint64_t kBuiltImageLength = 16;
    // Image lengths saturate here, far past any limit, so that nothing overflows.
    static constexpr std::uint64_t kLengthCap = std::uint64_t{1} << 62;

    void sort_by_character();
    void link_replacements();
    void resolve_images();
    void build_short_image(std::size_t pair);

    // The pair whose image a character of the text takes, or kNoPair.
    std::uint32_t image_of(char16_t c) const {
        const std::uint32_t pair = next_pair(c, 0);
        return pair == kNoPair ? kNoPair : same_as_[pair];
    }
    std::uint32_t next_pair(char16_t c, std::uint32_t from) const;

    void count_roots(std::u16string_view text, Roots& roots) const;
    std::uint64_t result_length(std::size_t text_length, const Roots& roots,
                                std::size_t max_length) const;
    std::u16string write_result(std::u16string_view text, std::size_t total, Roots& roots) const;
    std::uint32_t packed_image(std::uint32_t pair) const;

    // Writes a long image, walking the pairs it is made of, to `put` a unit or a short
    // image at a time; stops early when `put` says false.
    template <typename Put>
    bool walk_long_image(std::uint32_t pair, Walk& walk, Put&& put) const;

    std::vector<std::pair<char16_t, std::uint32_t>> by_character_;  // (find, pair), sorted
    ZeroedArray<std::uint32_t> first_of_;  // a long run's: 1 + where c's pairs start, or 0
    std::bitset<std::size_t{1} << 16> is_find_;
    std::u16string units_;                        // all replacements, one after another
    std::vector<std::size_t> replacement_begin_;  // pair j's replacement starts here
    std::vector<std::uint32_t> later_pair_;       // per unit: the later pair that finds it
    std::vector<std::uint64_t> length_;           // per pair: its image's length, saturated
    std::vector<std::uint32_t> same_as_;          // per pair: the pair whose image it is
    std::vector<std::size_t> built_begin_;        // per pair: where its short image starts
    std::u16string built_;                        // the short images, one after another
};

}  // namespace mardovane
