#pragma once

#include <QPlainTextEdit>
#include <QTimer>
#include <QWidget>

#include "window/common/split_controller.h"
#include "window/qt/text_box.h"

namespace mardovane {

// The Qt window as the split controller sees it: the text box, the busy pointer, a message
// box and the window's event loop.
class TextBoxSplitView final : public SplitView {
  public:
    TextBoxSplitView(QWidget& window, TextBox& box);
    ~TextBoxSplitView() override;

    std::u16string content() const override;
    void replace_content(std::u16string text) override;
    void set_editable(bool editable) override { box_.setReadOnly(!editable); }
    void set_busy(bool busy) override;
    void show_failure(const std::string& message) override;
    void run_on_window_thread(std::function<void()> task) override;
    // The result becomes a document on the split's thread; the box only swaps it in.
    TextPreparer preparer() override;

  private:
    QWidget& window_;
    TextBox& box_;
    QTimer busy_timer_;
    bool busy_pointer_shown_ = false;
};

}  // namespace mardovane
