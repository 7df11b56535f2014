#include "substitution/string_pass.h"

namespace mardovane {

SplitPlan::Pass::Outcome StringPass::apply(std::u16string& text, std::size_t max_length,
                                           ScratchTable&, std::size_t& replacements) const {
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
    replacements += matches;
    return Outcome::Changed;
}

// Holds back only what may be the start of a match that the next chunk completes. A
// match found whole in what is held is the leftmost one: a match starting further left
// would end further left too, and would have been found first.
class StringPass::Stream final : public PassStream {
  public:
    Stream(const StringPass& pass, UnitSink& next) : pass_(pass), out_(next) {}

    bool write(std::u16string_view units) override {
        held_ += units;
        const std::u16string_view find = pass_.find_;
        std::size_t copied = 0;
        for (std::size_t at = held_.find(find); at != std::u16string::npos;
             at = held_.find(find, copied)) {
            ++replacements_;
            if (!out_.write(std::u16string_view(held_).substr(copied, at - copied)) ||
                !out_.write(pass_.replacement_)) {
                return false;
            }
            copied = at + find.size();
        }
        const std::size_t undecided = held_.size() - std::min(held_.size(), find.size() - 1);
        const std::size_t safe = std::max(copied, undecided);
        if (!out_.write(std::u16string_view(held_).substr(copied, safe - copied))) {
            return false;
        }
        held_.erase(0, safe);
        return true;
    }
    bool end() override { return out_.write(held_) && out_.end(); }
    std::size_t replacements() const override { return replacements_; }

  private:
    const StringPass& pass_;
    ChunkedWriter out_;
    std::u16string held_;
    std::size_t replacements_ = 0;
};

std::unique_ptr<PassStream> StringPass::stream(UnitSink& next) const {
    return std::make_unique<Stream>(*this, next);
}

}  // namespace mardovane
