#include "substitution/split.h"

#include <algorithm>
#include <bitset>
#include <limits>
#include <optional>
#include <utility>

#include "substitution/zeroed_array.h"

namespace mardovane {

class SplitPlan::Pass {
  public:
    enum class Outcome { Unchanged, Changed, TooLarge };
    virtual ~Pass() = default;
    // Rewrites `text` in place, saying whether it replaced anything; leaves `text` as it
    // was when the result would be longer than max_length. `per_character` is scratch space of one
    // entry per UTF-16 code unit, all zero, shared by the passes of one split: a pass leaves it
    // zero.
    virtual Outcome apply(std::u16string& text, std::size_t max_length,
                          std::vector<std::uint32_t>& per_character) const = 0;
};

namespace {

// A pair whose text to find is longer than one code unit: one scan of its own.
class StringPass final : public SplitPlan::Pass {
  public:
    StringPass(std::u16string_view find, std::u16string_view replacement)
        : find_(find), replacement_(replacement) {}

    Outcome apply(std::u16string& text, std::size_t max_length,
                  std::vector<std::uint32_t>&) const override {
        std::size_t position = text.find(find_);
        if (position == std::u16string::npos) {
            return Outcome::Unchanged;
        }
        std::size_t matches = 0;
        for (std::size_t at = position; at != std::u16string::npos;
             at = text.find(find_, at + find_.size())) {
            ++matches;
        }
        // matches * find_.size() <= text.size(), so neither line can overflow.
        const std::size_t kept = text.size() - matches * find_.size();
        if (kept > max_length ||
            (!replacement_.empty() && matches > (max_length - kept) / replacement_.size())) {
            return Outcome::TooLarge;
        }
        std::u16string result;
        result.reserve(kept + matches * replacement_.size());
        std::size_t copied = 0;
        for (std::size_t at = position; at != std::u16string::npos;
             at = text.find(find_, at + find_.size())) {
            result.append(text, copied, at - copied);
            result.append(replacement_);
            copied = at + find_.size();
        }
        result.append(text, copied);
        text.swap(result);
        return Outcome::Changed;
    }

  private:
    std::u16string find_;
    std::u16string replacement_;
};

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
    void add(char16_t find, std::u16string_view replacement) {
        is_find_.set(find);
        by_character_.emplace_back(find, static_cast<std::uint32_t>(replacement_begin_.size()));
        replacement_begin_.push_back(units_.size());
        units_ += replacement;
    }

    // The characters some pair of the run finds.
    std::vector<char16_t> finds() const {
        std::vector<char16_t> characters;
        for (const auto& [c, pair] : by_character_) {
            if (characters.empty() || characters.back() != c) {
                characters.push_back(c);
            }
        }
        return characters;
    }

    void finish() {
        sort_by_character();
        replacement_begin_.push_back(units_.size());
        link_replacements();
        resolve_images();
    }

    Outcome apply(std::u16string& text, std::size_t max_length,
                  std::vector<std::uint32_t>& per_character) const override {
        Roots roots(per_character);
        count_roots(text, roots);
        if (roots.characters.empty()) {
            return Outcome::Unchanged;
        }
        const std::uint64_t total = result_length(text.size(), roots, max_length);
        if (total > max_length) {
            return Outcome::TooLarge;
        }
        text = write_result(text, static_cast<std::size_t>(total), roots);
        return Outcome::Changed;
    }

  private:
    static constexpr std::uint32_t kNoPair = std::numeric_limits<std::uint32_t>::max();
    // Images up to this long are built once and copied; longer ones are walked.
    static constexpr std::uint64_t kBuiltImageLength = 16;
    // Image lengths saturate here, far past any limit, so that nothing overflows.
    static constexpr std::uint64_t kLengthCap = std::uint64_t{1} << 62;

    // The characters of the text that some pair of the run finds, with their counts in the
    // shared per-character scratch table, which is zeroed again on the way out.
    struct Roots {
        explicit Roots(std::vector<std::uint32_t>& scratch) : count(scratch) {}
        ~Roots() {
            for (const char16_t c : characters) {
                count[c] = 0;
            }
        }
        Roots(const Roots&) = delete;
        Roots& operator=(const Roots&) = delete;

        std::vector<std::uint32_t>& count;
        std::vector<char16_t> characters;
        std::vector<std::uint32_t> image;  // per character: the pair whose image it takes
    };

    // Into (character, pair) order. Pairs were added in order, so a stable sort by
    // character gives it; a long run (a real table is one) is counted out in two passes
    // instead of compared.
    void sort_by_character() {
        constexpr std::size_t kCountedFrom = 4096;
        if (by_character_.size() < kCountedFrom) {
            std::sort(by_character_.begin(), by_character_.end());
            return;
        }
        std::vector<std::uint32_t> next(std::size_t{1} << 16, 0);
        for (const auto& entry : by_character_) {
            ++next[entry.first];
        }
        std::uint32_t start = 0;
        for (auto& count : next) {
            start += std::exchange(count, start);
        }
        // Where each character's pairs start, for next_pair to go there at once.
        first_of_ = ZeroedArray<std::uint32_t>(std::size_t{1} << 16);
        for (const auto& entry : by_character_) {
            if (first_of_[entry.first] == 0) {
                first_of_[entry.first] = next[entry.first] + 1;
            }
        }
        std::vector<std::pair<char16_t, std::uint32_t>> sorted(by_character_.size());
        for (const auto& entry : by_character_) {
            sorted[next[entry.first]++] = entry;
        }
        by_character_.swap(sorted);
    }

    // Which later pair (if any) takes up each replacement unit.
    void link_replacements() {
        later_pair_.resize(units_.size());
        for (std::uint32_t pair = 0; pair + 1 < replacement_begin_.size(); ++pair) {
            for (std::size_t unit = replacement_begin_[pair]; unit < replacement_begin_[pair + 1];
                 ++unit) {
                later_pair_[unit] = next_pair(units_[unit], pair + 1);
            }
        }
    }

    // Every pair's image length, the pair whose image it shares, and the short images,
    // from the last pair back, so that each pair's parts are resolved before it.
    void resolve_images() {
        const std::size_t pair_count = replacement_begin_.size() - 1;
        length_.assign(pair_count, 0);
        same_as_.assign(pair_count, 0);
        built_begin_.assign(pair_count, 0);
        for (std::size_t pair = pair_count; pair-- > 0;) {
            const std::size_t begin = replacement_begin_[pair];
            const std::size_t end = replacement_begin_[pair + 1];
            if (end - begin == 1 && later_pair_[begin] != kNoPair) {
                // A rename: the same image as the pair that takes its one character.
                same_as_[pair] = same_as_[later_pair_[begin]];
                length_[pair] = length_[later_pair_[begin]];
                continue;
            }
            same_as_[pair] = static_cast<std::uint32_t>(pair);
            std::uint64_t length = 0;
            for (std::size_t unit = begin; unit < end; ++unit) {
                const std::uint32_t later = later_pair_[unit];
                length = std::min(kLengthCap, length + (later != kNoPair ? length_[later] : 1));
            }
            length_[pair] = length;
            if (length <= kBuiltImageLength) {
                build_short_image(pair);
            }
        }
    }

    // A short image is made of short images only, all built before it.
    void build_short_image(std::size_t pair) {
        built_begin_[pair] = built_.size();
        for (std::size_t unit = replacement_begin_[pair]; unit < replacement_begin_[pair + 1];
             ++unit) {
            if (const std::uint32_t later = later_pair_[unit]; later != kNoPair) {
                const std::uint32_t part = same_as_[later];
                built_.append(built_, built_begin_[part], static_cast<std::size_t>(length_[part]));
            } else {
                built_ += units_[unit];
            }
        }
    }

    void count_roots(std::u16string_view text, Roots& roots) const {
        for (const char16_t c : text) {
            if (is_find_[c] && roots.count[c]++ == 0) {
                roots.characters.push_back(c);
            }
        }
        roots.image.reserve(roots.characters.size());
        for (const char16_t c : roots.characters) {
            roots.image.push_back(same_as_[next_pair(c, 0)]);
        }
    }

    // Characters no pair finds stay one code unit each; each root becomes its image.
    std::uint64_t result_length(std::size_t text_length, const Roots& roots,
                                std::size_t max_length) const {
        const std::uint64_t saturated = static_cast<std::uint64_t>(max_length) + 1;
        std::uint64_t total = text_length;
        for (const char16_t root : roots.characters) {
            total -= roots.count[root];
        }
        for (std::size_t i = 0; i < roots.characters.size(); ++i) {
            const std::uint64_t image = length_[roots.image[i]];
            const std::uint64_t count = roots.count[roots.characters[i]];
            if (image != 0 && count > (saturated - total) / image) {
                return saturated;
            }
            total += image * count;
        }
        return total;
    }

    // What the scratch table holds for a root during the write: where its short image
    // lies in the built images, and how long it is; or, flagged, the pair of a long one.
    static constexpr std::uint32_t kLongImage = std::uint32_t{1} << 31;
    static constexpr std::uint32_t kLengthBits = 5;  // short images are at most 16 long
    static constexpr std::size_t kMaxPackedOffset = (std::size_t{1} << (31 - kLengthBits)) - 2;

    std::uint32_t packed_image(std::uint32_t pair) const {
        const std::size_t offset = built_begin_[pair];
        if (length_[pair] > kBuiltImageLength || offset > kMaxPackedOffset) {
            return kLongImage | pair;  // the walk writes short images too, if more slowly
        }
        return static_cast<std::uint32_t>((offset + 1) << kLengthBits) |
               static_cast<std::uint32_t>(length_[pair]);
    }

    std::u16string write_result(std::u16string_view text, std::size_t total, Roots& roots) const {
        // The scratch table now holds each root's packed image, and 0 elsewhere.
        for (std::size_t i = 0; i < roots.characters.size(); ++i) {
            roots.count[roots.characters[i]] = packed_image(roots.image[i]);
        }
        std::u16string result(total, u'\0');
        char16_t* out = result.data();
        const char16_t* built = built_.data();
        std::vector<std::pair<std::uint32_t, std::size_t>> walk;  // (pair, next unit)
        for (const char16_t c : text) {
            const std::uint32_t image = roots.count[c];
            if (image == 0) {
                *out++ = c;
            } else if ((image & kLongImage) == 0) {
                const char16_t* from = built + (image >> kLengthBits) - 1;
                const std::uint32_t length = image & ((1u << kLengthBits) - 1);
                for (std::uint32_t k = 0; k < length; ++k) {
                    out[k] = from[k];
                }
                out += length;
            } else {
                out = write_long_image(image & ~kLongImage, walk, out);
            }
        }
        return result;
    }

    // Walks the pairs a long image is made of, depth first, with a stack of its own rather
    // than recursion: chains of pairs can be as long as the table.
    char16_t* write_long_image(std::uint32_t pair,
                               std::vector<std::pair<std::uint32_t, std::size_t>>& walk,
                               char16_t* out) const {
        walk.assign(1, {pair, replacement_begin_[pair]});
        while (!walk.empty()) {
            auto& [current, unit] = walk.back();
            if (unit == replacement_begin_[current + 1]) {
                walk.pop_back();
                continue;
            }
            const std::uint32_t later = later_pair_[unit];
            const char16_t character = units_[unit];
            ++unit;
            if (later == kNoPair) {
                *out++ = character;
                continue;
            }
            const std::uint32_t part = same_as_[later];
            if (length_[part] == 0) {
                continue;
            }
            if (length_[part] <= kBuiltImageLength) {
                const char16_t* from = built_.data() + built_begin_[part];
                out = std::copy(from, from + length_[part], out);
            } else {
                walk.emplace_back(part, replacement_begin_[part]);
            }
        }
        return out;
    }

    // The first pair at index `from` or later that finds `c`, or kNoPair.
    std::uint32_t next_pair(char16_t c, std::uint32_t from) const {
        if (!is_find_[c]) {
            return kNoPair;
        }
        auto begin = by_character_.begin();
        if (first_of_.size() != 0) {
            // A long run knows where c's pairs start, and the first is usually the one.
            begin += first_of_[c] - 1;
            if (begin->second >= from) {
                return begin->second;
            }
        }
        const auto it = std::lower_bound(begin, by_character_.end(),
                                         std::pair<char16_t, std::uint32_t>(c, from));
        return it != by_character_.end() && it->first == c ? it->second : kNoPair;
    }

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

}  // namespace

SplitPlan::SplitPlan(const KeywordTable& table) {
    CharacterRunPass* run = nullptr;
    for (std::size_t pair = 0; pair < table.pair_count(); ++pair) {
        const std::u16string_view find = table.find_text(pair);
        if (find.empty()) {
            continue;
        }
        if (find.size() == 1) {
            if (run == nullptr) {
                auto pass = std::make_unique<CharacterRunPass>();
                run = pass.get();
                passes_.push_back(std::move(pass));
            }
            run->add(find[0], table.replacement(pair));
        } else {
            if (run != nullptr) {
                run->finish();
                run = nullptr;
            }
            passes_.push_back(std::make_unique<StringPass>(find, table.replacement(pair)));
        }
    }
    if (run != nullptr) {
        run->finish();
    }
}

SplitPlan::SplitPlan(KeywordTable&& table) : SplitPlan(static_cast<const KeywordTable&>(table)) {
    table = KeywordTable();
}

SplitPlan::~SplitPlan() = default;
SplitPlan::SplitPlan(SplitPlan&&) noexcept = default;
SplitPlan& SplitPlan::operator=(SplitPlan&&) noexcept = default;

std::variant<std::u16string, ResultTooLarge> SplitPlan::apply(std::u16string text,
                                                              std::size_t max_length,
                                                              bool* changed) const {
    max_length = std::min(max_length, kMaxResultLength);
    if (changed != nullptr) {
        *changed = false;
    }
    if (text.size() > max_length) {
        return ResultTooLarge{max_length};
    }
    // Zeroed once a thread, not once a split: a pass leaves it zero again, even when it
    // throws, and the splitter applies a plan to many small pieces.
    thread_local std::vector<std::uint32_t> per_character(std::size_t{1} << 16, 0);
    for (const auto& pass : passes_) {
        switch (pass->apply(text, max_length, per_character)) {
            case Pass::Outcome::TooLarge:
                return ResultTooLarge{max_length};
            case Pass::Outcome::Changed:
                if (changed != nullptr) {
                    *changed = true;
                }
                break;
            case Pass::Outcome::Unchanged:
                break;
        }
    }
    return text;
}

std::optional<CharacterImages> SplitPlan::character_images(std::size_t max_image_length) const {
    CharacterImages images;
    if (passes_.empty()) {
        return images;
    }
    const auto* run =
        passes_.size() == 1 ? dynamic_cast<const CharacterRunPass*>(passes_[0].get()) : nullptr;
    if (run == nullptr) {
        return std::nullopt;
    }
    const auto finds = run->finds();
    // Characters apart split independently: one split of them all, each followed by a
    // mark that no pair finds, costs far less than a split of each alone. Should a
    // replacement hold the mark, the marks do not tell the images apart: one at a time.
    char16_t mark = 0;
    for (const char16_t candidate : {u'\uFFFF', u'\uFFFE', u'\uFDD0', u'\uFDD1'}) {
        if (std::find(finds.begin(), finds.end(), candidate) == finds.end()) {
            mark = candidate;
            break;
        }
    }
    if (mark != 0) {
        std::u16string joined;
        joined.reserve(finds.size() * 2);
        for (const char16_t c : finds) {
            joined += c;
            joined += mark;
        }
        auto all = apply(std::move(joined));
        if (auto* text = std::get_if<std::u16string>(&all);
            text != nullptr && static_cast<std::size_t>(
                                   std::count(text->begin(), text->end(), mark)) == finds.size()) {
            // The marks taken out in place, each image moved down to where the last ended.
            images.ends.reserve(finds.size());
            std::size_t kept = 0;
            std::size_t start = 0;
            for (std::size_t i = 0; i < finds.size(); ++i) {
                const std::size_t end = text->find(mark, start);
                if (end - start > max_image_length) {
                    return std::nullopt;
                }
                std::char_traits<char16_t>::move(text->data() + kept, text->data() + start,
                                                 end - start);
                kept += end - start;
                images.ends.push_back(static_cast<std::uint32_t>(kept));
                start = end + 1;
            }
            text->resize(kept);
            images.text = std::move(*text);
            images.characters = finds;
            return images;
        }
    }
    for (const char16_t c : finds) {
        auto image = apply(std::u16string(1, c), max_image_length);
        if (std::holds_alternative<ResultTooLarge>(image)) {
            return std::nullopt;
        }
        images.append(c, std::get<std::u16string>(image));
    }
    return images;
}

std::variant<std::u16string, ResultTooLarge> split(std::u16string_view text,
                                                   const KeywordTable& table,
                                                   std::size_t max_length) {
    return SplitPlan(table).apply(std::u16string(text), max_length);
}

}  // namespace mardovane
