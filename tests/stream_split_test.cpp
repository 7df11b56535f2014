#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/block_split.h"
#include "cli/stream_split.h"
#include "substitution/text_codec.h"

namespace mardovane::cli {
namespace {

// Random tables and texts over a few letters and every kind of line break, split whole
// and split in blocks of a few bytes (cut at line breaks) on several threads: the bytes
// must be the same, since no text to find or replacement holds a line break.
TEST(StreamSplit, BlocksSplitAsTheWholeText) {
    const std::u16string alphabet = u"ab好\r\n";
    std::mt19937 random(7);
    const auto pick = [&](std::size_t max_length, bool with_breaks) {
        std::u16string text(std::uniform_int_distribution<std::size_t>(0, max_length)(random),
                            u'a');
        const std::size_t letters = with_breaks ? alphabet.size() : alphabet.size() - 2;
        for (auto& c : text) {
            c = alphabet[std::uniform_int_distribution<std::size_t>(0, letters - 1)(random)];
        }
        return text;
    };
    for (int round = 0; round < 300; ++round) {
        KeywordTable table;
        for (int line = std::uniform_int_distribution<int>(0, 8)(random); line > 0; --line) {
            table.append_line(pick(line % 2 == 0 ? 2 : 3, false));
        }
        const SplitPlan plan(table);
        const std::string input = std::get<std::string>(encode_utf8(pick(60, true)));
        const std::uint64_t times = 1 + round % 3;
        const BlockResult whole = split_block(plan, input, times, 4096);
        if (whole.failure) {
            continue;
        }
        for (const std::size_t block_bytes : {1, 3, 8}) {
            std::istringstream in(input);
            std::ostringstream out;
            const unsigned jobs = block_bytes == 3 ? 1 : 3;
            const auto failure = split_stream(in, "input", out, plan, times, jobs, block_bytes);
            ASSERT_FALSE(failure.has_value()) << failure->message;
            ASSERT_EQ(out.str(), whole.output)
                << "round " << round << ", blocks of " << block_bytes;
        }
    }
}

struct ReaderCase {
    const char* name;
    std::string input;
    std::size_t block_bytes;
    std::vector<std::string> blocks;
};

TEST(BlockReader, CutsJustAfterLineBreaks) {
    const std::vector<ReaderCase> cases = {
        {"empty input", "", 4, {}},
        {"no line break", "abcdefgh", 4, {"abcdefgh"}},
        {"cut after the last LF", "ab\ncd\nef", 4, {"ab\n", "cd\n", "ef"}},
        {"a long line makes a long block", "abcdefghij\nk", 4, {"abcdefghij\n", "k"}},
        {"CR LF never parted", "abc\r\ndefgh", 4, {"abc\r\n", "defgh"}},
        {"lone CR cuts", "ab\rcdefg", 4, {"ab\r", "cdefg"}},
    };
    for (const auto& test : cases) {
        std::istringstream in(test.input);
        BlockReader reader(in, test.block_bytes);
        std::vector<std::string> blocks;
        std::string block;
        while (reader.next(block)) {
            blocks.push_back(block);
        }
        EXPECT_EQ(blocks, test.blocks) << test.name;
        EXPECT_FALSE(reader.failed()) << test.name;
    }
}

TEST(StreamSplit, NamesTheLineAndOffsetInTheWholeInput) {
    const SplitPlan plan(KeywordTable({u"a", u"b"}));
    std::istringstream in("a\na\r\na\n\xFF");
    std::ostringstream out;
    const auto failure = split_stream(in, "input", out, plan, 1, 2, 2);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->message, "input:4: invalid UTF-8 byte sequence at byte offset 7");
    EXPECT_EQ(out.str(), "b\nb\r\nb\n");  // the blocks before the fault
}

}  // namespace
}  // namespace mardovane::cli
