#pragma once

#include <QFont>
#include <QPlainTextEdit>
#include <QTextOption>
#include <deque>
#include <functional>
#include <memory>
#include <string>

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

    // A paste of more lines or characters than these is handed to `long_paste` with where
    // it goes (the selection, in UTF-16 units of the whole text), to be made off the
    // window's thread; where it says no, the box pastes as usual.
    using LongPaste = std::function<bool(std::u16string pasted, int from, int to)>;
    void set_long_paste(int lines, int characters, LongPaste long_paste);
    // Where the caret goes after the next replacement (after a paste: behind it), instead
    // of the start; -1: the start.
    void set_next_caret(int position) { next_caret_ = position; }

    bool can_undo() const;
    bool can_redo() const;
    void undo_step();
    void redo_step();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    struct Kept {
        std::unique_ptr<QTextDocument> document;
        int caret = 0;
    };
    Kept take_current();
    void show_kept(Kept kept);
    // Shows the newest of `from`, keeping the document shown now in `to`.
    void step_through_kept(std::deque<Kept>& from, std::deque<Kept>& to);
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
    int long_paste_lines_ = 0;
    int long_paste_characters_ = 0;
    LongPaste long_paste_;
    int next_caret_ = -1;
};

}  // namespace mardovane
