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

#include "window/common/window_controller.h"
#include "window/common/window_rules.h"
#include "window/qt/hotspot.h"
#include "window/qt/services.h"
#include "window/qt/text_box.h"
#include "window/qt/text_box_view.h"

namespace mardovane {

// Loads Qt's own translations for `locale` (the text box's context menu, the standard
// dialogs), so that they speak the desktop's language. Returns false where none is found.
bool install_qt_translations(QCoreApplication& application, const QLocale& locale);

struct WindowServices {
    std::filesystem::path program_directory;  // where keyword.info is read on each split
    Clipboard& clipboard;
    UrlOpener& url_opener;
    QUrl web_page;
    // Does a job on a thread of its own; none: run_job with keyword.info read afresh.
    JobRunner runner = nullptr;
};

// The program's one window, Form1: the background picture, the text box Text1 and the
// hotspots over the painted buttons. Fixed size; nothing is read until a command runs.
class MainWindow final : public QWidget {
    Q_OBJECT

  public:
    explicit MainWindow(WindowServices services);
    ~MainWindow() override;

    // Where the window goes when first shown: centred on the screen it opens on.
    void centre_on_screen();

    // What the window does: its commands, its jobs and its history.
    WindowController& controller() { return *controller_; }
    bool job_running() const { return controller_->running(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap background_;
    QPixmap background_2x_;
    TextBox* text_box_;
    rules::ClickTracker clicks_;
    std::unique_ptr<TextBoxView> view_;
    std::unique_ptr<WindowController> controller_;
};

}  // namespace mardovane
