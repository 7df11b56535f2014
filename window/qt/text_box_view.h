#pragma once

#include <QPointer>
#include <QWidget>

#include "window/common/window_controller.h"
#include "window/qt/services.h"
#include "window/qt/text_box.h"

namespace mardovane {

// The Qt window as the window controller sees it: the text box, the busy pointer, a
// window-modal message box, a tooltip for notices, the clipboard, the browser and the
// window's event loop.
class TextBoxView final : public WindowView {
  public:
    TextBoxView(QWidget& window, TextBox& box, Clipboard& clipboard, UrlOpener& url_opener,
                QUrl web_page);
    ~TextBoxView() override;

    std::u16string content() const override;
    Selection selection() const override { return box_.selection(); }
    // Qt's document makes a line break of U+2029, U+FDD0 and U+FDD1, as of CR and LF.
    rules::TextForm text_form() const override { return {false, true}; }
    std::unique_ptr<KeptText> show(NewText text) override;
    void set_editable(bool editable) override { box_.setReadOnly(!editable); }
    // The new text fills a document on the job's thread; the box lays it out and swaps it in.
    TextPreparer preparer() override;

    bool can_undo_typing() const override { return box_.can_undo_typing(); }
    bool can_redo_typing() const override { return box_.can_redo_typing(); }
    void undo_typing() override { box_.undo_typing(); }
    void redo_typing() override { box_.redo_typing(); }
    std::unique_ptr<KeptText> swap_shown(std::unique_ptr<KeptText>& kept) override {
        return box_.swap_in(kept);
    }

    void show_busy(bool busy) override;
    void show_failure(const std::string& message) override;
    void show_notice(const std::string& message) override;
    void copy_all() override;
    void open_web_page() override;
    void run_on_window_thread(std::function<void()> task) override;
    void run_later(int milliseconds, std::function<void()> task) override;

  private:
    QWidget& window_;
    TextBox& box_;
    Clipboard& clipboard_;
    UrlOpener& url_opener_;
    QUrl web_page_;
    bool busy_pointer_shown_ = false;
};

}  // namespace mardovane
