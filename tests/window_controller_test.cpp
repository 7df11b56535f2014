#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>

#include "tests/window/fake_window.h"
#include "tests/window/job_gate.h"
#include "tests/window/scenario.h"
#include "window/common/texts.h"
#include "window/common/window_controller.h"

namespace mardovane {
namespace {

using testing::FakeWindow;

// The table of a scenario, as a loader.
TableLoader table_of(const std::vector<std::u16string>& lines) {
    return [lines] { return std::variant<KeywordTable, FileError>(KeywordTable(lines)); };
}

// A split appends a mark to the text; a paste is made as the program makes it.
SplitOutcome add_a_mark(Job job) {
    if (job.kind == JobKind::Paste) {
        return run_job(std::move(job), nullptr);
    }
    job.text.push_back(u'!');
    return NewText{std::move(job.text), {}};
}

// The window's scenarios, shared with every front end, against the controller and a fake
// text box.
class Scenarios : public ::testing::TestWithParam<testing::Scenario> {};

TEST_P(Scenarios, GiveTheTextOfEveryStep) {
    const testing::Scenario& scenario = GetParam();
    testing::ScenarioJobs jobs(scenario);
    testing::JobGate& gate = jobs.gate();
    bool fail_next_store = false;
    FakeWindow window;
    auto controller = std::make_unique<WindowController>(window, background_starter(jobs.runner()));
    window.controller = controller.get();
    for (const auto& step : scenario.steps) {
        SCOPED_TRACE("scenarios.txt:" + std::to_string(step.line) + ": " + step.action);
        const std::size_t messages = window.messages.size();
        if (step.action == "paste") {
            if (!controller->paste(step.argument)) {
                window.type(rules::in_box_form(step.argument, window.text_form()));
            }
        } else if (step.action == "type") {
            window.select({window.shown->text.size(), window.shown->text.size()});
            window.type(step.argument);
        } else if (step.action == "type-here") {
            window.type(step.argument);
        } else if (step.action == "select") {
            const auto [from, to] = testing::selection_of(step);
            window.select({from, to});
        } else if (step.action == "split") {
            controller->run(layout::Command::Split);
        } else if (step.action == "split-selection") {
            controller->run(layout::Command::SplitSelection);
        } else if (step.action == "key") {
            const std::string key = testing::utf8(step.argument);
            const bool shift = key.find("shift") != std::string::npos;
            const auto pressed = key.ends_with("enter") ? layout::Key::Enter
                                 : key.ends_with("z")   ? layout::Key::Z
                                                        : layout::Key::Y;
            ASSERT_TRUE(controller->key(pressed, shift));
        } else if (step.action == "clear-during-split" || step.action == "close-during-split") {
            gate.close();
            controller->run(layout::Command::Split);
            ASSERT_TRUE(gate.wait_entered());
            if (step.action == "clear-during-split") {
                controller->run(layout::Command::Clear);
            } else {
                controller.reset();
                window.controller = nullptr;
            }
            gate.open();
        } else if (step.action == "split-store-fails") {
            fail_next_store = true;
            window.fail_showing = true;
            controller->run(layout::Command::Split);
        } else {
            FAIL() << "unknown action";
        }
        ASSERT_TRUE(window.finish_jobs());
        if (fail_next_store) {
            EXPECT_EQ(window.messages.size(), messages + 1) << "the failure is shown";
            window.fail_showing = fail_next_store = false;
        }
        if (step.expected) {
            EXPECT_EQ(testing::utf8(window.shown->text), testing::utf8(*step.expected));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(WindowController, Scenarios, ::testing::ValuesIn(testing::all_scenarios()),
                         [](const auto& info) { return info.param.name; });

TEST(WindowController, EachClickIsOneJobInOrder) {
    FakeWindow window;
    WindowController controller(window, background_starter(add_a_mark));
    window.controller = &controller;
    window.type(u"好");
    controller.run(layout::Command::Split);
    EXPECT_FALSE(window.editable);
    controller.run(layout::Command::Split);  // during the split: waits its turn
    controller.run(layout::Command::Split);
    ASSERT_TRUE(window.finish_jobs());
    EXPECT_EQ(window.shown->text, u"好!!!");
    EXPECT_EQ(window.shows, 3);
    EXPECT_TRUE(window.editable);
    EXPECT_TRUE(window.messages.empty());
}

// What a split did, in a few words, for the page's status line and screen readers.
TEST(WindowController, ReportsHowManyCharactersASplitSplit) {
    FakeWindow window;
    const TableLoader table = table_of({u"胡", u"古月", u"湖", u"氵胡", u"好", u"女子"});
    WindowController controller(
        window, background_starter([table](Job job) { return run_job(std::move(job), table); }));
    window.controller = &controller;
    window.type(u"好湖你好");
    for (int click = 0; click < 3; ++click) {
        controller.run(layout::Command::Split);
        ASSERT_TRUE(window.finish_jobs());
    }
    EXPECT_EQ(window.reports, (std::vector<std::string>{"已拆分 3 个字。", "已拆分 1 个字。",
                                                        "文字里没有拆字表里的字，没有拆分。"}));
}

TEST(WindowController, APreparedTextIsMadeOffTheWindowThreadAndShownOnIt) {
    FakeWindow window;
    window.prepares = true;
    WindowController controller(window, background_starter(add_a_mark));
    window.controller = &controller;
    controller.run(layout::Command::Split);
    controller.run(layout::Command::Split);
    ASSERT_TRUE(window.finish_jobs());
    EXPECT_TRUE(window.prepared_off_window_thread);
    EXPECT_EQ(window.shown->text, u"!!");
    EXPECT_TRUE(window.messages.empty());
}

// Busy is shown only once a job has run for the delay, and not by the timer of a job that
// has ended.
TEST(WindowController, ShowsBusyOnlyAfterTheDelay) {
    FakeWindow window;
    auto gate = std::make_shared<testing::JobGate>();
    WindowController controller(window, background_starter([gate](Job job) {
                                    gate->pass();
                                    return add_a_mark(std::move(job));
                                }));
    window.controller = &controller;
    gate->close();
    controller.run(layout::Command::Split);
    EXPECT_FALSE(window.busy);
    ASSERT_EQ(window.timers.size(), 1u);
    EXPECT_EQ(window.timers[0].first, kBusyDelayMs);
    window.fire_timers();
    EXPECT_TRUE(window.busy);
    gate->open();
    ASSERT_TRUE(window.finish_jobs());
    EXPECT_FALSE(window.busy);

    controller.run(layout::Command::Split);  // ends before its timer fires
    ASSERT_TRUE(window.finish_jobs());
    window.fire_timers();
    EXPECT_FALSE(window.busy);
}

TEST(WindowController, LongPastesAreJobsAndShortOnesTheToolkits) {
    FakeWindow window;
    WindowController controller(window, background_starter(add_a_mark));
    window.controller = &controller;
    EXPECT_FALSE(controller.paste(u"好\n湖"));
    EXPECT_EQ(window.shown->text, u"");  // the toolkit pastes it
    const std::u16string lines(rules::kLongPasteLines + 1, u'\n');
    ASSERT_TRUE(controller.paste(lines));
    EXPECT_FALSE(controller.paste(lines)) << "the box is read-only while a job runs";
    ASSERT_TRUE(window.finish_jobs());
    EXPECT_EQ(window.shown->text, lines);
    EXPECT_EQ(window.shown->selection, (Selection{lines.size(), lines.size()}));
    EXPECT_TRUE(controller.can_undo());
}

TEST(WindowController, SaysWhenNothingIsSelectedToSplit) {
    FakeWindow window;
    WindowController controller(window, background_starter(add_a_mark));
    window.controller = &controller;
    window.type(u"好");
    EXPECT_FALSE(controller.can_split_selection());
    controller.run(layout::Command::SplitSelection);
    EXPECT_EQ(window.notices, std::vector<std::string>{std::string(texts::kNothingSelected)});
    EXPECT_FALSE(controller.running());
    window.select({0, 1});
    EXPECT_TRUE(controller.can_split_selection());
}

TEST(WindowController, CopiesAndOpensTheWebPageThroughTheView) {
    FakeWindow window;
    WindowController controller(window, background_starter(add_a_mark));
    window.type(u"好");
    controller.run(layout::Command::CopyAll);
    controller.run(layout::Command::OpenWebPage);
    controller.run(layout::Command::OpenWebPage);
    EXPECT_EQ(window.clipboard, std::vector<std::u16string>{u"好"});
    EXPECT_EQ(window.web_pages, 2);
}

// A document that cannot be shown again for want of memory is kept: the message says so,
// and the next Ctrl+Z, with memory again, takes it back.
TEST(WindowController, AStepBackThatFailsKeepsEveryDocument) {
    FakeWindow window;
    WindowController controller(window, background_starter(add_a_mark));
    window.controller = &controller;
    window.type(u"好");
    controller.run(layout::Command::Split);
    ASSERT_TRUE(window.finish_jobs());
    window.shown->typing = {};  // the typing of the first document is not in the way
    window.fail_swapping = true;
    EXPECT_TRUE(controller.key(layout::Key::Z, false));
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_NE(window.messages[0].find("撤销"), std::string::npos) << window.messages[0];
    EXPECT_EQ(window.shown->text, u"好!");
    window.fail_swapping = false;
    EXPECT_TRUE(controller.key(layout::Key::Z, false));
    EXPECT_EQ(window.shown->text, u"好");
}

struct FailureCase {
    const char* name;
    JobRunner runner;
    std::string says;
    bool fail_reading = false;
    bool fail_showing = false;
    bool prepares = false;
    bool fail_preparing = false;
    bool fail_starting = false;  // no memory to hand the job to its thread
};

class Failures : public ::testing::TestWithParam<FailureCase> {};

// Whatever fails, on either thread: one message, the text as it was, the waiting clicks
// dropped, and the window goes on.
TEST_P(Failures, ShowOneMessageAndKeepTheText) {
    const auto& test = GetParam();
    FakeWindow window;
    window.type(u"好");
    window.fail_reading = test.fail_reading;
    window.fail_showing = test.fail_showing;
    window.prepares = test.prepares;
    window.fail_preparing = test.fail_preparing;
    bool starting_fails = test.fail_starting;
    const JobStarter starter = background_starter(test.runner);
    WindowController controller(window, [&](Job job, TextPreparer prepare, Deliver deliver) {
        if (starting_fails) {
            throw std::bad_alloc();
        }
        return starter(std::move(job), std::move(prepare), std::move(deliver));
    });
    window.controller = &controller;
    controller.run(layout::Command::Split);
    if (!test.fail_reading && !test.fail_starting) {
        controller.run(layout::Command::Split);  // waiting: dropped by the failure
    }
    ASSERT_TRUE(window.finish_jobs());
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_NE(window.messages[0].find(test.says), std::string::npos) << window.messages[0];
    EXPECT_EQ(window.shown->text, u"好");
    EXPECT_TRUE(window.editable);
    EXPECT_TRUE(window.tasks.empty());

    // The window goes on: the next click splits again.
    window.fail_reading = window.fail_showing = window.fail_preparing = starting_fails = false;
    const auto works = background_starter(add_a_mark);
    WindowController again(window, works);
    window.controller = &again;
    again.run(layout::Command::Split);
    ASSERT_TRUE(window.finish_jobs());
    EXPECT_EQ(window.shown->text, u"好!");
}

SplitOutcome too_large(Job) {
    return SplitFailure(ResultTooLarge{});
}
SplitOutcome throws_bad_alloc(Job) {
    throw std::bad_alloc();
}
SplitOutcome throws_runtime_error(Job) {
    throw std::runtime_error("ICU has no converter windows-936-2000");
}

INSTANTIATE_TEST_SUITE_P(
    WindowController, Failures,
    ::testing::Values(FailureCase{"table_or_limit", too_large, "上限"},
                      FailureCase{"memory_on_the_jobs_thread", throws_bad_alloc, "内存不足"},
                      FailureCase{"anything_else_thrown", throws_runtime_error,
                                  "ICU has no converter windows-936-2000"},
                      FailureCase{"memory_while_reading_the_text", add_a_mark, "内存不足", true},
                      FailureCase{"memory_while_showing_the_result", add_a_mark, "内存不足", false,
                                  true},
                      FailureCase{"memory_while_preparing_the_result", add_a_mark, "内存不足",
                                  false, false, true, true},
                      FailureCase{"memory_while_showing_a_prepared_result", add_a_mark, "内存不足",
                                  false, true, true},
                      FailureCase{"memory_while_starting_the_job", add_a_mark, "内存不足", false,
                                  false, false, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

// A long paste that fails says so in its own words, not the split's.
TEST(WindowController, AFailedPasteSaysItIsThePaste) {
    FakeWindow window;
    WindowController controller(window, background_starter(throws_bad_alloc));
    window.controller = &controller;
    ASSERT_TRUE(controller.paste(std::u16string(rules::kLongPasteLines + 1, u'\n')));
    ASSERT_TRUE(window.finish_jobs());
    controller.run(layout::Command::Split);
    ASSERT_TRUE(window.finish_jobs());
    ASSERT_EQ(window.messages.size(), 2u);
    EXPECT_NE(window.messages[0].find("无法完成粘贴"), std::string::npos) << window.messages[0];
    EXPECT_NE(window.messages[1].find("无法完成拆分"), std::string::npos) << window.messages[1];
}

// The window closes mid-job: nothing waits, and the outcome is handed to nobody.
TEST(WindowController, ClosingMidJobDropsTheOutcome) {
    auto gate = std::make_shared<testing::JobGate>();
    FakeWindow window;
    {
        WindowController controller(window, background_starter([gate](Job job) {
                                        gate->pass();
                                        return add_a_mark(std::move(job));
                                    }));
        gate->close();
        controller.run(layout::Command::Split);
        ASSERT_TRUE(gate->wait_entered());
    }  // closed while the job waits
    EXPECT_FALSE(window.busy);
    gate->open();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (BackgroundSplit::any_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(BackgroundSplit::any_running());
    const std::lock_guard lock(window.mutex);
    EXPECT_TRUE(window.tasks.empty());
}

}  // namespace
}  // namespace mardovane
