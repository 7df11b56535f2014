#pragma once

#include <functional>
#include <memory>
#include <string>

#include "window/common/background_split.h"
#include "window/common/failure_text.h"
#include "window/common/layout.h"
#include "window/common/long_paste.h"
#include "window/common/text_history.h"
#include "window/common/text_job.h"

namespace mardovane {

// How long a job runs before the window shows that it is busy.
inline constexpr int kBusyDelayMs = 300;

// What a front end offers the window's behaviour: its text box, its messages and its
// thread. Each front end implements this and nothing more of what the window does.
class WindowView : public HistoryView {
  public:
    // The text box: its whole text, and its selection in units of that text.
    virtual std::u16string content() const = 0;
    // The text a job is given: the whole text, or none where the front end hands its jobs
    // the text itself (the page gives its worker the text without a copy in the program).
    virtual std::u16string text_for_job() const { return content(); }
    virtual Selection selection() const = 0;
    virtual rules::TextForm text_form() const = 0;
    // Shows `text` as the whole content, with its selection, as one step of the history:
    // gives back the document it replaced. Throws (std::bad_alloc) and leaves the box as
    // it was when it cannot.
    virtual std::unique_ptr<KeptText> show(NewText text) = 0;
    // The text box is read-only while a job runs: it can be read and copied, not edited.
    virtual void set_editable(bool editable) = 0;
    // What makes a new text ready on the job's thread, or nothing: show() then takes it.
    virtual TextPreparer preparer() { return nullptr; }

    // The window: the busy state (at once), a window-modal message that does not block,
    // a short notice that goes by itself, the clipboard and the maker's web page.
    virtual void show_busy(bool busy) = 0;
    virtual void show_failure(const std::string& message) = 0;
    virtual void show_notice(const std::string& message) = 0;
    // What a job did, in a few words, where the window has a line for it (and screen
    // readers hear it): the page's status line. Nothing, by default.
    virtual void report(const std::string& message) { (void)message; }
    virtual void copy_all() = 0;
    virtual void open_web_page() = 0;

    // Runs `task` on the window's thread, later, and never once the window has gone.
    // Called from the job's thread.
    virtual void run_on_window_thread(std::function<void()> task) = 0;
    // Runs `task` on the window's thread after `milliseconds`, never once it has gone.
    virtual void run_later(int milliseconds, std::function<void()> task) = 0;
};

// What the window does, for every front end: which command a click, a key or a menu item
// runs; splits of the whole text and of the selection, one a click, in click order, off
// the window's thread; long pastes made the same way; clearing only while no job runs;
// Ctrl+Z and Ctrl+Y through jobs and typing; the busy state after a delay; one message for
// any failure, with the text as it was. Dropped while a job runs (the window closes), it
// does not wait, and the job's outcome goes nowhere.
class WindowController {
  public:
    WindowController(WindowView& view, JobStarter starter);
    ~WindowController();
    WindowController(const WindowController&) = delete;
    WindowController& operator=(const WindowController&) = delete;

    // A click on a hotspot, a menu item, a shortcut.
    void run(layout::Command command);
    // A key pressed with Ctrl held, and Shift or not: runs its command, if it has one.
    bool key(layout::Key key, bool shift);
    // Text pasted into the box: true when it was long, and is made off the window's thread
    // as one step of the history; false when the toolkit pastes it itself.
    bool paste(std::u16string_view pasted);
    // The user changed the text in the box.
    void typed() { history_.typed(); }

    bool running() const { return queue_.running(); }
    bool can_undo() const { return !running() && history_.can_undo(view_); }
    bool can_redo() const { return !running() && history_.can_redo(view_); }
    bool can_split_selection() const { return !running() && !view_.selection().empty(); }

  private:
    void click(JobKind kind);
    void start(JobKind kind, std::u16string pasted = {});
    void finish(SplitOutcome outcome);
    void fail(const SplitFailure& failure, texts::Activity activity);
    void clear();
    void step(bool forward);
    void set_working(bool working);

    WindowView& view_;
    JobStarter starter_;
    JobQueue queue_;
    TextHistory history_;
    std::shared_ptr<RunningSplit> running_;
    texts::Activity activity_ = texts::Activity::Split;  // of the job running
    unsigned job_number_ = 0;                            // which job a busy timer is for
    // Tasks for the window's thread hold this weakly: once the controller is gone, they
    // do nothing.
    std::shared_ptr<WindowController*> alive_;
};

}  // namespace mardovane
