#include "window/qt/text_box_split_view.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QThread>

#include "window/common/texts.h"
#include "window/qt/qt_strings.h"
#include "window/qt/text_box_holder.h"

namespace mardovane {
namespace {

class PreparedDocument final : public PreparedText {
  public:
    PreparedDocument(QPointer<TextBox> box, std::unique_ptr<QTextDocument> document)
        : box_(std::move(box)), document_(std::move(document)) {}
    void store() override {
        if (box_) {
            box_->replace_document(std::move(document_));
        }
    }

  private:
    QPointer<TextBox> box_;
    std::unique_ptr<QTextDocument> document_;
};

}  // namespace

TextBoxSplitView::TextBoxSplitView(QWidget& window, TextBox& box) : window_(window), box_(box) {
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
    box_.set_next_caret(-1);  // the replacement it was meant for is not coming
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

namespace mardovane {

TextPreparer TextBoxSplitView::preparer() {
    return [box = QPointer<TextBox>(&box_), look = box_.look(),
            window_thread = box_.thread()](std::u16string text) -> std::shared_ptr<PreparedText> {
        auto document = TextBox::make_document(QString(reinterpret_cast<const QChar*>(text.data()),
                                                       static_cast<qsizetype>(text.size())),
                                               look);
        document->moveToThread(window_thread);
        return std::make_shared<PreparedDocument>(box, std::move(document));
    };
}

}  // namespace mardovane
