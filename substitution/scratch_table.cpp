#include "substitution/scratch_table.h"

#include <algorithm>

namespace mardovane {

ScratchTable::ScratchTable() : entries_(std::size_t{1} << 16, 0) {}

ScratchTable& ScratchTable::of_this_thread() {
    thread_local ScratchTable table;
    return table;
}

ScratchTable::Use::~Use() {
    for (const char16_t c : touched_) {
        entries_[c] = 0;
    }
}

bool ScratchTable::all_zero() const {
    return std::all_of(entries_.begin(), entries_.end(),
                       [](std::uint32_t entry) { return entry == 0; });
}

}  // namespace mardovane
