// Replaces the global operator new and delete of the test program, so that a test can make
// one chosen allocation fail.
#include "tests/failing_allocation.h"

#include <cstdlib>
#include <new>

namespace {

thread_local std::size_t allocations_left = 0;  // 0: not armed
thread_local bool allocation_failed = false;

void* allocate(std::size_t size) {
    if (allocations_left != 0 && --allocations_left == 0) {
        allocation_failed = true;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

}  // namespace

namespace mardovane::testing {

FailingAllocation::FailingAllocation(std::size_t fail_at) {
    allocations_left = fail_at;
    allocation_failed = false;
}

FailingAllocation::~FailingAllocation() {
    allocations_left = 0;
}

bool FailingAllocation::failed() const {
    return allocation_failed;
}

}  // namespace mardovane::testing

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
