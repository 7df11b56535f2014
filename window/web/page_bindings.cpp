// What the web page's script reaches of the program: the layout and texts of the shared
// rules, the window controller behind the page's window, and the job the worker does.
#include <emscripten.h>
#include <emscripten/bind.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "window/common/failure_text.h"
#include "window/common/layout.h"
#include "window/common/typing_history.h"
#include "window/common/window_controller.h"
#include "window/web/outcome_transfer.h"
#include "window/web/page_layout.h"

namespace mardovane::web {
namespace {

using emscripten::val;

// A job that the page's worker does: its outcome comes back through finishJob.
class WorkerJob final : public RunningSplit {
  public:
    explicit WorkerJob(Deliver deliver) : deliver_(std::move(deliver)) {}
    void abandon() override { deliver_ = nullptr; }
    void deliver(SplitOutcome outcome) {
        if (deliver_) {
            deliver_(std::move(outcome));
        }
    }

  private:
    Deliver deliver_;
};

// A text the page's box showed before it was replaced whole: the page keeps the text and
// its selection under `number`; the program keeps how big it is and its typing.
class KeptPageText final : public KeptText {
  public:
    // `kept` is what the page's show() or restore() gave back.
    static std::unique_ptr<KeptPageText> of(const val& view, const val& kept) {
        const int number = kept["number"].as<int>();
        if (number == 0) {
            throw std::bad_alloc();  // the box had no room for the new text, and kept its own
        }
        return std::unique_ptr<KeptPageText>(
            new KeptPageText(view, number,
                             {static_cast<std::size_t>(kept["characters"].as<double>()),
                              static_cast<std::size_t>(kept["lines"].as<double>())}));
    }
    ~KeptPageText() override {
        if (number_ != 0) {
            view_.call<void>("forget", number_);
        }
    }
    rules::KeptDocument size() const override { return size_; }
    // Shows the text kept in the page's box again; gives back the one it replaced.
    std::unique_ptr<KeptPageText> restore() {
        auto replaced = of(view_, view_.call<val>("restore", number_));
        number_ = 0;  // the page has it back
        return replaced;
    }

    TypingHistory typing;  // the typing in the text when it was replaced

  private:
    KeptPageText(val view, int number, rules::KeptDocument size)
        : view_(std::move(view)), number_(number), size_(size) {}
    val view_;
    int number_;
    rules::KeptDocument size_;
};

// Shows a new text in the page's box: the text it replaces is kept with the typing in
// it, and the new one starts with none.
std::unique_ptr<KeptText> show_in_page(const val& view, const val& units, Selection selection,
                                       TypingHistory& typing) {
    auto kept = KeptPageText::of(view, view.call<val>("show", units, selection.from, selection.to));
    kept->typing = std::exchange(typing, {});
    return kept;
}

// A worker's new text, handed from the worker to the page's box without a copy in the
// program's memory.
class WorkerText final : public PreparedText {
  public:
    WorkerText(val view, val units, Selection selection, std::size_t replacements,
               TypingHistory& typing)
        : view_(std::move(view)),
          units_(std::move(units)),
          selection_(selection),
          replacements_(replacements),
          typing_(typing) {}
    std::unique_ptr<KeptText> show() override {
        return show_in_page(view_, units_, selection_, typing_);
    }
    std::size_t replacements() const override { return replacements_; }

  private:
    val view_;
    val units_;
    Selection selection_;
    std::size_t replacements_;
    TypingHistory& typing_;  // the page window's, which outlives its jobs' texts
};

// The page's window as the controller sees it. `view` is the page script's object, which
// does what only the browser does: text(), selection(), show(units, from, to) and
// restore(number) (which keep the text they replace, under a number they give back with
// its size), forget(number), setEditable(on), edit(at, length, units) (a step of the
// typing history), showBusy(on), showFailure(message), showNotice(message),
// report(message), copyAll(), openWebPage() and startJob(id, job), which adds the text.
// The typing is the program's history: the page reports each edit the user commits.
class PageWindow final : public WindowView {
  public:
    explicit PageWindow(val view)
        : view_(std::move(view)),
          controller_(*this, [this](Job job, TextPreparer, Deliver deliver) {
              // The page makes no text ready off its thread: it has no preparer.
              return start(std::move(job), std::move(deliver));
          }) {}

    void run(const std::string& command) {
        if (const auto found = command_named(command)) {
            controller_.run(*found);
        }
    }
    bool key(const std::string& key, const std::string& code, bool shift) {
        const auto pressed = key_named(key, code);
        return pressed && controller_.key(*pressed, shift);
    }
    bool paste(const val& units) { return controller_.paste(units_from_js(units)); }
    // The user committed an edit: at `at`, `removed` gave way to `inserted`.
    void typed(double at, const val& removed, const val& inserted) {
        typing_.typed(
            {static_cast<std::size_t>(at), units_from_js(removed), units_from_js(inserted)});
        controller_.typed();
    }
    bool running() const { return controller_.running(); }
    bool can_undo() const { return controller_.can_undo(); }
    bool can_redo() const { return controller_.can_redo(); }
    bool can_split_selection() const { return controller_.can_split_selection(); }

    // The worker's answer to the job `id`. A new text goes to the box as the worker made
    // it; anything else as the program's outcome.
    void finish_job(int id, const val& result) {
        const auto it = pending_.find(id);
        if (it == pending_.end()) {
            return;
        }
        const auto job = it->second;
        pending_.erase(it);
        if (result["kind"].as<std::string>() == "text") {
            job->deliver(std::shared_ptr<PreparedText>(std::make_shared<WorkerText>(
                view_, result["text"],
                Selection{static_cast<std::size_t>(result["from"].as<double>()),
                          static_cast<std::size_t>(result["to"].as<double>())},
                static_cast<std::size_t>(result["replacements"].as<double>()), typing_)));
            return;
        }
        job->deliver(outcome_from_js(result));
    }

    std::u16string content() const override { return units_from_js(view_.call<val>("text")); }
    // The page hands its worker the text itself, without a copy in the program's memory.
    std::u16string text_for_job() const override { return {}; }
    Selection selection() const override {
        const val range = view_.call<val>("selection");
        return {range[0].as<std::size_t>(), range[1].as<std::size_t>()};
    }
    // A textarea's value has LF line breaks.
    rules::TextForm text_form() const override { return {false, false}; }
    std::unique_ptr<KeptText> show(NewText text) override {
        return show_in_page(view_, units_to_js(text.text), text.selection, typing_);
    }
    void set_editable(bool editable) override { view_.call<void>("setEditable", editable); }

    bool can_undo_typing() const override { return typing_.can_undo(); }
    bool can_redo_typing() const override { return typing_.can_redo(); }
    void undo_typing() override { make(typing_.undo()); }
    void redo_typing() override { make(typing_.redo()); }
    std::unique_ptr<KeptText> swap_shown(std::unique_ptr<KeptText>& kept) override {
        auto& page_kept = static_cast<KeptPageText&>(*kept);
        auto replaced = page_kept.restore();
        replaced->typing = std::exchange(typing_, std::move(page_kept.typing));
        kept.reset();
        return replaced;
    }

    void show_busy(bool busy) override { view_.call<void>("showBusy", busy); }
    void show_failure(const std::string& message) override {
        view_.call<void>("showFailure", message);
    }
    void show_notice(const std::string& message) override {
        view_.call<void>("showNotice", message);
    }
    void report(const std::string& message) override { view_.call<void>("report", message); }
    void copy_all() override { view_.call<void>("copyAll"); }
    void open_web_page() override { view_.call<void>("openWebPage"); }
    // The worker's answer arrives on the page's one thread already: the task runs after
    // the current event, as the desktop's queued call does.
    void run_on_window_thread(std::function<void()> task) override {
        run_later(0, std::move(task));
    }
    void run_later(int milliseconds, std::function<void()> task) override {
        auto* queued = new std::function<void()>(std::move(task));
        emscripten_async_call(
            [](void* argument) {
                std::unique_ptr<std::function<void()>> run(
                    static_cast<std::function<void()>*>(argument));
                (*run)();
            },
            queued, milliseconds);
    }

  private:
    void make(const TypedEdit& edit) {
        view_.call<void>("edit", static_cast<double>(edit.at),
                         static_cast<double>(edit.removed.size()), units_to_js(edit.inserted));
    }
    std::shared_ptr<RunningSplit> start(Job job, Deliver deliver) {
        auto running = std::make_shared<WorkerJob>(std::move(deliver));
        const int id = ++last_id_;
        pending_[id] = running;
        view_.call<void>("startJob", id, job_to_js(job));
        return running;
    }

    val view_;
    TypingHistory typing_;  // of the text shown
    std::map<int, std::shared_ptr<WorkerJob>> pending_;
    int last_id_ = 0;
    WindowController controller_;
};

// The worker's job: `table` is the keyword file's bytes (a Uint8Array) read afresh from
// `name`, or null when it could not be read (`problem` says why: "missing" or the
// browser's own words). A table read again unchanged (most taps: the server said 304) is
// not parsed again: the plan made of the same bytes last time is applied.
val job_in_worker(const val& job, const val& table, const std::string& name,
                  const std::string& problem) {
    struct Kept {
        std::string name;
        std::string bytes;
        std::shared_ptr<const SplitPlan> plan;
    };
    static Kept last;
    const PlanLoader plans = [&]() -> std::variant<std::shared_ptr<const SplitPlan>, FileError> {
        if (table.isNull() || table.isUndefined()) {
            return problem == "missing" ? file_error(FileProblem::Missing, name)
                                        : file_error(FileProblem::Unreadable, name, problem);
        }
        std::string bytes(table["length"].as<std::size_t>(), '\0');
        val(emscripten::typed_memory_view(bytes.size(),
                                          reinterpret_cast<std::uint8_t*>(bytes.data())))
            .call<void>("set", table);
        if (last.plan && last.name == name && last.bytes == bytes) {
            return last.plan;
        }
        last = Kept{};  // the old plan goes before the new one is made
        auto parsed = parse_keyword_file(bytes, name);
        if (auto* error = std::get_if<FileError>(&parsed)) {
            return std::move(*error);
        }
        auto plan = std::make_shared<const SplitPlan>(std::move(std::get<KeywordTable>(parsed)));
        last = Kept{name, std::move(bytes), plan};
        return plan;
    };
    return outcome_to_js(run_job_with_plans(job_from_js(job), plans));
}

}  // namespace
}  // namespace mardovane::web

EMSCRIPTEN_BINDINGS(mardovane) {
    using namespace mardovane::web;
    emscripten::function("pageLayout", &page_layout);
    emscripten::function("jobInWorker", &job_in_worker);
    emscripten::class_<PageWindow>("PageWindow")
        .constructor<emscripten::val>()
        .function("run", &PageWindow::run)
        .function("key", &PageWindow::key)
        .function("paste", &PageWindow::paste)
        .function("typed", &PageWindow::typed)
        .function("running", &PageWindow::running)
        .function("canUndo", &PageWindow::can_undo)
        .function("canRedo", &PageWindow::can_redo)
        .function("canSplitSelection", &PageWindow::can_split_selection)
        .function("finishJob", &PageWindow::finish_job);
}
