#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "window/common/background_split.h"

namespace mardovane {
namespace {

// Many splits on threads of their own, every other one abandoned at once, as a window
// that closes mid-split does: the ones kept deliver exactly once, the abandoned never
// (the ThreadSanitizer build runs this).
TEST(BackgroundSplit, ManySplitsStartedAndAbandoned) {
    struct Tally {
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<int> delivered;
        bool gate_open = false;  // the splits wait here until every abandon is done
    };
    const auto tally = std::make_shared<Tally>();
    constexpr int kSplits = 200;
    std::vector<std::shared_ptr<BackgroundSplit>> splits;
    for (int i = 0; i < kSplits; ++i) {
        const SplitFunction add_a_mark = [tally](std::u16string text,
                                                 const std::filesystem::path&) {
            std::unique_lock lock(tally->mutex);
            tally->changed.wait(lock, [&] { return tally->gate_open; });
            text.push_back(u'!');
            return SplitOutcome(std::move(text));
        };
        splits.push_back(
            BackgroundSplit::start(u"好", {}, add_a_mark, [tally, i](SplitOutcome outcome) {
                EXPECT_EQ(std::get<std::u16string>(outcome), u"好!");
                const std::lock_guard lock(tally->mutex);
                tally->delivered.push_back(i);
                tally->changed.notify_all();
            }));
        if (i % 2 == 1) {
            splits.back()->abandon();
        }
    }
    std::unique_lock lock(tally->mutex);
    tally->gate_open = true;
    tally->changed.notify_all();
    ASSERT_TRUE(tally->changed.wait_for(lock, std::chrono::seconds(60),
                                        [&] { return tally->delivered.size() >= kSplits / 2; }));
    for (const int i : tally->delivered) {
        EXPECT_EQ(i % 2, 0) << "split " << i << " was abandoned, yet delivered";
    }
}

}  // namespace
}  // namespace mardovane
