#include <QApplication>
#include <QUrl>

#include "substitution/program_directory.h"
#include "window/main_window.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mardovane"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QGuiApplication::setDesktopFileName(QStringLiteral(MARDOVANE_APP_ID));

    mardovane::SystemClipboard clipboard;
    mardovane::DesktopUrlOpener url_opener;
    mardovane::MainWindow window({mardovane::program_directory(), clipboard, url_opener,
                                  QUrl(QStringLiteral(MARDOVANE_HOMEPAGE))});
    window.centre_on_screen();
    window.show();
    return QApplication::exec();
}
