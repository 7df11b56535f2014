#pragma once

#include <QCoreApplication>
#include <QLocale>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QUrl>
#include <QWidget>
#include <filesystem>
#include <vector>

#include <memory>

#include "window/common/split_controller.h"
#include "window/common/window_rules.h"
#include "window/qt/hotspot.h"
#include "window/qt/services.h"
#include "window/qt/text_box.h"
#include "window/qt/text_box_split_view.h"

namespace mardovane {

// Loads Qt's own translations for `locale` (the text box's context menu, the standard
// dialogs), so that they speak the desktop's language. Returns false where none is found.
bool install_qt_translations(QCoreApplication& application, const QLocale& locale);

struct WindowServices {
    std::filesystem::path program_directory;  // where keyword.info is read on each split
    Clipboard& clipboard;
    UrlOpener& url_opener;
    QUrl web_page;
    SplitFunction splitter = split_with_keyword_file;  // runs on a thread of its own
};

// The program's one window, Form1: the background picture, the text box Text1 and the
// hotspots over the painted buttons. Fixed size; nothing is read until a command runs.
class MainWindow final : public QWidget, public rules::WindowActions {
    Q_OBJECT

  public:
    explicit MainWindow(WindowServices services);
    ~MainWindow() override;

    // Where the window goes when first shown: centred on the screen it opens on.
    void centre_on_screen();

    // Starts a split, or queues it behind the one running: each click is one split.
    void split() override;
    bool split_running() const { return splits_->running(); }
    void copy_all() override;
    void clear() override;
    void open_web_page() override;

    // A paste longer than these is made off the window's thread. Qt takes about 75 ms on
    // the window's thread for 20,000 short lines, and about 160 ms for 4 Mi characters in
    // 40,000 lines: the lines cost, more than the characters.
    static constexpr int kLongPasteLines = 20'000;
    static constexpr int kLongPasteCharacters = 4 * 1024 * 1024;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool paste_off_thread(std::u16string pasted, int from, int to);

    WindowServices services_;
    QPixmap background_;
    QPixmap background_2x_;
    TextBox* text_box_;
    rules::ClickTracker clicks_;
    std::unique_ptr<TextBoxSplitView> split_view_;
    std::unique_ptr<SplitController> splits_;
};

}  // namespace mardovane
