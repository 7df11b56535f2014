#pragma once

#include <string>
#include <string_view>

#include "substitution/split_pass.h"

namespace mardovane {

// A pair whose text to find is longer than one code unit: one scan of its own, left to
// right, matches never overlapping, the replacement never searched again.
class StringPass final : public SplitPlan::Pass {
  public:
    StringPass(std::u16string_view find, std::u16string_view replacement)
        : find_(find), replacement_(replacement) {}

    Outcome apply(std::u16string& text, std::size_t max_length, ScratchTable& scratch,
                  std::size_t& replacements) const override;
    std::unique_ptr<PassStream> stream(UnitSink& next) const override;

  private:
    class Stream;

    std::u16string find_;
    std::u16string replacement_;
};

}  // namespace mardovane
