#include "window/common/split_controller.h"

#include <new>
#include <stdexcept>
#include <utility>

#include "window/common/failure_text.h"

namespace mardovane {

std::shared_ptr<RunningSplit> start_background_split(std::u16string text,
                                                     std::filesystem::path program_directory,
                                                     SplitFunction splitter, Deliver deliver) {
    return BackgroundSplit::start(std::move(text), std::move(program_directory),
                                  std::move(splitter), std::move(deliver));
}

SplitController::SplitController(SplitView& view, std::filesystem::path program_directory,
                                 SplitFunction splitter, SplitStarter starter)
    : view_(view),
      program_directory_(std::move(program_directory)),
      splitter_(std::move(splitter)),
      starter_(std::move(starter)) {}

SplitController::~SplitController() {
    if (running_) {
        running_->abandon();
        view_.set_busy(false);
    }
}

void SplitController::click() {
    if (sequence_.click()) {
        start(splitter_, texts::Activity::Split);
    }
}

bool SplitController::run_instead(SplitFunction work, texts::Activity activity) {
    if (sequence_.running()) {
        return false;
    }
    (void)sequence_.click();  // nothing runs: it starts now
    start(std::move(work), activity);
    return true;
}

void SplitController::start(SplitFunction work, texts::Activity activity) {
    activity_ = activity;
    std::u16string text;
    try {
        text = view_.content();
    } catch (...) {
        fail(failure_of_current_exception());
        return;
    }
    SplitFunction splitter = std::move(work);
    try {
        if (TextPreparer prepare = view_.preparer()) {
            splitter = prepared_by(std::move(splitter), std::move(prepare));
        }
    } catch (...) {
        fail(failure_of_current_exception());
        return;
    }
    view_.set_editable(false);
    view_.set_busy(true);
    try {
        running_ = starter_(
            std::move(text), program_directory_, std::move(splitter), [this](SplitOutcome outcome) {
                // On the split's thread, while this controller lives.
                auto handed = std::make_shared<SplitOutcome>(std::move(outcome));
                view_.run_on_window_thread([this, handed] { finish(std::move(*handed)); });
            });
    } catch (...) {  // no memory to start it: nothing runs, and the text stays as it was
        view_.set_busy(false);
        view_.set_editable(true);
        fail(failure_of_current_exception());
    }
}

void SplitController::finish(SplitOutcome outcome) {
    running_.reset();
    view_.set_busy(false);
    view_.set_editable(true);
    const auto failure = store_split_outcome(view_, std::move(outcome));
    if (failure) {
        fail(*failure);
    } else if (sequence_.finish(false)) {
        start(splitter_, texts::Activity::Split);
    }
}

void SplitController::fail(const SplitFailure& failure) {
    (void)sequence_.finish(true);  // the clicks still waiting go with the failure
    std::string message;
    try {
        message = texts::failure_text(failure, activity_);
    } catch (const std::bad_alloc&) {
        message = "内存不足。";
    }
    view_.show_failure(message);
}

}  // namespace mardovane
