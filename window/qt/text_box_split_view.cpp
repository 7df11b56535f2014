#include "window/qt/text_box_split_view.h"

#include <QGuiApplication>
#include <QMessageBox>

#include "window/common/texts.h"
#include "window/qt/qt_strings.h"
#include "window/qt/text_box_holder.h"

namespace mardovane {

TextBoxSplitView::TextBoxSplitView(QWidget& window, QPlainTextEdit& box)
    : window_(window), box_(box) {
    busy_timer_.setSingleShot(true);
    busy_timer_.setInterval(kBusyPointerDelayMs);
    QObject::connect(&busy_timer_, &QTimer::timeout, &window_, [this] {
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
        busy_pointer_shown_ = true;
    });
}

TextBoxSplitView::~TextBoxSplitView() {
    set_busy(false);
}

std::u16string TextBoxSplitView::content() const {
    return TextBoxHolder(box_).content();
}

void TextBoxSplitView::replace_content(std::u16string text) {
    TextBoxHolder(box_).replace_content(std::move(text));
}

void TextBoxSplitView::set_busy(bool busy) {
    if (busy) {
        busy_timer_.start();
        return;
    }
    busy_timer_.stop();
    if (busy_pointer_shown_) {
        QGuiApplication::restoreOverrideCursor();
        busy_pointer_shown_ = false;
    }
}

void TextBoxSplitView::show_failure(const std::string& message) {
    auto* box = new QMessageBox(QMessageBox::Warning, to_qstring(texts::kCaption),
                                QString::fromStdString(message), QMessageBox::Ok, &window_);
    box->setObjectName(QStringLiteral("splitFailure"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TextBoxSplitView::run_on_window_thread(std::function<void()> task) {
    // Queued to the window's thread, and dropped there if the window has gone by then.
    QMetaObject::invokeMethod(&window_, std::move(task), Qt::QueuedConnection);
}

}  // namespace mardovane
