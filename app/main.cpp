#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "substitution/program_directory.h"
#include "window/qt/main_window.h"

namespace {

// --help and --version answer without a window, as any program's do. Returns the exit
// status when the program is to stop here.
std::optional<int> answer_command_line(int argc, char** argv) {
    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Mardovane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MARDOVANE_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Splits Chinese characters into the characters they are written from, for fun."));
    // Qt's own options are written with one dash (-platform offscreen).
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption platform(
        QStringLiteral("platform"),
        QStringLiteral("Qt's platform plugin to draw the window with (xcb, wayland, vnc, "
                       "offscreen), as every Qt program takes it."),
        QStringLiteral("name"));
    parser.addOption(platform);
    (void)parser.parse(QCoreApplication::arguments());  // Qt's own options go on to Qt
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return std::fflush(stdout) == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
    }
    if (parser.isSet(version)) {
        std::printf("Mardovane %s\n", MARDOVANE_VERSION);
        return std::fflush(stdout) == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
    }
    // Without a display Qt would abort; say so in one line instead.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !parser.isSet(platform)) {
        std::fputs(
            "Mardovane: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are "
            "not set)\n",
            stderr);
        return EXIT_FAILURE;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = answer_command_line(argc, argv)) {
        return *status;
    }
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
    // A job abandoned by the closed window may still run: the program then ends at once,
    // without tearing down what its thread may still use.
    return mardovane::finish_program(QApplication::exec());
}
