#include "window/qt/text_box_holder.h"

#include <QTextCursor>
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
    replace_all(box_, QString(reinterpret_cast<const QChar*>(text.data()),
                              static_cast<qsizetype>(text.size())));
}

void TextBoxHolder::replace_all(QPlainTextEdit& box, const QString& text) {
    QTextCursor cursor(box.document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    try {
        cursor.insertText(text);
    } catch (...) {
        // Out of memory half way: the edit so far is taken back from the undo stack, whose
        // removed text the document still holds, so that the box is as it was.
        cursor.endEditBlock();
        box.document()->undo();
        throw;
    }
    cursor.endEditBlock();
    // The caret goes to the start, with the view scrolled there, as after loading a text.
    cursor.movePosition(QTextCursor::Start);
    box.setTextCursor(cursor);
}

}  // namespace mardovane
