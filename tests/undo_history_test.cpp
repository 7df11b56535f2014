#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/common/undo_history.h"

namespace mardovane::rules {
namespace {

constexpr std::size_t kMillion = 1'000'000;

struct ForgetCase {
    const char* name;
    std::vector<KeptDocument> oldest_first;
    std::size_t forgotten;
};

class KeptDocuments : public ::testing::TestWithParam<ForgetCase> {};

TEST_P(KeptDocuments, AreLetGoOldestFirstByWhatTheyTake) {
    EXPECT_EQ(documents_to_forget(GetParam().oldest_first), GetParam().forgotten);
}

INSTANTIATE_TEST_SUITE_P(
    UndoHistory, KeptDocuments,
    ::testing::Values(
        ForgetCase{"none", {}, 0},
        ForgetCase{"the_newest_stays_however_large", {{kMillion, 4 * kMillion}}, 0},
        // Two texts of four million short lines: about 2.4 GB each, so only the newest.
        ForgetCase{"millions_of_lines_count_for_their_lines",
                   {{8 * kMillion, 4 * kMillion}, {8 * kMillion, 4 * kMillion}},
                   1},
        // The same characters in a few long lines fit many times over.
        ForgetCase{"long_lines_cost_their_characters",
                   {{8 * kMillion, 100}, {8 * kMillion, 100}, {8 * kMillion, 100}},
                   0},
        ForgetCase{"dropped_until_within_the_budget",
                   {{0, 200'000}, {0, 200'000}, {0, 100'000}, {0, 100'000}, {0, 100'000}},
                   2},
        ForgetCase{"small_documents_up_to_a_hundred",
                   std::vector<KeptDocument>(kKeptDocuments + 3, KeptDocument{10, 1}), 3}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace mardovane::rules
