// The memory running out at any allocation of a split must leave nothing behind: the
// splitter's workers and the page's worker reuse their threads, and a failure that was
// reported and survived must not change what the next split on that thread gives.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

#include "cli/block_split.h"
#include "substitution/direct_utf8_split.h"
#include "substitution/scratch_table.h"
#include "substitution/split.h"
#include "substitution/text_codec.h"
#include "tests/failing_allocation.h"

namespace mardovane {
namespace {

using testing::FailingAllocation;

std::u16string many_characters(char16_t first, int count) {
    std::u16string text;
    for (int i = 0; i < count; ++i) {
        text += static_cast<char16_t>(first + i);
    }
    return text;
}

// A table that finds many characters, so that the characters a text holds are gathered in
// a list that grows several times, and long images that are walked.
KeywordTable character_table() {
    KeywordTable table({u"好", u"女子", u"a", u"bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb", u"湖",
                        u"氵胡", u"胡", u"古月"});
    for (char16_t c = u'一'; c < u'一' + 40; ++c) {
        table.append_line(std::u16string(1, c));
        table.append_line(u"口" + std::u16string(1, static_cast<char16_t>(c + 0x100)));
    }
    return table;
}

struct Case {
    const char* name;
    std::function<KeywordTable()> table;
    std::u16string text;
    std::size_t max_length;
};

class EveryAllocationThatFails : public ::testing::TestWithParam<Case> {};

// Fails the first allocation of a split, then the second, and so on until a split needs
// no more; after each, the scratch table is clean and the same thread splits right.
TEST_P(EveryAllocationThatFails, LeavesTheNextSplitOnTheThreadRight) {
    const Case& test = GetParam();
    const SplitPlan plan(test.table());
    const auto expected = plan.apply(test.text, test.max_length);
    std::size_t failures = 0;
    for (std::size_t n = 1;; ++n) {
        bool failed = false;
        {
            FailingAllocation failing(n);
            try {
                (void)plan.apply(test.text, test.max_length);
            } catch (const std::bad_alloc&) {
            }
            failed = failing.failed();
        }
        if (!failed) {
            break;
        }
        ++failures;
        ASSERT_TRUE(ScratchTable::of_this_thread().all_zero()) << "after allocation " << n;
        ASSERT_EQ(plan.apply(test.text, test.max_length), expected) << "after allocation " << n;
    }
    EXPECT_GT(failures, 2u);
}

INSTANTIATE_TEST_SUITE_P(
    SplitPlan, EveryAllocationThatFails,
    ::testing::Values(Case{"character_run", character_table,
                           u"你好a湖" + many_characters(u'一', 40), 1 << 20},
                      Case{"string_pass_after_a_run",
                           [] {
                               return KeywordTable({u"好", u"女子", u"女子", u"X", u"a", u"b"});
                           },
                           u"好好a好", 1 << 20},
                      Case{"streamed_because_a_later_pair_shrinks_it",
                           [] {
                               return KeywordTable({u"a", std::u16string(200, u'b'), u"bb", u"c"});
                           },
                           std::u16string(50, u'a'), 6000}),
    [](const auto& info) { return std::string(info.param.name); });

// The same for the splitter's blocks, the direct way through UTF-8 included.
TEST(EveryAllocationThatFails, LeavesTheNextBlockOnTheThreadRight) {
    const SplitPlan plan(character_table());
    const auto direct = DirectUtf8Split::of(plan);
    ASSERT_TRUE(direct.has_value());
    const std::string input =
        std::get<std::string>(encode_utf8(u"你好a湖\n" + many_characters(u'一', 40) + u"\r\n"));
    // Fails the nth allocation of the split itself (0: none), not of the test's own work.
    const auto split = [&](std::size_t n, bool& failed) {
        std::string output;
        output.reserve(4096);
        cli::BlockOutcome outcome;
        {
            FailingAllocation failing(n == 0 ? SIZE_MAX : n);
            outcome = cli::split_block(
                plan, input, 1,
                [&](std::string&& piece) {
                    output += piece;
                    return true;
                },
                kMaxResultLength, 16, &*direct);
            failed = failing.failed();
        }
        return outcome.failure ? std::string("<failed>") : output;
    };
    bool failed = false;
    const std::string expected = split(0, failed);
    std::size_t failures = 0;
    for (std::size_t n = 1;; ++n) {
        (void)split(n, failed);  // a failure is reported, not thrown
        if (!failed) {
            break;
        }
        ++failures;
        ASSERT_TRUE(ScratchTable::of_this_thread().all_zero()) << "after allocation " << n;
        bool failed_again = false;
        ASSERT_EQ(split(0, failed_again), expected) << "after allocation " << n;
    }
    EXPECT_GT(failures, 2u);
}

}  // namespace
}  // namespace mardovane
