#include "window/qt/text_box.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <optional>

#include "window/common/texts.h"
#include "window/common/window_controller.h"
#include "window/common/window_rules.h"
#include "window/qt/qt_strings.h"

namespace mardovane {
namespace {

// A document taken out of the box, with its selection and its own typing history.
struct KeptDocument final : KeptText {
    std::unique_ptr<QTextDocument> document;
    Selection selection;
    rules::KeptDocument size() const override {
        return {static_cast<std::size_t>(document->characterCount()),
                static_cast<std::size_t>(document->blockCount())};
    }
};

std::optional<layout::Key> key_of(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {  // the main key and the keypad's
        return layout::Key::Enter;
    }
    return rules::key_of_letter(static_cast<char32_t>(key));  // Qt::Key_A to Key_Z are 'A' to 'Z'
}

// The label of a command's first key in the shortcut table, for a menu to show.
QKeySequence shortcut_of(layout::Command command) {
    const auto text = rules::shortcut_text(command);
    return text ? QKeySequence(to_qstring(*text)) : QKeySequence();
}

bool is_window_shortcut(const QKeyEvent& event) {
    const auto modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (!modifiers.testFlag(Qt::ControlModifier) || modifiers.testFlag(Qt::AltModifier) ||
        modifiers.testFlag(Qt::MetaModifier)) {
        return false;
    }
    const auto key = key_of(event.key());
    return key && rules::shortcut_command(*key, modifiers.testFlag(Qt::ShiftModifier));
}

}  // namespace

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
    connect(document(), &QTextDocument::contentsChanged, this, &TextBox::typed);
}

TextBox::~TextBox() = default;

std::unique_ptr<QTextDocument> TextBox::make_document(const QString& text) {
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    document->setPlainText(text);
    // Every line's layout object is made here, empty: the box would make them all on the
    // window's thread when it takes the document. Shaping them is left to the window's
    // thread; a line shaped here would keep this thread's font engine, freed when the
    // thread ends, for the window to draw with.
    for (QTextBlock block = document->firstBlock(); block.isValid(); block = block.next()) {
        block.layout();
    }
    document->setUndoRedoEnabled(true);
    return document;
}

void TextBox::dress(QTextDocument& document) const {
    const QTextDocument& shown = *QPlainTextEdit::document();
    document.setDefaultFont(font());
    document.setDefaultTextOption(shown.defaultTextOption());
    document.setDocumentMargin(shown.documentMargin());
    document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
}

QString TextBox::text_of(const QPlainTextEdit& box) {
    QString text = box.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));  // between the blocks
    return text;
}

Selection TextBox::selection() const {
    const QTextCursor cursor = textCursor();
    return {static_cast<std::size_t>(cursor.selectionStart()),
            static_cast<std::size_t>(cursor.selectionEnd())};
}

std::unique_ptr<KeptText> TextBox::swap_in(std::unique_ptr<QTextDocument> document,
                                           Selection selection) {
    auto kept = std::make_unique<KeptDocument>();  // room first: nothing is lost here
    dress(*document);
    show_document(*kept, std::move(document), selection);
    return kept;
}

std::unique_ptr<KeptText> TextBox::swap_in(std::unique_ptr<KeptText>& kept) {
    auto shown = std::make_unique<KeptDocument>();  // room first: `kept` stays whole
    auto& document = static_cast<KeptDocument&>(*kept);
    show_document(*shown, std::move(document.document), document.selection);
    kept.reset();
    return shown;
}

void TextBox::show_document(KeptText& into, std::unique_ptr<QTextDocument> document,
                            Selection selection) {
    auto& kept = static_cast<KeptDocument&>(into);
    kept.selection = this->selection();
    QTextDocument* current = QPlainTextEdit::document();
    disconnect(current, &QTextDocument::contentsChanged, this, &TextBox::typed);
    current->setParent(nullptr);
    kept.document.reset(current);

    QTextDocument* shown = document.release();
    shown->setParent(this);
    setDocument(shown);
    connect(shown, &QTextDocument::contentsChanged, this, &TextBox::typed);
    const int last = shown->characterCount() - 1;
    QTextCursor cursor(shown);
    cursor.setPosition(std::min(static_cast<int>(selection.from), last));
    cursor.setPosition(std::min(static_cast<int>(selection.to), last), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

bool TextBox::can_undo_typing() const {
    return document()->isUndoAvailable();
}

bool TextBox::can_redo_typing() const {
    return document()->isRedoAvailable();
}

void TextBox::undo_typing() {
    const QScopedValueRollback stepping(stepping_, true);
    undo();
}

void TextBox::redo_typing() {
    const QScopedValueRollback stepping(stepping_, true);
    redo();
}

void TextBox::typed() {
    if (!stepping_ && controller_ != nullptr) {
        controller_->typed();
    }
}

bool TextBox::event(QEvent* event) {
    // Qt's text box claims Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z for its own undo, which knows
    // only the typing. Every key of the shortcut table is the window's, wherever the focus
    // is: leave them to it.
    if (event->type() == QEvent::ShortcutOverride && controller_ != nullptr &&
        is_window_shortcut(*static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    return QPlainTextEdit::event(event);
}

void TextBox::insertFromMimeData(const QMimeData* source) {
    if (controller_ != nullptr && source->hasText() && !isReadOnly()) {
        const QString pasted = source->text();
        if (controller_->paste(
                std::u16string_view(reinterpret_cast<const char16_t*>(pasted.utf16()),
                                    static_cast<std::size_t>(pasted.size())))) {
            return;  // long: made off the window's thread
        }
    }
    QPlainTextEdit::insertFromMimeData(source);
}

void TextBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu(event->pos());
    if (controller_ != nullptr) {
        // Qt's own Undo and Redo know only the document's edits, not the swaps.
        const auto rewire = [this, menu](const QString& name, bool enabled,
                                         layout::Command command) {
            if (auto* action = menu->findChild<QAction*>(name)) {
                action->disconnect();
                action->setEnabled(enabled);
                action->setShortcut(shortcut_of(command));
                connect(action, &QAction::triggered, this,
                        [this, command] { controller_->run(command); });
            }
        };
        rewire(QStringLiteral("edit-undo"), controller_->can_undo(), layout::Command::Undo);
        rewire(QStringLiteral("edit-redo"), controller_->can_redo(), layout::Command::Redo);
        menu->addSeparator();
        auto* split_selection = menu->addAction(to_qstring(texts::kSplitSelection));
        split_selection->setObjectName(QStringLiteral("split-selection"));
        split_selection->setShortcut(shortcut_of(layout::Command::SplitSelection));
        split_selection->setEnabled(controller_->can_split_selection());
        connect(split_selection, &QAction::triggered, this,
                [this] { controller_->run(layout::Command::SplitSelection); });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

}  // namespace mardovane
