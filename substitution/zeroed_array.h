#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

namespace mardovane {

// A large array of zeros that costs nothing until it is written: the system hands fresh
// pages over already zeroed, and only the pages written are ever made. A look-up table
// per code point, of which a real text touches a few, then takes a few pages, not all.
template <typename T>
class ZeroedArray {
    static_assert(std::is_trivial_v<T>, "all zero bytes must be a valid value");

  public:
    ZeroedArray() = default;
    explicit ZeroedArray(std::size_t size)
        : items_(static_cast<T*>(std::calloc(size, sizeof(T)))), size_(size) {
        if (!items_ && size != 0) {
            throw std::bad_alloc();
        }
    }

    std::size_t size() const { return size_; }
    T& operator[](std::size_t index) { return items_.get()[index]; }
    const T& operator[](std::size_t index) const { return items_.get()[index]; }

  private:
    struct Free {
        void operator()(T* items) const { std::free(items); }
    };
    std::unique_ptr<T, Free> items_;
    std::size_t size_ = 0;
};

}  // namespace mardovane
