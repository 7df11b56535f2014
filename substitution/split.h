#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "substitution/keyword_table.h"

namespace mardovane {

// A table can make the text grow without bound (the pair (a, aa) thirty times doubles it
// thirty times). Past this many UTF-16 code units the split fails instead of exhausting
// memory, and the caller keeps the text it had.
inline constexpr std::size_t kMaxResultLength = std::size_t{256} * 1024 * 1024;

struct ResultTooLarge {
    std::size_t limit = kMaxResultLength;
};

// Characters and what one split makes of each, all images in one text: a table of tens of
// thousands of pairs then takes one buffer, not a string a character.
struct CharacterImages {
    std::vector<char16_t> characters;
    std::u16string text;              // every image, one after another
    std::vector<std::uint32_t> ends;  // where each character's image ends in text

    std::size_t size() const { return characters.size(); }
    std::u16string_view image(std::size_t index) const {
        const std::size_t begin = index == 0 ? 0 : ends[index - 1];
        return std::u16string_view(text).substr(begin, ends[index] - begin);
    }
    void append(char16_t character, std::u16string_view image) {
        characters.push_back(character);
        text += image;
        ends.push_back(static_cast<std::uint32_t>(text.size()));
    }
};

// The pairs of a table, prepared for splitting. Applying it gives exactly the text that
// replacing the pairs one after another, in file order, gives: left to right, without
// overlaps, the replacement never searched again within its own pair, an empty text to
// find changing nothing. A run of consecutive pairs whose texts to find are single code
// units is composed into one per-character mapping and applied in one pass; every other
// pair makes a pass of its own. The unpaired last line of an odd table is ignored.
class SplitPlan {
  public:
    explicit SplitPlan(const KeywordTable& table);
    // The same, letting the table go once the plan holds what it needs of it, before the
    // split starts.
    explicit SplitPlan(KeywordTable&& table);
    ~SplitPlan();
    SplitPlan(SplitPlan&&) noexcept;
    SplitPlan& operator=(SplitPlan&&) noexcept;

    // Fails when the text held between two passes would exceed max_length code units
    // (which is itself capped at kMaxResultLength). `changed`, where given, says whether any
    // pair replaced anything, so that a caller need not compare the texts.
    [[nodiscard]] std::variant<std::u16string, ResultTooLarge> apply(
        std::u16string text, std::size_t max_length = kMaxResultLength,
        bool* changed = nullptr) const;

    // Where every pair finds a single character, what one split makes of each character
    // that some pair finds (characters apart split independently); none for a plan with
    // longer texts to find, or an image longer than max_image_length.
    [[nodiscard]] std::optional<CharacterImages> character_images(
        std::size_t max_image_length) const;

    class Pass;

  private:
    std::vector<std::unique_ptr<Pass>> passes_;
};

// One split of `text` with `table`.
[[nodiscard]] std::variant<std::u16string, ResultTooLarge> split(
    std::u16string_view text, const KeywordTable& table, std::size_t max_length = kMaxResultLength);

}  // namespace mardovane
