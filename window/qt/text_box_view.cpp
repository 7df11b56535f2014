#include "window/qt/text_box_view.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <QToolTip>

#include "window/common/texts.h"
#include "window/qt/qt_strings.h"

namespace mardovane {
namespace {

QString qstring_of(const std::u16string& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

// A document made on the job's thread, shown on the window's if the box is still there.
class PreparedDocument final : public PreparedText {
  public:
    PreparedDocument(QPointer<TextBox> box, std::unique_ptr<QTextDocument> document,
                     Selection selection, std::size_t replacements)
        : box_(std::move(box)),
          document_(std::move(document)),
          selection_(selection),
          replacements_(replacements) {}
    std::size_t replacements() const override { return replacements_; }
    std::unique_ptr<KeptText> show() override {
        if (!box_) {
            return nullptr;
        }
        return box_->swap_in(std::move(document_), selection_);
    }

  private:
    QPointer<TextBox> box_;
    std::unique_ptr<QTextDocument> document_;
    Selection selection_;
    std::size_t replacements_;
};

}  // namespace

TextBoxView::TextBoxView(QWidget& window, TextBox& box, Clipboard& clipboard, UrlOpener& url_opener,
                         QUrl web_page)
    : window_(window),
      box_(box),
      clipboard_(clipboard),
      url_opener_(url_opener),
      web_page_(std::move(web_page)) {}

TextBoxView::~TextBoxView() {
    show_busy(false);
}

std::u16string TextBoxView::content() const {
    const QString text = TextBox::text_of(box_);
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size()));
}

std::unique_ptr<KeptText> TextBoxView::show(NewText text) {
    // Built whole before the box changes: running out of memory leaves the box as it was.
    return box_.swap_in(TextBox::make_document(qstring_of(text.text)), text.selection);
}

TextPreparer TextBoxView::preparer() {
    return [box = QPointer<TextBox>(&box_),
            window_thread = box_.thread()](NewText text) -> std::shared_ptr<PreparedText> {
        auto document = TextBox::make_document(qstring_of(text.text));
        document->moveToThread(window_thread);
        return std::make_shared<PreparedDocument>(box, std::move(document), text.selection,
                                                  text.replacements);
    };
}

void TextBoxView::show_busy(bool busy) {
    if (busy && !busy_pointer_shown_) {
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
        busy_pointer_shown_ = true;
    } else if (!busy && busy_pointer_shown_) {
        QGuiApplication::restoreOverrideCursor();
        busy_pointer_shown_ = false;
    }
}

void TextBoxView::show_failure(const std::string& message) {
    auto* box = new QMessageBox(QMessageBox::Warning, to_qstring(texts::kCaption),
                                QString::fromStdString(message), QMessageBox::Ok, &window_);
    box->setObjectName(QStringLiteral("splitFailure"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();  // window-modal, and returns at once
}

void TextBoxView::show_notice(const std::string& message) {
    // Beside the caret, where the user is looking; it goes by itself.
    QToolTip::showText(box_.mapToGlobal(box_.cursorRect().bottomLeft()),
                       QString::fromStdString(message), &box_);
}

void TextBoxView::copy_all() {
    clipboard_.set_plain_text(TextBox::text_of(box_));
}

void TextBoxView::open_web_page() {
    url_opener_.open(web_page_);
}

void TextBoxView::run_on_window_thread(std::function<void()> task) {
    // Queued to the window's thread, and dropped there if the window has gone by then.
    QMetaObject::invokeMethod(&window_, std::move(task), Qt::QueuedConnection);
}

void TextBoxView::run_later(int milliseconds, std::function<void()> task) {
    QTimer::singleShot(milliseconds, &window_, std::move(task));
}

}  // namespace mardovane
