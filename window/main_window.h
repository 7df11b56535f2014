#pragma once

#include <QPixmap>
#include <QPlainTextEdit>
#include <QUrl>
#include <QWidget>
#include <filesystem>
#include <vector>

#include "window/hotspot.h"
#include "window/services.h"

namespace mardovane {

struct WindowServices {
    std::filesystem::path program_directory;  // where keyword.info is read on each split
    ClipboardWriter& clipboard;
    UrlOpener& url_opener;
    QUrl web_page;
};

// The program's one window, Form1: the background picture, the text box Text1 and the
// hotspots over the painted buttons. Fixed size; nothing is read until a command runs.
class MainWindow final : public QWidget {
    Q_OBJECT

  public:
    explicit MainWindow(WindowServices services);

    // Where the window goes when first shown: centred on the screen it opens on.
    void centre_on_screen();

    void split();
    void copy_all();
    void clear();
    void open_web_page();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void run(layout::Command command);

    WindowServices services_;
    QPixmap background_;
    QPixmap background_2x_;
    QPlainTextEdit* text1_;
};

}  // namespace mardovane
