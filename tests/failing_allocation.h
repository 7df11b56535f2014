#pragma once

#include <cstddef>

namespace mardovane::testing {

// While it lives, the `fail_at`th allocation through operator new on this thread (the
// first is 1) throws std::bad_alloc, as if the memory had run out just then; the others
// go through. Other threads are left alone.
class FailingAllocation {
  public:
    explicit FailingAllocation(std::size_t fail_at);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;

    // Whether that allocation came and failed.
    bool failed() const;
};

}  // namespace mardovane::testing
