#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "window/common/background_split.h"
#include "window/common/detached_thread.h"

namespace mardovane {
namespace {

// Many splits on threads of their own, every other one abandoned at once, as a window
// that closes mid-split does: the ones kept deliver exactly once, the abandoned never
// (the ThreadSanitizer build runs this). The splits wait at a gate until every abandon
// is done; the test polls with a deadline, so that a split that never ends fails the
// test instead of hanging it.
TEST(BackgroundSplit, ManySplitsStartedAndAbandoned) {
    struct Tally {
        std::mutex mutex;
        std::vector<int> delivered;
        std::atomic<bool> gate_open{false};
    };
    const auto tally = std::make_shared<Tally>();
    constexpr int kSplits = 100;
    std::vector<std::shared_ptr<BackgroundSplit>> splits;
    for (int i = 0; i < kSplits; ++i) {
        const auto add_a_mark = [tally] {
            while (!tally->gate_open) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            return SplitOutcome(NewText{u"好!", {}});
        };
        splits.push_back(BackgroundSplit::start(add_a_mark, [tally, i](SplitOutcome outcome) {
            EXPECT_EQ(std::get<NewText>(outcome).text, u"好!");
            const std::lock_guard lock(tally->mutex);
            tally->delivered.push_back(i);
        }));
        if (i % 2 == 1) {
            splits.back()->abandon();
        }
    }
    tally->gate_open = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (BackgroundSplit::any_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const std::lock_guard lock(tally->mutex);
    EXPECT_EQ(tally->delivered.size(), std::size_t{kSplits / 2});
    for (const int i : tally->delivered) {
        EXPECT_EQ(i % 2, 0) << "split " << i << " was abandoned, yet delivered";
    }
}

// Many short threads that nobody joins, each started while others end: every one runs,
// once. With MinGW's pthreads under Wine, one run in two of 2,000 detached std::threads
// lost a thread that never ran, or crashed.
TEST(DetachedThread, EveryThreadStartedRunsOnce) {
    constexpr int kThreads = 4000;
    auto runs = std::make_shared<std::vector<std::atomic<int>>>(kThreads);
    for (int i = 0; i < kThreads; ++i) {
        start_detached_thread([runs, i] { ++(*runs)[static_cast<std::size_t>(i)]; });
    }
    const auto all_ran = [&] {
        for (const auto& count : *runs) {
            if (count.load() == 0) {
                return false;
            }
        }
        return true;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!all_ran() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::vector<int> not_run_once;
    for (int i = 0; i < kThreads; ++i) {
        if ((*runs)[static_cast<std::size_t>(i)].load() != 1) {
            not_run_once.push_back(i);
        }
    }
    EXPECT_EQ(not_run_once, std::vector<int>{});
}

// The program may end as soon as no job's thread runs: by then, what the thread held (a
// toolkit's objects, in the window) has been let go.
TEST(BackgroundSplit, CountsAThreadOutOnlyOnceItsWorkIsLetGo) {
    struct Watch {
        std::atomic<bool> work_destroyed{false};
        std::atomic<bool> running_when_destroyed{false};
    };
    const auto watch = std::make_shared<Watch>();
    struct Holder {
        std::shared_ptr<Watch> watch;
        ~Holder() {
            if (watch) {
                watch->running_when_destroyed = BackgroundSplit::any_running();
                watch->work_destroyed = true;
            }
        }
    };
    auto holder = std::make_shared<Holder>();  // made in place: no copy to be destroyed
    holder->watch = watch;
    (void)BackgroundSplit::start(  // the work's captures hold the only copy
        [holder = std::move(holder)] { return SplitOutcome(TextUnchanged{}); },
        [](SplitOutcome) {});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (BackgroundSplit::any_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_FALSE(BackgroundSplit::any_running());
    EXPECT_TRUE(watch->work_destroyed);
    EXPECT_TRUE(watch->running_when_destroyed);
}

}  // namespace
}  // namespace mardovane
