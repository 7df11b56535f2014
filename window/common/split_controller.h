#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "window/common/background_split.h"
#include "window/common/failure_text.h"
#include "window/common/split_command.h"

namespace mardovane {

// How long a split runs before the window shows the busy pointer.
inline constexpr int kBusyPointerDelayMs = 300;

// What a window offers the split controller: its text box, its pointer, its messages and
// its thread. Each front end implements it and nothing more of the split.
class SplitView : public TextHolder {
  public:
    // The text box is read-only while a split runs: it can be read and copied, not edited.
    virtual void set_editable(bool editable) = 0;
    // Starts showing the busy pointer after kBusyPointerDelayMs, or stops it at once.
    virtual void set_busy(bool busy) = 0;
    // A window-modal message that does not block: the split is over, the text untouched.
    virtual void show_failure(const std::string& message) = 0;
    // Runs `task` on the window's thread, later, and never once the window has gone. Called
    // from the split's thread.
    virtual void run_on_window_thread(std::function<void()> task) = 0;
    // Asked on the window's thread as a split starts: what prepares its result on the
    // split's thread, or nothing, and the result is stored with replace_content().
    virtual TextPreparer preparer() { return nullptr; }
};

// The desktop's way: BackgroundSplit::start, a thread of its own.
std::shared_ptr<RunningSplit> start_background_split(std::u16string text,
                                                     std::filesystem::path program_directory,
                                                     SplitFunction splitter, Deliver deliver);

// The whole life of the splits of one window: each click is one split, run off the
// window's thread one after another in click order; the result is stored as one edit; a
// failure of any step (the table, the size limit, the memory while reading or storing the
// text, a thread that cannot start, anything the splitter throws) shows one message,
// leaves the text as it was and drops the clicks still waiting. Dropped mid-split (the
// window closes), it does not wait, and the split's outcome goes nowhere.
class SplitController {
  public:
    SplitController(SplitView& view, std::filesystem::path program_directory,
                    SplitFunction splitter = split_with_keyword_file,
                    SplitStarter starter = start_background_split);
    ~SplitController();
    SplitController(const SplitController&) = delete;
    SplitController& operator=(const SplitController&) = delete;

    // A click on the split button.
    void click();
    // Another command that makes the whole text anew and takes long on the window's
    // thread (a paste of millions of lines): `work` runs as a split would, off the
    // window's thread, with the same busy pointer, undo step and failure message, worded
    // for `activity`. Only when no split runs (the text box is read-only then): false
    // otherwise.
    bool run_instead(SplitFunction work, texts::Activity activity);
    bool running() const { return sequence_.running(); }

  private:
    void start(SplitFunction work, texts::Activity activity);
    void finish(SplitOutcome outcome);
    void fail(const SplitFailure& failure);

    SplitView& view_;
    std::filesystem::path program_directory_;
    SplitFunction splitter_;
    SplitStarter starter_;
    SplitSequence sequence_;
    std::shared_ptr<RunningSplit> running_;
    texts::Activity activity_ = texts::Activity::Split;  // of the one running or failing
};

}  // namespace mardovane
