#pragma once

#include <QPlainTextEdit>
#include <memory>
#include <string>

#include "window/common/outcome.h"
#include "window/common/text_history.h"

namespace mardovane {

class WindowController;

// Text1: a plain text box whose whole content can be replaced by a document built
// elsewhere. Filling a document costs time for every line (seconds for millions of short
// lines), so a job fills its result on its own thread and the box gives it its font and
// layout and swaps it in. The typing in the document shown is the document's own undo;
// what the box does with keys, pastes and its menu is the window controller's.
class TextBox final : public QPlainTextEdit {
    Q_OBJECT

  public:
    explicit TextBox(QWidget* parent = nullptr);
    ~TextBox() override;

    // Where keys, pastes, the menu and typing go.
    void set_controller(WindowController* controller) { controller_ = controller; }

    // May run on any thread; the document belongs to that thread until moved. It holds the
    // text alone, with no font and no layout: nothing in it is shaped there, since Qt's font
    // engines belong to the thread that loaded them and are freed with it.
    static std::unique_ptr<QTextDocument> make_document(const QString& text);
    // Every character of the box as it holds it (toPlainText() would turn a no-break space
    // into a plain one), with its line breaks as LF.
    static QString text_of(const QPlainTextEdit& box);

    // Shows `document` (from make_document) with `selection`, and gives back the
    // one it showed, with its selection, to keep.
    std::unique_ptr<KeptText> swap_in(std::unique_ptr<QTextDocument> document, Selection selection);
    std::unique_ptr<KeptText> swap_in(std::unique_ptr<KeptText>& kept);
    Selection selection() const;

    // The document's own undo, for the typing in it.
    bool can_undo_typing() const;
    bool can_redo_typing() const;
    void undo_typing();
    void redo_typing();

  protected:
    bool event(QEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void typed();
    // Gives a document from make_document the box's font, options and layout.
    void dress(QTextDocument& document) const;
    // Keeps the document shown in `into` (a KeptDocument) and shows `document`.
    void show_document(KeptText& into, std::unique_ptr<QTextDocument> document,
                       Selection selection);

    WindowController* controller_ = nullptr;
    bool stepping_ = false;  // the document's own undo or redo is changing it
};

}  // namespace mardovane
