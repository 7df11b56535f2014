#pragma once

#include <cstdint>
#include <vector>

namespace mardovane {

// One entry per UTF-16 code unit for a pass to count or mark characters in, zero between
// uses. Zeroing 65,536 entries for every split would cost more than splitting a short
// piece, and the splitter splits many: the table is made once a thread, and each use
// zeroes only the entries it set, on every way out, a thrown exception included.
class ScratchTable {
  public:
    // The table of the calling thread.
    static ScratchTable& of_this_thread();

    // One use of the table: the entries it sets are zero again when it ends.
    class Use {
      public:
        explicit Use(ScratchTable& table) : entries_(table.entries_) {}
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

        std::uint32_t operator[](char16_t c) const { return entries_[c]; }
        // Sets a character's entry, which is remembered as set first: should remembering
        // it fail for want of memory, the entry stays zero.
        void set(char16_t c, std::uint32_t value) {
            if (entries_[c] == 0) {
                touched_.push_back(c);
            }
            entries_[c] = value;
        }
        // Adds one to the entry of `c`; true when it was zero before.
        bool count(char16_t c) {
            if (entries_[c] != 0) {
                ++entries_[c];
                return false;
            }
            touched_.push_back(c);
            entries_[c] = 1;
            return true;
        }
        // Every character whose entry is set, in the order they were first set.
        const std::vector<char16_t>& touched() const { return touched_; }

      private:
        std::vector<std::uint32_t>& entries_;
        std::vector<char16_t> touched_;
    };

    // Whether every entry is zero: what each use must leave behind.
    bool all_zero() const;

  private:
    ScratchTable();
    std::vector<std::uint32_t> entries_;
};

}  // namespace mardovane
