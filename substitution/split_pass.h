#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "substitution/scratch_table.h"
#include "substitution/split.h"

namespace mardovane {

// Where a pass streamed over the text in chunks writes what it makes.
class UnitSink {
  public:
    virtual ~UnitSink() = default;
    // False when the sink wants nothing more: the text it holds would be too large.
    [[nodiscard]] virtual bool write(std::u16string_view units) = 0;
    // The text has ended: what is held back goes on.
    [[nodiscard]] virtual bool end() = 0;
};

// A pass taking the text in chunks and writing to the next sink. How many replacements it
// made is known once the text has ended.
class PassStream : public UnitSink {
  public:
    virtual std::size_t replacements() const = 0;
};

// One pass of a plan over the text: a pair with a longer text to find, or a run of pairs
// whose texts to find are single code units.
class SplitPlan::Pass {
  public:
    enum class Outcome { Unchanged, Changed, TooLarge };
    virtual ~Pass() = default;

    // Rewrites the whole `text` in place, saying whether it replaced anything and adding
    // to `replacements` how many times; leaves `text` as it was when the result would be
    // longer than max_length.
    virtual Outcome apply(std::u16string& text, std::size_t max_length, ScratchTable& scratch,
                          std::size_t& replacements) const = 0;

    // The same pass over a text given in chunks, writing its result to `next` as it goes,
    // so that a text too large to hold between two passes is never held.
    virtual std::unique_ptr<PassStream> stream(UnitSink& next) const = 0;
};

// Gathers what a stream writes, in chunks of about this many units.
inline constexpr std::size_t kStreamChunkUnits = std::size_t{1} << 16;

// Holds what a pass writes and hands it to the next sink in chunks, not unit by unit.
class ChunkedWriter {
  public:
    explicit ChunkedWriter(UnitSink& next) : next_(next) {}
    [[nodiscard]] bool write(std::u16string_view units) {
        held_ += units;
        return held_.size() < kStreamChunkUnits || flush();
    }
    [[nodiscard]] bool write(char16_t unit) {
        held_ += unit;
        return held_.size() < kStreamChunkUnits || flush();
    }
    [[nodiscard]] bool flush() {
        const bool wanted = held_.empty() || next_.write(held_);
        held_.clear();
        return wanted;
    }
    [[nodiscard]] bool end() { return flush() && next_.end(); }

  private:
    UnitSink& next_;
    std::u16string held_;
};

}  // namespace mardovane
