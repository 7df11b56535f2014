#include "substitution/character_run_pass.h"

#include <algorithm>
#include <limits>

namespace mardovane {

// The characters of the text that some pair of the run finds, with their counts in the
// scratch table, which is zero again however the pass ends.
struct CharacterRunPass::Roots {
    explicit Roots(ScratchTable& table) : count(table) {}
    ScratchTable::Use count;
    std::vector<std::uint32_t> image;  // per root, in the order first seen: its image's pair
};

void CharacterRunPass::add(char16_t find, std::u16string_view replacement) {
    is_find_.set(find);
    by_character_.emplace_back(find, static_cast<std::uint32_t>(replacement_begin_.size()));
    replacement_begin_.push_back(units_.size());
    units_ += replacement;
}

std::vector<char16_t> CharacterRunPass::finds() const {
    std::vector<char16_t> characters;
    for (const auto& [c, pair] : by_character_) {
        if (characters.empty() || characters.back() != c) {
            characters.push_back(c);
        }
    }
    return characters;
}

void CharacterRunPass::finish() {
    sort_by_character();
    replacement_begin_.push_back(units_.size());
    link_replacements();
    resolve_images();
}

// Into (character, pair) order. Pairs were added in order, so a stable sort by character
// gives it; a long run (a real table is one) is counted out in two passes instead of
// compared.
void CharacterRunPass::sort_by_character() {
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
void CharacterRunPass::link_replacements() {
    later_pair_.resize(units_.size());
    for (std::uint32_t pair = 0; pair + 1 < replacement_begin_.size(); ++pair) {
        for (std::size_t unit = replacement_begin_[pair]; unit < replacement_begin_[pair + 1];
             ++unit) {
            later_pair_[unit] = next_pair(units_[unit], pair + 1);
        }
    }
}

// Every pair's image length, the pair whose image it shares, and the short images, from
// the last pair back, so that each pair's parts are resolved before it.
void CharacterRunPass::resolve_images() {
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
void CharacterRunPass::build_short_image(std::size_t pair) {
    built_begin_[pair] = built_.size();
    for (std::size_t unit = replacement_begin_[pair]; unit < replacement_begin_[pair + 1]; ++unit) {
        if (const std::uint32_t later = later_pair_[unit]; later != kNoPair) {
            const std::uint32_t part = same_as_[later];
            built_.append(built_, built_begin_[part], static_cast<std::size_t>(length_[part]));
        } else {
            built_ += units_[unit];
        }
    }
}

// The first pair at index `from` or later that finds `c`, or kNoPair.
std::uint32_t CharacterRunPass::next_pair(char16_t c, std::uint32_t from) const {
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
    const auto it =
        std::lower_bound(begin, by_character_.end(), std::pair<char16_t, std::uint32_t>(c, from));
    return it != by_character_.end() && it->first == c ? it->second : kNoPair;
}

SplitPlan::Pass::Outcome CharacterRunPass::apply(std::u16string& text, std::size_t max_length,
                                                 ScratchTable& scratch,
                                                 std::size_t& replacements) const {
    Roots roots(scratch);
    count_roots(text, roots);
    if (roots.count.touched().empty()) {
        return Outcome::Unchanged;
    }
    const std::uint64_t total = result_length(text.size(), roots, max_length);
    if (total > max_length) {
        return Outcome::TooLarge;
    }
    std::size_t found = 0;
    for (const char16_t root : roots.count.touched()) {
        found += roots.count[root];
    }
    text = write_result(text, static_cast<std::size_t>(total), roots);
    replacements += found;
    return Outcome::Changed;
}

void CharacterRunPass::count_roots(std::u16string_view text, Roots& roots) const {
    for (const char16_t c : text) {
        if (is_find_[c]) {
            (void)roots.count.count(c);
        }
    }
    const auto& found = roots.count.touched();
    roots.image.reserve(found.size());
    for (const char16_t c : found) {
        roots.image.push_back(image_of(c));
    }
}

// Characters no pair finds stay one code unit each; each root becomes its image.
std::uint64_t CharacterRunPass::result_length(std::size_t text_length, const Roots& roots,
                                              std::size_t max_length) const {
    const std::uint64_t saturated = static_cast<std::uint64_t>(max_length) + 1;
    const auto& found = roots.count.touched();
    std::uint64_t total = text_length;
    for (const char16_t root : found) {
        total -= roots.count[root];
    }
    for (std::size_t i = 0; i < found.size(); ++i) {
        const std::uint64_t image = length_[roots.image[i]];
        const std::uint64_t count = roots.count[found[i]];
        if (image != 0 && count > (saturated - total) / image) {
            return saturated;
        }
        total += image * count;
    }
    return total;
}

namespace {

// What the scratch table holds for a root while the result is written: where its short
// image lies in the built images and how long it is, or, flagged, the pair of a long one.
constexpr std::uint32_t kWalkedImageFlag = std::uint32_t{1} << 31;
constexpr std::uint32_t kPackedLengthBits = 5;  // short images are at most 16 long
constexpr std::size_t kMaxPackedOffset = (std::size_t{1} << (31 - kPackedLengthBits)) - 2;

std::uint32_t pack_built_image(std::size_t offset, std::uint64_t length) {
    return static_cast<std::uint32_t>((offset + 1) << kPackedLengthBits) |
           static_cast<std::uint32_t>(length);
}
std::size_t packed_offset(std::uint32_t packed) {
    return (packed >> kPackedLengthBits) - 1;
}
std::uint32_t packed_length(std::uint32_t packed) {
    return packed & ((1u << kPackedLengthBits) - 1);
}

}  // namespace

// Never zero, which the scratch table keeps for characters that no pair finds.
std::uint32_t CharacterRunPass::packed_image(std::uint32_t pair) const {
    const std::size_t offset = built_begin_[pair];
    if (length_[pair] > kBuiltImageLength || offset > kMaxPackedOffset) {
        return kWalkedImageFlag | pair;  // the walk writes short images too, if more slowly
    }
    return pack_built_image(offset, length_[pair]);
}

std::u16string CharacterRunPass::write_result(std::u16string_view text, std::size_t total,
                                              Roots& roots) const {
    // The scratch table now holds each root's packed image, and 0 elsewhere.
    const auto& found = roots.count.touched();
    for (std::size_t i = 0; i < found.size(); ++i) {
        roots.count.set(found[i], packed_image(roots.image[i]));
    }
    std::u16string result(total, u'\0');
    char16_t* out = result.data();
    const char16_t* built = built_.data();
    Walk walk;
    for (const char16_t c : text) {
        const std::uint32_t image = roots.count[c];
        if (image == 0) {
            *out++ = c;
        } else if ((image & kWalkedImageFlag) == 0) {
            const char16_t* from = built + packed_offset(image);
            const std::uint32_t length = packed_length(image);
            for (std::uint32_t k = 0; k < length; ++k) {
                out[k] = from[k];
            }
            out += length;
        } else {
            walk_long_image(image & ~kWalkedImageFlag, walk, [&out](std::u16string_view part) {
                out = std::copy(part.begin(), part.end(), out);
                return true;
            });
        }
    }
    return result;
}

// Depth first, with a stack of its own rather than recursion: chains of pairs can be as
// long as the table.
template <typename Put>
bool CharacterRunPass::walk_long_image(std::uint32_t pair, Walk& walk, Put&& put) const {
    walk.assign(1, {pair, replacement_begin_[pair]});
    while (!walk.empty()) {
        auto& [current, unit] = walk.back();
        if (unit == replacement_begin_[current + 1]) {
            walk.pop_back();
            continue;
        }
        const std::uint32_t later = later_pair_[unit];
        const std::size_t at = unit++;
        if (later == kNoPair) {
            if (!put(std::u16string_view(units_).substr(at, 1))) {
                return false;
            }
            continue;
        }
        const std::uint32_t part = same_as_[later];
        if (length_[part] == 0) {
            continue;
        }
        if (length_[part] <= kBuiltImageLength) {
            if (!put(std::u16string_view(built_).substr(built_begin_[part],
                                                        static_cast<std::size_t>(length_[part])))) {
                return false;
            }
        } else {
            walk.emplace_back(part, replacement_begin_[part]);
        }
    }
    return true;
}

// The run over a text in chunks: each character's image written as it comes, a long one
// a chunk at a time, so that no image is held whole.
class CharacterRunPass::Stream final : public PassStream {
  public:
    Stream(const CharacterRunPass& pass, UnitSink& next)
        : pass_(pass), out_(next), image_of_(std::size_t{1} << 16) {}

    bool write(std::u16string_view units) override {
        for (const char16_t c : units) {
            const std::uint32_t pair = image_pair(c);
            if (pair == kNoPair) {
                if (!out_.write(c)) {
                    return false;
                }
                continue;
            }
            ++replacements_;
            const std::uint64_t length = pass_.length_[pair];
            if (length <= kBuiltImageLength) {
                if (!out_.write(
                        std::u16string_view(pass_.built_)
                            .substr(pass_.built_begin_[pair], static_cast<std::size_t>(length)))) {
                    return false;
                }
            } else if (!pass_.walk_long_image(pair, walk_, [this](std::u16string_view part) {
                           return out_.write(part);
                       })) {
                return false;
            }
        }
        return true;
    }
    bool end() override { return out_.end(); }
    std::size_t replacements() const override { return replacements_; }

  private:
    // Looked up once a character, then remembered: 1 + the pair, or kNoPair.
    std::uint32_t image_pair(char16_t c) {
        if (!pass_.is_find_[c]) {
            return kNoPair;
        }
        if (image_of_[c] == 0) {
            image_of_[c] = pass_.image_of(c) + 1;
        }
        return image_of_[c] - 1;
    }

    const CharacterRunPass& pass_;
    ChunkedWriter out_;
    ZeroedArray<std::uint32_t> image_of_;
    Walk walk_;
    std::size_t replacements_ = 0;
};

std::unique_ptr<PassStream> CharacterRunPass::stream(UnitSink& next) const {
    return std::make_unique<Stream>(*this, next);
}

}  // namespace mardovane
