#include "window/common/window_controller.h"

#include <new>
#include <utility>

#include "window/common/texts.h"
#include "window/common/window_rules.h"

namespace mardovane {

WindowController::WindowController(WindowView& view, JobStarter starter)
    : view_(view),
      starter_(std::move(starter)),
      alive_(std::make_shared<WindowController*>(this)) {}

WindowController::~WindowController() {
    if (running_) {
        running_->abandon();
    }
    if (running()) {
        view_.show_busy(false);
    }
}

void WindowController::run(layout::Command command) {
    switch (command) {
        case layout::Command::Split:
            click(JobKind::Split);
            return;
        case layout::Command::SplitSelection:
            click(JobKind::SplitSelection);
            return;
        case layout::Command::CopyAll:
            view_.copy_all();  // the text as it stands, during a job too
            return;
        case layout::Command::Clear:
            clear();
            return;
        case layout::Command::OpenWebPage:
            view_.open_web_page();
            return;
        case layout::Command::Undo:
            step(false);
            return;
        case layout::Command::Redo:
            step(true);
            return;
    }
}

bool WindowController::key(layout::Key key, bool shift) {
    const auto command = rules::shortcut_command(key, shift);
    if (command) {
        run(*command);
    }
    return command.has_value();
}

bool WindowController::paste(std::u16string_view pasted) {
    if (running() || !rules::is_long_paste(pasted)) {
        return false;
    }
    std::u16string text;
    try {
        text = rules::in_box_form(pasted, view_.text_form());
    } catch (...) {
        fail(failure_of_current_exception(), texts::Activity::Paste);
        return true;  // not pasted: the box keeps its text
    }
    (void)queue_.click(JobKind::Paste);  // nothing runs: it starts now
    set_working(true);
    start(JobKind::Paste, std::move(text));
    return true;
}

void WindowController::click(JobKind kind) {
    if (kind == JobKind::SplitSelection && !running() && view_.selection().empty()) {
        view_.show_notice(std::string(texts::kNothingSelected));
        return;
    }
    if (queue_.click(kind)) {
        set_working(true);
        start(kind);
    }
}

void WindowController::start(JobKind kind, std::u16string pasted) {
    activity_ = kind == JobKind::Paste ? texts::Activity::Paste : texts::Activity::Split;
    Job job;
    TextPreparer prepare;
    try {
        job.kind = kind;
        job.text = view_.text_for_job();
        job.selection = view_.selection();
        job.pasted = std::move(pasted);
        prepare = view_.preparer();
    } catch (...) {
        fail(failure_of_current_exception(), activity_);
        (void)queue_.finish(true);
        set_working(false);
        return;
    }
    if (kind == JobKind::SplitSelection && job.selection.empty()) {
        // Clicked while a job ran, and nothing is selected now.
        view_.show_notice(std::string(texts::kNothingSelected));
        if (const auto next = queue_.finish(false)) {
            start(*next);
        } else {
            set_working(false);
        }
        return;
    }
    try {
        const std::weak_ptr<WindowController*> alive = alive_;
        running_ =
            starter_(std::move(job), std::move(prepare), [this, alive](SplitOutcome outcome) {
                // On the job's thread, while this controller lives.
                auto handed = std::make_shared<SplitOutcome>(std::move(outcome));
                view_.run_on_window_thread([alive, handed] {
                    if (const auto controller = alive.lock()) {
                        (*controller)->finish(std::move(*handed));
                    }
                });
            });
    } catch (...) {  // no memory to start it: nothing runs, and the text stays as it was
        fail(failure_of_current_exception(), activity_);
        (void)queue_.finish(true);
        set_working(false);
    }
}

void WindowController::finish(SplitOutcome outcome) {
    running_.reset();
    std::optional<SplitFailure> failure;
    std::string report;
    try {
        if (auto* text = std::get_if<NewText>(&outcome)) {
            const std::size_t replacements = text->replacements;
            history_.replaced(view_.show(std::move(*text)));
            if (replacements != 0) {
                report = texts::job_report(activity_, replacements);
            }
        } else if (auto* prepared = std::get_if<std::shared_ptr<PreparedText>>(&outcome)) {
            history_.replaced((*prepared)->show());
            if ((*prepared)->replacements() != 0) {
                report = texts::job_report(activity_, (*prepared)->replacements());
            }
        } else if (auto* failed = std::get_if<SplitFailure>(&outcome)) {
            failure = std::move(*failed);
        } else {
            report = texts::job_report(activity_, 0);
        }
    } catch (...) {  // the box has kept its text
        failure = failure_of_current_exception();
    }
    if (failure) {
        fail(*failure, activity_);
    } else if (!report.empty()) {
        view_.report(report);
    }
    if (const auto next = queue_.finish(failure.has_value())) {
        start(*next);
    } else {
        set_working(false);
    }
}

void WindowController::fail(const SplitFailure& failure, texts::Activity activity) {
    std::string message;
    try {
        message = texts::failure_text(failure, activity);
    } catch (const std::bad_alloc&) {
        message = "内存不足。";
    }
    view_.show_failure(message);
}

void WindowController::clear() {
    if (running()) {
        return;  // the text is read-only while a job runs
    }
    try {
        if (!view_.content().empty()) {
            history_.replaced(view_.show(NewText{}));
        }
    } catch (...) {
        fail(failure_of_current_exception(), texts::Activity::Clear);
    }
}

void WindowController::step(bool forward) {
    if (running()) {
        return;  // the text is read-only while a job runs
    }
    try {
        (void)(forward ? history_.redo(view_) : history_.undo(view_));
    } catch (...) {
        fail(failure_of_current_exception(),
             forward ? texts::Activity::Redo : texts::Activity::Undo);
    }
}

void WindowController::set_working(bool working) {
    view_.set_editable(!working);
    if (!working) {
        view_.show_busy(false);
        return;
    }
    // Busy only once a job, or the jobs clicked after it, have run for a while.
    const unsigned number = ++job_number_;
    const std::weak_ptr<WindowController*> alive = alive_;
    view_.run_later(kBusyDelayMs, [alive, number] {
        if (const auto controller = alive.lock();
            controller && (*controller)->running() && (*controller)->job_number_ == number) {
            (*controller)->view_.show_busy(true);
        }
    });
}

}  // namespace mardovane
