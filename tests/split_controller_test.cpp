#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>

#include "window/common/split_controller.h"

namespace mardovane {
namespace {

// A window as the controller sees it. Tasks for the window's thread wait in a queue that
// the test runs, as an event loop would.
class FakeView final : public SplitView {
  public:
    explicit FakeView(std::u16string initial = {}) : text(std::move(initial)) {}
    std::u16string content() const override {
        if (fail_reading) {
            throw std::bad_alloc();
        }
        return text;
    }
    void replace_content(std::u16string replacement) override {
        if (fail_storing) {
            throw std::bad_alloc();  // a holder that fails leaves its text as it was
        }
        text = std::move(replacement);
        ++stores;
    }
    void set_editable(bool is_editable) override { editable = is_editable; }
    void set_busy(bool is_busy) override { busy = is_busy; }
    void show_failure(const std::string& message) override { messages.push_back(message); }
    void run_on_window_thread(std::function<void()> task) override {
        const std::lock_guard lock(mutex);
        tasks.push_back(std::move(task));
    }
    // When `prepares`, the result is made ready on the split's thread and stored by the
    // prepared text itself, as the Qt window does with its documents.
    TextPreparer preparer() override {
        if (!prepares) {
            return nullptr;
        }
        return [this](std::u16string result) -> std::shared_ptr<PreparedText> {
            prepared_off_window_thread = std::this_thread::get_id() != window_thread;
            if (fail_preparing) {
                throw std::bad_alloc();
            }
            return std::make_shared<Prepared>(*this, std::move(result));
        };
    }
    struct Prepared final : PreparedText {
        Prepared(FakeView& view, std::u16string result) : view(view), result(std::move(result)) {}
        void store() override { view.replace_content(std::move(result)); }
        FakeView& view;
        std::u16string result;
    };

    // Runs the next task the split's thread handed over, waiting up to 30 s for it: a split
    // that never hands one over fails the test instead of hanging it.
    bool run_next_task() {
        std::function<void()> task;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        for (;;) {
            {
                const std::lock_guard lock(mutex);
                if (!tasks.empty()) {
                    task = std::move(tasks.front());
                    tasks.pop_front();
                    break;
                }
            }
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        task();
        return true;
    }

    std::u16string text;
    bool fail_reading = false;
    bool fail_storing = false;
    bool prepares = false;
    bool fail_preparing = false;
    std::atomic<bool> prepared_off_window_thread = false;
    const std::thread::id window_thread = std::this_thread::get_id();
    bool editable = true;
    bool busy = false;
    int stores = 0;
    std::vector<std::string> messages;
    std::mutex mutex;
    std::deque<std::function<void()>> tasks;
};

// Appends a mark to the text, or does what the test says instead.
SplitOutcome add_a_mark(std::u16string text, const std::filesystem::path&) {
    text.push_back(u'!');
    return SplitOutcome(std::move(text));
}

TEST(SplitController, EachClickIsOneSplitInOrder) {
    FakeView view(u"好");
    SplitController controller(view, {}, add_a_mark);
    controller.click();
    EXPECT_FALSE(view.editable);
    EXPECT_TRUE(view.busy);
    controller.click();  // during the split: waits its turn
    controller.click();
    for (int split = 0; split < 3; ++split) {
        ASSERT_TRUE(view.run_next_task()) << split;
    }
    EXPECT_EQ(view.text, u"好!!!");
    EXPECT_EQ(view.stores, 3);
    EXPECT_FALSE(controller.running());
    EXPECT_TRUE(view.editable);
    EXPECT_FALSE(view.busy);
    EXPECT_TRUE(view.messages.empty());
}

TEST(SplitController, APreparedResultIsMadeOffTheWindowThreadAndStoredOnIt) {
    FakeView view(u"好");
    view.prepares = true;
    SplitController controller(view, {}, add_a_mark);
    controller.click();
    controller.click();
    ASSERT_TRUE(view.run_next_task());
    ASSERT_TRUE(view.run_next_task());
    EXPECT_TRUE(view.prepared_off_window_thread);
    EXPECT_EQ(view.text, u"好!!");
    EXPECT_EQ(view.stores, 2);
    EXPECT_TRUE(view.messages.empty());
}

// Another command run like a split (a long paste): only when no split runs, with its own
// work, and the clicks after it split again.
TEST(SplitController, RunsAnotherCommandInsteadOfASplitWhenIdle) {
    FakeView view(u"好");
    SplitController controller(view, {}, add_a_mark);
    const SplitFunction paste = [](std::u16string text, const std::filesystem::path&) {
        return SplitOutcome(text + u"贴");
    };
    ASSERT_TRUE(controller.run_instead(paste, texts::Activity::Paste));
    EXPECT_FALSE(view.editable);
    // The box is busy: the caller pastes itself.
    EXPECT_FALSE(controller.run_instead(paste, texts::Activity::Paste));
    controller.click();  // waits its turn
    ASSERT_TRUE(view.run_next_task());
    ASSERT_TRUE(view.run_next_task());
    EXPECT_EQ(view.text, u"好贴!");
    EXPECT_FALSE(controller.running());
}

struct FailureCase {
    const char* name;
    SplitFunction splitter;
    bool fail_reading;
    bool fail_storing;
    std::string says;
    bool prepares = false;
    bool fail_preparing = false;
    bool fail_starting = false;  // no memory to hand the split to its thread
};

class SplitControllerFailure : public ::testing::TestWithParam<FailureCase> {};

// A long paste that fails says so in its own words, not the split's; the next click's
// failure is a split's again.
TEST(SplitController, AFailedPasteSaysItIsThePaste) {
    FakeView view(u"好");
    SplitController controller(view, {}, [](std::u16string, const std::filesystem::path&) {
        return SplitOutcome(SplitFailure(OutOfMemory{}));
    });
    const SplitFunction paste = [](std::u16string, const std::filesystem::path&) -> SplitOutcome {
        throw std::bad_alloc();
    };
    ASSERT_TRUE(controller.run_instead(paste, texts::Activity::Paste));
    ASSERT_TRUE(view.run_next_task());
    controller.click();
    ASSERT_TRUE(view.run_next_task());
    ASSERT_EQ(view.messages.size(), 2u);
    EXPECT_NE(view.messages[0].find("无法完成粘贴"), std::string::npos) << view.messages[0];
    EXPECT_NE(view.messages[1].find("无法完成拆分"), std::string::npos) << view.messages[1];
    EXPECT_EQ(view.text, u"好");
}

// Whatever fails, on either thread: one message, the text as it was, the waiting clicks
// dropped, and the window goes on.
TEST_P(SplitControllerFailure, ShowsOneMessageAndKeepsTheText) {
    const auto& test = GetParam();
    FakeView view(u"好");
    view.fail_reading = test.fail_reading;
    view.fail_storing = test.fail_storing;
    view.prepares = test.prepares;
    view.fail_preparing = test.fail_preparing;
    bool starting_fails = test.fail_starting;
    SplitController controller(view, {}, test.splitter,
                               [&starting_fails](std::u16string text, std::filesystem::path folder,
                                                 SplitFunction splitter, Deliver deliver) {
                                   if (starting_fails) {
                                       throw std::bad_alloc();
                                   }
                                   return start_background_split(std::move(text), std::move(folder),
                                                                 std::move(splitter),
                                                                 std::move(deliver));
                               });
    controller.click();
    const bool failed_at_once = test.fail_reading || test.fail_starting;
    if (!failed_at_once) {
        controller.click();  // waiting: dropped by the failure
        ASSERT_TRUE(view.run_next_task());
    }
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_NE(view.messages[0].find(test.says), std::string::npos) << view.messages[0];
    EXPECT_EQ(view.text, u"好");
    EXPECT_FALSE(controller.running());
    EXPECT_TRUE(view.editable);
    EXPECT_FALSE(view.busy);
    EXPECT_TRUE(view.tasks.empty());

    // The window goes on: the next click splits again, when the splitter can.
    view.fail_reading = view.fail_storing = view.fail_preparing = starting_fails = false;
    controller.click();
    ASSERT_TRUE(view.run_next_task());
    const bool window_side = failed_at_once || test.fail_storing || test.fail_preparing;
    EXPECT_EQ(view.text, window_side ? u"好!" : u"好");
    EXPECT_EQ(view.messages.size(), window_side ? 1u : 2u);
}

SplitOutcome too_large(std::u16string, const std::filesystem::path&) {
    return SplitFailure(ResultTooLarge{});
}
SplitOutcome throws_bad_alloc(std::u16string, const std::filesystem::path&) {
    throw std::bad_alloc();
}
SplitOutcome throws_runtime_error(std::u16string, const std::filesystem::path&) {
    throw std::runtime_error("ICU has no converter windows-936-2000");
}

INSTANTIATE_TEST_SUITE_P(
    SplitController, SplitControllerFailure,
    ::testing::Values(
        FailureCase{"table_or_limit", too_large, false, false, "上限"},
        FailureCase{"memory_on_the_split_thread", throws_bad_alloc, false, false, "内存不足"},
        FailureCase{"anything_else_thrown", throws_runtime_error, false, false,
                    "ICU has no converter windows-936-2000"},
        FailureCase{"memory_while_reading_the_text", add_a_mark, true, false, "内存不足"},
        FailureCase{"memory_while_storing_the_result", add_a_mark, false, true, "内存不足"},
        FailureCase{"memory_while_preparing_the_result", add_a_mark, false, false, "内存不足", true,
                    true},
        FailureCase{"memory_while_storing_a_prepared_result", add_a_mark, false, true, "内存不足",
                    true},
        FailureCase{"memory_while_starting_the_split", add_a_mark, false, false, "内存不足", false,
                    false, true}),
    [](const auto& info) { return std::string(info.param.name); });

// The window closes mid-split: nothing waits, and the outcome is handed to nobody.
TEST(SplitController, ClosingMidSplitDropsTheOutcome) {
    struct Latch {
        std::mutex mutex;
        std::condition_variable changed;
        bool started = false;
        bool released = false;
        bool returned = false;
    };
    auto latch = std::make_shared<Latch>();
    const SplitFunction latched = [latch](std::u16string text, const std::filesystem::path&) {
        std::unique_lock lock(latch->mutex);
        latch->started = true;
        latch->changed.notify_all();
        latch->changed.wait(lock, [&] { return latch->released; });
        return SplitOutcome(text);
    };
    FakeView view;
    {
        SplitController controller(view, {}, latched);
        controller.click();
        std::unique_lock lock(latch->mutex);
        ASSERT_TRUE(latch->changed.wait_for(lock, std::chrono::seconds(30),
                                            [&] { return latch->started; }));
    }  // closed while the split waits
    EXPECT_FALSE(view.busy);
    {
        const std::lock_guard lock(latch->mutex);
        latch->released = true;
        latch->changed.notify_all();
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (BackgroundSplit::any_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(BackgroundSplit::any_running());
    const std::lock_guard lock(view.mutex);
    EXPECT_TRUE(view.tasks.empty());
}

}  // namespace
}  // namespace mardovane
