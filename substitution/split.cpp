#include "substitution/split.h"

#include <algorithm>
#include <bitset>
#include <limits>
#include <utility>

namespace mardovane {

class SplitPlan::Pass {
  public:
    virtual ~Pass() = default;
    // Rewrites `text` in place; returns false, leaving `text` as it was, when the result
    // would be longer than max_length. `per_character` is scratch space of one entry per
    // UTF-16 code unit, all zero, shared by the passes of one split: a pass leaves it zero.
    virtual bool apply(std::u16string& text, std::size_t max_length,
                       std::vector<std::uint32_t>& per_character) const = 0;
};

namespace {

// A pair whose text to find is longer than one code unit: one scan of its own.
class StringPass final : public SplitPlan::Pass {
  public:
    StringPass(std::u16string find, std::u16string replacement)
        : find_(std::move(find)), replacement_(std::move(replacement)) {}

    bool apply(std::u16string& text, std::size_t max_length,
               std::vector<std::uint32_t>&) const override {
        std::size_t position = text.find(find_);
        if (position == std::u16string::npos) {
            return true;
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
            return false;
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
        return true;
    }

  private:
    std::u16string find_;
    std::u16string replacement_;
};

// Consecutive pairs whose texts to find are single code units. Replacing single code units
// acts on each character of the text independently, so the whole run is one mapping from a
// character to its final image. The image of the character matched by pair j is the
// concatenation, over the characters of j's replacement, of what the pairs after j make of
// each: so images depend only on later pairs and are computed from the last pair back,
// only for the pairs that the text's own characters reach.
class CharacterRunPass final : public SplitPlan::Pass {
  public:
    void add(char16_t find, std::u16string_view replacement) {
        is_find_.set(find);
        by_character_.emplace_back(find, static_cast<std::uint32_t>(replacement_begin_.size()));
        replacement_begin_.push_back(units_.size());
        units_ += replacement;
    }

    // Resolves, once per plan, which later pair (if any) takes up each replacement unit.
    void finish() {
        std::sort(by_character_.begin(), by_character_.end());
        replacement_begin_.push_back(units_.size());
        later_pair_.resize(units_.size());
        for (std::uint32_t pair = 0; pair + 1 < replacement_begin_.size(); ++pair) {
            for (std::size_t unit = replacement_begin_[pair]; unit < replacement_begin_[pair + 1];
                 ++unit) {
                later_pair_[unit] = next_pair(units_[unit], pair + 1);
            }
        }
    }

    bool apply(std::u16string& text, std::size_t max_length,
               std::vector<std::uint32_t>& per_character) const override {
        // First pass: how often each character that some pair finds occurs. Only those
        // characters' entries are touched, and they are zeroed again on the way out.
        std::vector<char16_t> roots;
        struct Rezero {
            std::vector<std::uint32_t>& entries;
            const std::vector<char16_t>& touched;
            ~Rezero() {
                for (const char16_t c : touched) {
                    entries[c] = 0;
                }
            }
        } rezero{per_character, roots};
        for (const char16_t c : text) {
            if (is_find_[c] && per_character[c]++ == 0) {
                roots.push_back(c);
            }
        }
        if (roots.empty()) {
            return true;
        }
        std::vector<std::uint32_t> root_pairs;
        root_pairs.reserve(roots.size());
        for (const char16_t root : roots) {
            root_pairs.push_back(next_pair(root, 0));
        }

        // The pairs reachable from the text, last pair first.
        const std::size_t pair_count = replacement_begin_.size() - 1;
        std::vector<std::uint32_t> reached;
        std::vector<bool> is_reached(pair_count, false);
        std::vector<std::uint32_t> stack(root_pairs);
        while (!stack.empty()) {
            const std::uint32_t pair = stack.back();
            stack.pop_back();
            if (is_reached[pair]) {
                continue;
            }
            is_reached[pair] = true;
            reached.push_back(pair);
            for (std::size_t unit = replacement_begin_[pair]; unit < replacement_begin_[pair + 1];
                 ++unit) {
                if (later_pair_[unit] != kNoPair) {
                    stack.push_back(later_pair_[unit]);
                }
            }
        }
        std::sort(reached.begin(), reached.end(), std::greater<>());

        // Image lengths, saturating just past the limit so that nothing overflows.
        const std::uint64_t saturated = static_cast<std::uint64_t>(max_length) + 1;
        std::vector<std::uint32_t> slot(pair_count, 0);
        std::vector<std::uint64_t> lengths(reached.size(), 0);
        for (std::uint32_t i = 0; i < reached.size(); ++i) {
            const std::uint32_t pair = reached[i];
            slot[pair] = i;
            std::uint64_t length = 0;
            for (std::size_t unit = replacement_begin_[pair]; unit < replacement_begin_[pair + 1];
                 ++unit) {
                const std::uint32_t later = later_pair_[unit];
                length =
                    std::min(saturated, length + (later != kNoPair ? lengths[slot[later]] : 1));
            }
            lengths[i] = length;
        }
        // Characters no pair finds stay one code unit each; each root becomes its image.
        std::uint64_t total = text.size();
        for (const char16_t root : roots) {
            total -= per_character[root];
        }
        for (std::size_t i = 0; i < roots.size(); ++i) {
            const std::uint64_t image = lengths[slot[root_pairs[i]]];
            total = std::min(saturated, total + image * per_character[roots[i]]);
        }
        if (total > max_length) {
            return false;
        }

        // All images in one buffer, each after the images of the later pairs it is made of.
        std::vector<std::size_t> offsets(reached.size() + 1, 0);
        for (std::uint32_t i = 0; i < reached.size(); ++i) {
            offsets[i + 1] = offsets[i] + static_cast<std::size_t>(lengths[i]);
        }
        std::u16string images(offsets.back(), u'\0');
        for (std::uint32_t i = 0; i < reached.size(); ++i) {
            const std::uint32_t pair = reached[i];
            char16_t* out = images.data() + offsets[i];
            for (std::size_t unit = replacement_begin_[pair]; unit < replacement_begin_[pair + 1];
                 ++unit) {
                if (const std::uint32_t later = later_pair_[unit]; later != kNoPair) {
                    out = std::copy(images.data() + offsets[slot[later]],
                                    images.data() + offsets[slot[later] + 1], out);
                } else {
                    *out++ = units_[unit];
                }
            }
        }

        // Second pass: per_character now holds 1 + the image slot of each root, 0 elsewhere.
        for (std::size_t i = 0; i < roots.size(); ++i) {
            per_character[roots[i]] = slot[root_pairs[i]] + 1;
        }
        std::u16string result(static_cast<std::size_t>(total), u'\0');
        char16_t* out = result.data();
        for (const char16_t c : text) {
            const std::uint32_t image = per_character[c];
            if (image == 0) {
                *out++ = c;
                continue;
            }
            const char16_t* from = images.data() + offsets[image - 1];
            const char16_t* to = images.data() + offsets[image];
            while (from != to) {
                *out++ = *from++;
            }
        }
        text.swap(result);
        return true;
    }

  private:
    static constexpr std::uint32_t kNoPair = std::numeric_limits<std::uint32_t>::max();

    // The first pair at index `from` or later that finds `c`, or kNoPair.
    std::uint32_t next_pair(char16_t c, std::uint32_t from) const {
        if (!is_find_[c]) {
            return kNoPair;
        }
        const auto it = std::lower_bound(by_character_.begin(), by_character_.end(),
                                         std::pair<char16_t, std::uint32_t>(c, from));
        return it != by_character_.end() && it->first == c ? it->second : kNoPair;
    }

    std::vector<std::pair<char16_t, std::uint32_t>> by_character_;  // (find, pair), sorted
    std::bitset<std::size_t{1} << 16> is_find_;
    std::u16string units_;                        // all replacements, one after another
    std::vector<std::size_t> replacement_begin_;  // pair j's replacement starts here
    std::vector<std::uint32_t> later_pair_;       // per unit: the later pair that finds it
};

}  // namespace

SplitPlan::SplitPlan(const KeywordTable& table) {
    CharacterRunPass* run = nullptr;
    for (std::size_t pair = 0; pair < table.pair_count(); ++pair) {
        const std::u16string& find = table.find_text(pair);
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

SplitPlan::~SplitPlan() = default;
SplitPlan::SplitPlan(SplitPlan&&) noexcept = default;
SplitPlan& SplitPlan::operator=(SplitPlan&&) noexcept = default;

std::variant<std::u16string, ResultTooLarge> SplitPlan::apply(std::u16string text,
                                                              std::size_t max_length) const {
    max_length = std::min(max_length, kMaxResultLength);
    if (text.size() > max_length) {
        return ResultTooLarge{max_length};
    }
    std::vector<std::uint32_t> per_character(std::size_t{1} << 16, 0);
    for (const auto& pass : passes_) {
        if (!pass->apply(text, max_length, per_character)) {
            return ResultTooLarge{max_length};
        }
    }
    return text;
}

std::variant<std::u16string, ResultTooLarge> split(std::u16string_view text,
                                                   const KeywordTable& table,
                                                   std::size_t max_length) {
    return SplitPlan(table).apply(std::u16string(text), max_length);
}

}  // namespace mardovane
