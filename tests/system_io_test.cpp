#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <utility>
#include <variant>
#include <vector>

#include "cli/system_io.h"
#include "tests/temporary_directory.h"
#include "tests/test_pipe.h"

namespace mardovane::cli {
namespace {

// A pipe may pause: the splitter looks whether bytes are ready before it waits on them, and
// writes out what it has meanwhile.
TEST(SystemIo, APipeSaysWhenBytesAreReady) {
    testing::TestPipe pipe;
    ASSERT_TRUE(pipe.ok());
    EXPECT_TRUE(may_wait_for_input(pipe.reader()));
    EXPECT_FALSE(input_ready(pipe.reader(), 30));  // the writer is there, with nothing to say
    ASSERT_TRUE(pipe.write("x"));
    EXPECT_TRUE(input_ready(pipe.reader(), 30));
    pipe.close_writer();
    EXPECT_TRUE(input_ready(pipe.reader(), 30));  // the byte, then the end, are to be read
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

#ifndef _WIN32
namespace mardovane::cli {
namespace {

// The names of the process's own descriptors, however reached, lead to the descriptor;
// any other name, or a descriptor not open, to none.
TEST(SystemIo, KnowsTheNamesOfItsOwnDescriptors) {
    testing::TemporaryDirectory folder;
    std::filesystem::create_symlink("/dev/stderr", folder.path() / "to-stderr");
    std::filesystem::create_symlink("/proc/self/fd/999", folder.path() / "to-nothing");
    std::ofstream(folder.path() / "plain.txt") << "text";
    const std::vector<std::pair<std::filesystem::path, int>> cases = {
        {"/dev/stdout", 1},
        {"/dev/stderr", 2},
        {"/proc/self/fd/1", 1},
        {"/dev/fd/2", 2},
        {folder.path() / "to-stderr", 2},
        {folder.path() / "plain.txt", -1},
        {folder.path() / "no-such-file", -1},
        {folder.path() / "to-nothing", -1},
        {"/proc/self/fd/999", -1},
    };
    for (const auto& [name, fd] : cases) {
        EXPECT_EQ(own_descriptor_named(name), fd) << name;
    }
}

}  // namespace
}  // namespace mardovane::cli
#endif
