#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "substitution/character_images.h"
#include "substitution/keyword_table.h"

namespace mardovane {

// A table can make the text grow without bound (the pair (a, aa) thirty times doubles it
// thirty times). A split whose result would pass this many UTF-16 code units fails instead
// of exhausting memory, and the caller keeps the text it had. Only what must be held
// counts: the text given and the result; a text between two pairs that later pairs shrink
// again is passed from pair to pair in chunks, never held whole.
inline constexpr std::size_t kMaxResultLength = std::size_t{256} * 1024 * 1024;

struct ResultTooLarge {
    std::size_t limit = kMaxResultLength;
    // The text given was already longer than the limit, before any pair.
    bool text_given_too_large = false;

    friend bool operator==(const ResultTooLarge&, const ResultTooLarge&) = default;
};

// The pairs of a table, prepared for splitting. Applying it gives exactly the text that
// replacing the pairs one after another, in file order, gives: left to right, without
// overlaps, the replacement never searched again within its own pair, an empty text to
// find changing nothing. A run of consecutive pairs whose texts to find are single code
// units is composed into one per-character mapping and applied in one pass; every other
// pair makes a pass of its own. The unpaired last line of an odd table is ignored.
//
// A plan may be applied on many threads at once, and a split that fails for want of
// memory leaves nothing behind that a later split on the same thread could trip on.
class SplitPlan {
  public:
    explicit SplitPlan(const KeywordTable& table);
    // The same, letting the table go once the plan holds what it needs of it, before the
    // split starts.
    explicit SplitPlan(KeywordTable&& table);
    ~SplitPlan();
    SplitPlan(SplitPlan&&) noexcept;
    SplitPlan& operator=(SplitPlan&&) noexcept;

    // Fails when the text given or the result is longer than max_length code units (which
    // is itself capped at kMaxResultLength). `changed`, where given, says whether any pair
    // replaced anything, so that a caller need not compare the texts; `replacements`, how
    // many places the passes replaced: with a table of single characters, every shipped
    // table, how many characters of the text were split.
    [[nodiscard]] std::variant<std::u16string, ResultTooLarge> apply(
        std::u16string text, std::size_t max_length = kMaxResultLength, bool* changed = nullptr,
        std::size_t* replacements = nullptr) const;

    // Where every pair finds a single character, what one split makes of each character
    // that some pair finds (characters apart split independently); none for a plan with
    // longer texts to find, or an image longer than max_image_length.
    [[nodiscard]] std::optional<CharacterImages> character_images(
        std::size_t max_image_length) const;

    class Pass;

  private:
    // The passes from `first` on, streamed over `text`: what a pass makes goes on to the
    // next in chunks, and only the result is held.
    std::variant<std::u16string, ResultTooLarge> apply_streamed(std::u16string_view text,
                                                                std::size_t first,
                                                                std::size_t max_length,
                                                                std::size_t& replacements) const;
    const class CharacterRunPass* only_character_run() const;

    std::vector<std::unique_ptr<Pass>> passes_;
};

// One split of `text` with `table`.
[[nodiscard]] std::variant<std::u16string, ResultTooLarge> split(
    std::u16string_view text, const KeywordTable& table, std::size_t max_length = kMaxResultLength);

}  // namespace mardovane
