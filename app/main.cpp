#include <QApplication>
#include <QUrl>
#include <cstdio>
#include <cstdlib>

#include "substitution/program_directory.h"
#include "window/main_window.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mardovane"));
    QApplication::setApplicationVersion(QStringLiteral(MARDOVANE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(MARDOVANE_APP_ID));
    mardovane::install_qt_translations(application, QLocale::system());

    const auto folder = mardovane::program_directory();
    if (const auto* error = std::get_if<mardovane::ProgramDirectoryError>(&folder)) {
        std::fprintf(stderr, "Mardovane: %s\n", error->message.c_str());
        return EXIT_FAILURE;
    }
    mardovane::SystemClipboard clipboard;
    mardovane::DesktopUrlOpener url_opener;
    mardovane::MainWindow window({std::get<std::filesystem::path>(folder), clipboard, url_opener,
                                  QUrl(QStringLiteral(MARDOVANE_HOMEPAGE))});
    window.centre_on_screen();
    window.show();
    return QApplication::exec();
}
