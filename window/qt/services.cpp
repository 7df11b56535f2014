#include "window/qt/services.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMimeData>

namespace mardovane {

void SystemClipboard::set_plain_text(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    auto* data = new QMimeData;  // the clipboard takes ownership
    data->setText(text);
    clipboard->setMimeData(data);
}

void DesktopUrlOpener::open(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

}  // namespace mardovane
