#include "window/qt/text_box_holder.h"

#include <QTextDocument>

namespace mardovane {

QString TextBoxHolder::text_of(const QPlainTextEdit& box) {
    QString text = box.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));  // between the blocks
    return text;
}

std::u16string TextBoxHolder::content() const {
    const QString text = text_of(box_);
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size()));
}

void TextBoxHolder::replace_content(std::u16string text) {
    // Built whole before the box changes: running out of memory leaves the box as it was.
    box_.replace_document(TextBox::make_document(
        QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size())),
        box_.look()));
}

}  // namespace mardovane
