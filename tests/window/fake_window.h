#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "window/common/typing_history.h"
#include "window/common/window_controller.h"

namespace mardovane::testing {

// A document of the fake text box: its text, its selection and its typing history, which
// the web page keeps as this does.
struct FakeDocument final : KeptText {
    std::u16string text;
    Selection selection;
    TypingHistory typing;

    rules::KeptDocument size() const override {
        return {text.size(),
                static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\n')) + 1};
    }
};

// A window as the controller sees it, with a text box that keeps its own typing history as
// a toolkit's does. Tasks for the window's thread and timers wait until the test runs
// them, as an event loop would.
class FakeWindow final : public WindowView {
  public:
    // The box as the toolkit edits it: a paste it makes itself, typing at the caret.
    void type(std::u16string_view typed) {
        auto& document = *shown;
        const std::size_t from = std::min(document.selection.from, document.text.size());
        const std::size_t to = std::clamp(document.selection.to, from, document.text.size());
        document.typing.typed({from, document.text.substr(from, to - from), std::u16string(typed)});
        document.text.replace(from, to - from, typed);
        const std::size_t caret = from + typed.size();
        document.selection = {caret, caret};
        if (controller != nullptr) {
            controller->typed();
        }
    }
    void select(Selection selection) { shown->selection = selection; }

    std::u16string content() const override {
        if (fail_reading) {
            throw std::bad_alloc();
        }
        return shown->text;
    }
    Selection selection() const override { return shown->selection; }
    rules::TextForm text_form() const override { return {false, false}; }
    std::unique_ptr<KeptText> show(NewText text) override {
        if (fail_showing) {
            throw std::bad_alloc();  // a box that cannot take the text keeps its own
        }
        auto document = std::make_unique<FakeDocument>();
        document->text = std::move(text.text);
        document->selection = text.selection;
        std::swap(document, shown);
        ++shows;
        return document;
    }
    void set_editable(bool is_editable) override { editable = is_editable; }
    TextPreparer preparer() override {
        if (!prepares) {
            return nullptr;
        }
        return [this](NewText text) -> std::shared_ptr<PreparedText> {
            prepared_off_window_thread = std::this_thread::get_id() != window_thread;
            if (fail_preparing) {
                throw std::bad_alloc();
            }
            return std::make_shared<Prepared>(*this, std::move(text));
        };
    }
    struct Prepared final : PreparedText {
        Prepared(FakeWindow& window, NewText text) : window(window), text(std::move(text)) {}
        std::unique_ptr<KeptText> show() override { return window.show(std::move(text)); }
        FakeWindow& window;
        NewText text;
    };

    bool can_undo_typing() const override { return shown->typing.can_undo(); }
    bool can_redo_typing() const override { return shown->typing.can_redo(); }
    void undo_typing() override { make(shown->typing.undo()); }
    void redo_typing() override { make(shown->typing.redo()); }
    void make(const TypedEdit& edit) {
        shown->text.replace(edit.at, edit.removed.size(), edit.inserted);
        const std::size_t caret = edit.at + edit.inserted.size();
        shown->selection = {caret, caret};
    }
    std::unique_ptr<KeptText> swap_shown(std::unique_ptr<KeptText>& kept) override {
        if (fail_swapping) {
            throw std::bad_alloc();
        }
        std::unique_ptr<KeptText> old = std::move(shown);
        shown.reset(static_cast<FakeDocument*>(kept.release()));
        return old;
    }

    void show_busy(bool is_busy) override { busy = is_busy; }
    void show_failure(const std::string& message) override { messages.push_back(message); }
    void show_notice(const std::string& message) override { notices.push_back(message); }
    void report(const std::string& message) override { reports.push_back(message); }
    void copy_all() override { clipboard.push_back(shown->text); }
    void open_web_page() override { ++web_pages; }
    void run_on_window_thread(std::function<void()> task) override {
        const std::lock_guard lock(mutex);
        tasks.push_back(std::move(task));
    }
    void run_later(int milliseconds, std::function<void()> task) override {
        timers.emplace_back(milliseconds, std::move(task));
    }

    // Runs the next task the job's thread handed over, waiting up to 30 s for it: a job
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
    // Runs tasks until no job runs: false when one never ends.
    bool finish_jobs() {
        while (controller != nullptr && controller->running()) {
            if (!run_next_task()) {
                return false;
            }
        }
        return true;
    }
    // Fires the timers set so far, as their time comes.
    void fire_timers() {
        auto due = std::move(timers);
        timers.clear();
        for (auto& [milliseconds, task] : due) {
            task();
        }
    }

    std::unique_ptr<FakeDocument> shown = std::make_unique<FakeDocument>();
    WindowController* controller = nullptr;
    bool fail_reading = false;
    bool fail_showing = false;
    bool fail_swapping = false;
    bool prepares = false;
    bool fail_preparing = false;
    std::atomic<bool> prepared_off_window_thread = false;
    const std::thread::id window_thread = std::this_thread::get_id();
    bool editable = true;
    bool busy = false;
    int shows = 0;
    int web_pages = 0;
    std::vector<std::string> messages;
    std::vector<std::string> notices;
    std::vector<std::string> reports;
    std::vector<std::u16string> clipboard;
    std::vector<std::pair<int, std::function<void()>>> timers;
    std::mutex mutex;
    std::deque<std::function<void()>> tasks;
};

}  // namespace mardovane::testing
