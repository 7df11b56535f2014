#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/block_reader.h"
#include "cli/stream_split.h"
#include "cli/system_io.h"
#include "tests/test_pipe.h"

namespace mardovane::cli {
namespace {

using namespace std::chrono_literals;

struct ReaderCase {
    const char* name;
    std::string input;
    std::size_t block_bytes;
    std::vector<std::string> blocks;
    std::size_t max_line_units = SIZE_MAX;
    bool over_limit = false;  // the last block is a line the reader stopped at
};

class BlockReaderCuts : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(BlockReaderCuts, JustAfterLineBreaks) {
    const auto& test = GetParam();
    std::istringstream in(test.input);
    BlockReader reader(in, test.block_bytes, BlockReader::kPromptDelay, test.max_line_units);
    std::vector<std::string> blocks;
    std::string block;
    while (reader.next(block)) {
        blocks.push_back(block);
    }
    EXPECT_EQ(blocks, test.blocks);
    EXPECT_EQ(reader.over_limit(), test.over_limit);
    EXPECT_FALSE(reader.failed());
}

std::string times(int count, std::string_view text) {
    std::string all;
    for (int i = 0; i < count; ++i) {
        all += text;
    }
    return all;
}

INSTANTIATE_TEST_SUITE_P(
    StreamSplit, BlockReaderCuts,
    ::testing::Values(
        ReaderCase{"empty_input", "", 4, {}},
        ReaderCase{"no_line_break", "abcdefgh", 4, {"abcdefgh"}},
        ReaderCase{"cut_after_the_last_LF", "ab\ncd\nef", 4, {"ab\n", "cd\n", "ef"}},
        ReaderCase{"a_long_line_makes_a_long_block", "abcdefghij\nk", 4, {"abcdefghij\n", "k"}},
        ReaderCase{"CR_LF_never_parted", "abc\r\ndefgh", 4, {"abc\r\n", "defgh"}},
        ReaderCase{"lone_CR_cuts", "ab\rcdefg", 4, {"ab\r", "cdefg"}},
        // Lines past the limit of 10 code units are read no further than the read that
        // passed it.
        ReaderCase{"a_line_past_the_limit_is_read_no_further",
                   times(100, "a") + "\n",
                   4,
                   {times(12, "a")},
                   10,
                   true},
        ReaderCase{"the_lines_before_it_go_first",
                   "ab\n" + times(100, "a"),
                   4,
                   {"ab\n", times(13, "a")},
                   10,
                   true},
        ReaderCase{"a_line_of_the_limit_fits",
                   times(10, "a") + "\nb",
                   4,
                   {times(10, "a") + "\n", "b"},
                   10},
        ReaderCase{
            "three_bytes_make_one_unit", times(10, "好") + "\n", 4, {times(10, "好") + "\n"}, 10},
        ReaderCase{"four_bytes_make_two_units", times(6, "😀") + "\n", 4, {times(6, "😀")}, 10, true},
        ReaderCase{"a_CR_last_may_be_the_break",
                   times(10, "a") + "\r\n",
                   11,
                   {times(10, "a") + "\r\n"},
                   10}),
    [](const auto& info) { return std::string(info.param.name); });

// A long line through a pipe arrives in many reads, and comes out as one block, cut at
// the line break; the reads that find none add nothing to look at for the next.
TEST(BlockReader, ReadsALongLineFromAPipeWhole) {
    testing::TestPipe pipe;
    ASSERT_TRUE(pipe.ok());
    const std::string line(3 << 20, 'x');
    auto writer = std::async(std::launch::async, [&] {
        const bool written = pipe.write(line + "\ny");
        pipe.close_writer();
        return written;
    });
    FdInputBuffer buffer(pipe.reader());
    std::istream in(&buffer);
    BlockReader reader(in, 4096);
    std::vector<std::string> blocks;
    std::string block;
    while (reader.next(block)) {
        blocks.push_back(block);
    }
    ASSERT_TRUE(writer.get());
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0], line + "\n");
    EXPECT_EQ(blocks[1], "y");
}

// Lines that come every few milliseconds never leave the pipe quiet for long, yet the
// first of them goes on while the writer is still writing, not once it stops.
TEST(BlockReader, HandsOnATrickleOfLinesWithoutWaitingForAPause) {
    testing::TestPipe pipe;
    ASSERT_TRUE(pipe.ok());
    std::atomic<bool> stop = false;
    std::atomic<bool> writing = true;
    auto writer = std::async(std::launch::async, [&] {
        for (int line = 0; line < 2000 && !stop; ++line) {  // 10 s at most
            if (!pipe.write("a line of a chat log\n")) {
                break;
            }
            std::this_thread::sleep_for(5ms);
        }
        writing = false;
        pipe.close_writer();
    });
    FdInputBuffer buffer(pipe.reader());
    std::istream in(&buffer);
    BlockReader reader(in, 1 << 20);
    std::string block;
    ASSERT_TRUE(reader.next(block));
    EXPECT_TRUE(writing) << "the first lines waited for the writer to stop";
    EXPECT_TRUE(reader.prompt());
    EXPECT_TRUE(block.ends_with("\n"));
    stop = true;
    writer.get();
}

// A line ended by a lone CR goes on without waiting to see whether an LF follows.
TEST(BlockReader, HandsOnALineEndedByALoneCr) {
    testing::TestPipe pipe;
    ASSERT_TRUE(pipe.ok());
    ASSERT_TRUE(pipe.write("ab\r"));
    std::promise<void> read;
    std::atomic<bool> closed = false;
    auto closer = std::async(std::launch::async, [&] {  // so that a failure cannot hang
        if (read.get_future().wait_for(10s) == std::future_status::timeout) {
            closed = true;
            pipe.close_writer();
        }
    });
    FdInputBuffer buffer(pipe.reader());
    std::istream in(&buffer);
    BlockReader reader(in, 1 << 20);
    std::string block;
    ASSERT_TRUE(reader.next(block));
    EXPECT_EQ(block, "ab\r");
    EXPECT_FALSE(closed) << "the line waited for the end of the input";
    read.set_value();
    closer.get();
}

// Cut at a lone CR whose LF came after, the CR LF is still one line break: a fault after
// it names its line as in the whole text.
TEST(StreamSplit, CountsACrLfCutInTwoAsOneLineBreak) {
    testing::TestPipe input;
    testing::TestPipe output;
    ASSERT_TRUE(input.ok() && output.ok());
    FdInputBuffer in_buffer(input.reader());
    std::istream in(&in_buffer);
    FdOutputBuffer out_buffer(output.writer());
    std::ostream out(&out_buffer);
    StreamSettings settings;
    settings.jobs = 1;
    auto split = std::async(std::launch::async, [&] {
        return split_stream(in, "input", out, "output", SplitPlan(KeywordTable()), settings);
    });
    ASSERT_TRUE(input.write("a\r"));
    // "a\r" goes out as a block of its own before the LF comes.
    FdInputBuffer split_so_far(output.reader());
    std::string written(2, '\0');
    ASSERT_EQ(split_so_far.sgetn(written.data(), 2), 2);
    EXPECT_EQ(written, "a\r");
    ASSERT_TRUE(input.write("\nb\n\xFF"));
    input.close_writer();
    const auto failure = split.get();
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->message, "input:3: invalid UTF-8 byte sequence at byte offset 5");
}

}  // namespace
}  // namespace mardovane::cli
