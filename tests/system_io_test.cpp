#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <variant>

#include "cli/system_io.h"
#include "tests/temporary_directory.h"

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace mardovane::cli {
namespace {

#ifdef _WIN32
int make_pipe(std::array<int, 2>& ends) {
    return _pipe(ends.data(), 4096, _O_BINARY);
}
int write_bytes(int fd, const char* bytes, unsigned count) {
    return _write(fd, bytes, count);
}
int close_fd(int fd) {
    return _close(fd);
}
#else
int make_pipe(std::array<int, 2>& ends) {
    return ::pipe(ends.data());
}
int write_bytes(int fd, const char* bytes, unsigned count) {
    return static_cast<int>(::write(fd, bytes, count));
}
int close_fd(int fd) {
    return ::close(fd);
}
#endif

// A pipe may pause: the splitter looks whether bytes are ready before it waits on them, and
// writes out what it has meanwhile.
TEST(SystemIo, APipeSaysWhenBytesAreReady) {
    std::array<int, 2> ends{};
    ASSERT_EQ(make_pipe(ends), 0);
    EXPECT_TRUE(may_wait_for_input(ends[0]));
    EXPECT_FALSE(input_ready(ends[0], 30));  // the writer is there, with nothing to say
    ASSERT_EQ(write_bytes(ends[1], "x", 1), 1);
    EXPECT_TRUE(input_ready(ends[0], 30));
    ASSERT_EQ(close_fd(ends[1]), 0);
    EXPECT_TRUE(input_ready(ends[0], 30));  // the byte, then the end, are to be read
    ASSERT_EQ(close_fd(ends[0]), 0);
}

TEST(SystemIo, AFileNeverWaits) {
    testing::TemporaryDirectory folder;
    const auto path = folder.path() / "input.txt";
    std::ofstream(path) << "text";
    auto opened = open_input_file(path);
    ASSERT_TRUE(std::holds_alternative<FileDescriptor>(opened));
    const int fd = std::get<FileDescriptor>(opened).get();
    EXPECT_FALSE(may_wait_for_input(fd));
    EXPECT_TRUE(input_ready(fd, 30));
}

}  // namespace
}  // namespace mardovane::cli
