#pragma once

#include <fcntl.h>

#include <array>
#include <string_view>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace mardovane::testing {

// A pipe of the system's, both ends open until closed or dropped.
class TestPipe {
  public:
    TestPipe() {
#ifdef _WIN32
        ok_ = _pipe(ends_.data(), 1 << 16, _O_BINARY) == 0;
#else
        ok_ = ::pipe(ends_.data()) == 0;
#endif
    }
    ~TestPipe() {
        close_writer();
        close_end(ends_[0]);
    }
    TestPipe(const TestPipe&) = delete;
    TestPipe& operator=(const TestPipe&) = delete;

    bool ok() const {
        return ok_;
    }
    int reader() const {
        return ends_[0];
    }
    int writer() const {
        return ends_[1];
    }
    bool write(std::string_view bytes) {
#ifdef _WIN32
        return _write(ends_[1], bytes.data(), static_cast<unsigned>(bytes.size())) ==
               static_cast<int>(bytes.size());
#else
        return ::write(ends_[1], bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
#endif
    }
    void close_writer() {
        close_end(ends_[1]);
    }

  private:
    static void close_end(int& fd) {
        if (fd >= 0) {
#ifdef _WIN32
            _close(fd);
#else
            ::close(fd);
#endif
            fd = -1;
        }
    }

    std::array<int, 2> ends_{-1, -1};
    bool ok_ = false;
};

}  // namespace mardovane::testing
