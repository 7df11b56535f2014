#include "window/qt/text_box.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <vector>

#include "window/common/undo_history.h"

namespace mardovane {

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
    connect(document(), &QTextDocument::contentsChanged, this, &TextBox::forget_redo);
}

TextBox::~TextBox() = default;

DocumentLook TextBox::look() const {
    return {font(), document()->defaultTextOption(), document()->documentMargin()};
}

std::unique_ptr<QTextDocument> TextBox::make_document(const QString& text,
                                                      const DocumentLook& look) {
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    document->setDefaultFont(look.font);
    document->setDefaultTextOption(look.option);
    document->setDocumentMargin(look.margin);
    document->setDocumentLayout(new QPlainTextDocumentLayout(document.get()));
    document->setPlainText(text);
    // Every line's layout object is made here: the box would make them all on the
    // window's thread when it takes the document.
    for (QTextBlock block = document->firstBlock(); block.isValid(); block = block.next()) {
        block.layout();
    }
    document->setUndoRedoEnabled(true);
    return document;
}

TextBox::Kept TextBox::take_current() {
    QTextDocument* current = document();
    disconnect(current, &QTextDocument::contentsChanged, this, &TextBox::forget_redo);
    current->setParent(nullptr);
    return {std::unique_ptr<QTextDocument>(current), textCursor().position()};
}

void TextBox::show_kept(Kept kept) {
    QTextDocument* shown = kept.document.release();
    shown->setParent(this);
    setDocument(shown);
    connect(shown, &QTextDocument::contentsChanged, this, &TextBox::forget_redo);
    QTextCursor caret(shown);
    caret.setPosition(std::min(kept.caret, shown->characterCount() - 1));
    setTextCursor(caret);
    ensureCursorVisible();
}

void TextBox::replace_document(std::unique_ptr<QTextDocument> replacement) {
    undo_.emplace_back();  // room first: nothing is lost when memory runs out here
    undo_.back() = take_current();
    redo_.clear();
    const int caret = std::max(next_caret_, 0);
    next_caret_ = -1;
    show_kept({std::move(replacement), caret});
    trim_undo();
}

void TextBox::set_long_paste(int lines, int characters, LongPaste long_paste) {
    long_paste_lines_ = lines;
    long_paste_characters_ = characters;
    long_paste_ = std::move(long_paste);
}

void TextBox::insertFromMimeData(const QMimeData* source) {
    if (long_paste_ && source->hasText() && !isReadOnly()) {
        const QString pasted = source->text();
        if (pasted.size() > long_paste_characters_ ||
            pasted.count(QLatin1Char('\n')) > long_paste_lines_) {
            const QTextCursor selection = textCursor();
            if (long_paste_(std::u16string(reinterpret_cast<const char16_t*>(pasted.utf16()),
                                           static_cast<std::size_t>(pasted.size())),
                            selection.selectionStart(), selection.selectionEnd())) {
                return;
            }
        }
    }
    QPlainTextEdit::insertFromMimeData(source);
}

void TextBox::trim_undo() {
    std::vector<rules::KeptDocument> sizes;
    sizes.reserve(undo_.size());
    for (const Kept& each : undo_) {
        sizes.push_back({static_cast<std::size_t>(each.document->characterCount()),
                         static_cast<std::size_t>(each.document->blockCount())});
    }
    undo_.erase(undo_.begin(),
                undo_.begin() + static_cast<std::ptrdiff_t>(rules::documents_to_forget(sizes)));
}

bool TextBox::can_undo() const {
    return document()->isUndoAvailable() || !undo_.empty();
}

bool TextBox::can_redo() const {
    return document()->isRedoAvailable() || !redo_.empty();
}

void TextBox::undo_step() {
    if (document()->isUndoAvailable()) {
        const QScopedValueRollback stepping(stepping_, true);
        undo();
    } else if (!undo_.empty()) {
        step_through_kept(undo_, redo_);
    }
}

void TextBox::redo_step() {
    if (document()->isRedoAvailable()) {
        const QScopedValueRollback stepping(stepping_, true);
        redo();
    } else if (!redo_.empty()) {
        step_through_kept(redo_, undo_);
    }
}

void TextBox::step_through_kept(std::deque<Kept>& from, std::deque<Kept>& to) {
    to.emplace_back();  // room first: nothing is lost when memory runs out here
    to.back() = take_current();
    Kept shown = std::move(from.back());
    from.pop_back();
    show_kept(std::move(shown));
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    if (!isReadOnly() && event == QKeySequence::Undo) {
        undo_step();
    } else if (!isReadOnly() && event == QKeySequence::Redo) {
        redo_step();
    } else {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TextBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu(event->pos());
    // Qt's own Undo and Redo know only the document's edits, not the swaps.
    const auto rewire = [this, menu](const QString& name, bool enabled, void (TextBox::*step)()) {
        if (auto* action = menu->findChild<QAction*>(name)) {
            action->disconnect();
            action->setEnabled(enabled && !isReadOnly());
            connect(action, &QAction::triggered, this, step);
        }
    };
    rewire(QStringLiteral("edit-undo"), can_undo(), &TextBox::undo_step);
    rewire(QStringLiteral("edit-redo"), can_redo(), &TextBox::redo_step);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

}  // namespace mardovane
