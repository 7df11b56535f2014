#include "substitution/split.h"

#include <algorithm>
#include <utility>

#include "substitution/character_run_pass.h"
#include "substitution/split_pass.h"
#include "substitution/string_pass.h"

namespace mardovane {
namespace {

// The end of a streamed split: holds the result, and refuses more past the limit.
class ResultSink final : public UnitSink {
  public:
    explicit ResultSink(std::size_t max_length) : max_length_(max_length) {}
    bool write(std::u16string_view units) override {
        if (units.size() > max_length_ - result_.size()) {
            return false;
        }
        result_ += units;
        return true;
    }
    bool end() override { return true; }
    std::u16string take() { return std::move(result_); }

  private:
    std::size_t max_length_;
    std::u16string result_;
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
                                                              std::size_t max_length, bool* changed,
                                                              std::size_t* replacements) const {
    max_length = std::min(max_length, kMaxResultLength);
    std::size_t replaced = 0;
    const auto tell = [&] {
        if (changed != nullptr) {
            *changed = replaced != 0;
        }
        if (replacements != nullptr) {
            *replacements = replaced;
        }
    };
    tell();
    if (text.size() > max_length) {
        return ResultTooLarge{max_length, true};
    }
    ScratchTable& scratch = ScratchTable::of_this_thread();
    for (std::size_t i = 0; i < passes_.size(); ++i) {
        if (passes_[i]->apply(text, max_length, scratch, replaced) != Pass::Outcome::TooLarge) {
            continue;
        }
        if (i + 1 == passes_.size()) {
            tell();
            return ResultTooLarge{max_length};  // the last pass counts its result exactly
        }
        // Later pairs may shrink it again: from here on the text goes through in chunks,
        // and only the result is held.
        auto result = apply_streamed(text, i, max_length, replaced);
        tell();
        return result;
    }
    tell();
    return text;
}

std::variant<std::u16string, ResultTooLarge> SplitPlan::apply_streamed(
    std::u16string_view text, std::size_t first, std::size_t max_length,
    std::size_t& replacements) const {
    ResultSink result(max_length);
    // Built from the last pass back, each writing to the one after it.
    std::vector<std::unique_ptr<PassStream>> streams(passes_.size() - first);
    UnitSink* next = &result;
    for (std::size_t i = passes_.size(); i-- > first;) {
        streams[i - first] = passes_[i]->stream(*next);
        next = streams[i - first].get();
    }
    bool fits = true;
    for (std::size_t at = 0; fits && at < text.size(); at += kStreamChunkUnits) {
        fits = next->write(text.substr(at, kStreamChunkUnits));
    }
    fits = fits && next->end();
    for (const auto& stream : streams) {
        replacements += stream->replacements();
    }
    if (!fits) {
        return ResultTooLarge{max_length};
    }
    return result.take();
}

const CharacterRunPass* SplitPlan::only_character_run() const {
    return passes_.size() == 1 ? dynamic_cast<const CharacterRunPass*>(passes_[0].get()) : nullptr;
}

std::variant<std::u16string, ResultTooLarge> split(std::u16string_view text,
                                                   const KeywordTable& table,
                                                   std::size_t max_length) {
    return SplitPlan(table).apply(std::u16string(text), max_length);
}

}  // namespace mardovane
