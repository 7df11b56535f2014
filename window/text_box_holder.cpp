#include "window/text_box_holder.h"

#include <QTextCursor>

namespace mardovane {

std::u16string TextBoxHolder::content() const {
    const QString text = box_.toPlainText();
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<std::size_t>(text.size()));
}

void TextBoxHolder::replace_content(std::u16string text) {
    replace_all(box_, QString(reinterpret_cast<const QChar*>(text.data()),
                              static_cast<qsizetype>(text.size())));
}

void TextBoxHolder::replace_all(QPlainTextEdit& box, const QString& text) {
    QTextCursor cursor(box.document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    cursor.endEditBlock();
    // The caret goes to the start, with the view scrolled there, as after loading a text.
    cursor.movePosition(QTextCursor::Start);
    box.setTextCursor(cursor);
}

}  // namespace mardovane
