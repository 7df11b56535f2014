#pragma once

#include <QFont>
#include <QPlainTextEdit>
#include <QTextOption>
#include <deque>
#include <memory>

namespace mardovane {

// What a document needs from the text box to be shown in it without being laid out again.
struct DocumentLook {
    QFont font;
    QTextOption option;
    qreal margin = 0;
};

// Text1: a plain text box whose whole content can be replaced by a document built
// elsewhere. Filling a document costs time for every line (seconds for millions of short
// lines), so a split builds its result on its own thread and the box only swaps it in.
// A swap is one step of Ctrl+Z and Ctrl+Y (and of the context menu's Undo and Redo),
// chained with the document's own edits as if the swap were one of them.
class TextBox final : public QPlainTextEdit {
    Q_OBJECT

  public:
    explicit TextBox(QWidget* parent = nullptr);
    ~TextBox() override;

    DocumentLook look() const;
    // May run on any thread; the document belongs to that thread until moved.
    static std::unique_ptr<QTextDocument> make_document(const QString& text,
                                                        const DocumentLook& look);

    // Shows `document` (built with this box's look) as the box's content, keeping the one
    // it replaces for Ctrl+Z. The caret goes to the start, as after loading a text.
    void replace_document(std::unique_ptr<QTextDocument> document);

    bool can_undo() const;
    bool can_redo() const;
    void undo_step();
    void redo_step();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    struct Kept {
        std::unique_ptr<QTextDocument> document;
        int caret = 0;
    };
    Kept take_current();
    void show_kept(Kept kept);
    // A new edit of the document shown: what was taken back is gone for good.
    void forget_redo() {
        if (!stepping_) {
            redo_.clear();
        }
    }
    void trim_undo();

    std::deque<Kept> undo_;  // the documents replaced, the newest last
    std::deque<Kept> redo_;  // the documents taken back, the newest last
    bool stepping_ = false;  // the document's own undo or redo is changing it
};

}  // namespace mardovane
