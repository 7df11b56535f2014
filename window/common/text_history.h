#pragma once

#include <deque>
#include <memory>

#include "window/common/undo_history.h"

namespace mardovane {

// A document the text box showed before a split, a long paste or clearing replaced it
// whole, kept for Ctrl+Z with its caret and its own typing history.
class KeptText {
  public:
    virtual ~KeptText() = default;
    // What it holds, for the memory bound.
    virtual rules::KeptDocument size() const = 0;
};

// The text box as the history sees it: the typing in the document shown is the toolkit's
// own undo; the documents replaced whole are the history's.
class HistoryView {
  public:
    virtual ~HistoryView() = default;
    virtual bool can_undo_typing() const = 0;
    virtual bool can_redo_typing() const = 0;
    virtual void undo_typing() = 0;
    virtual void redo_typing() = 0;
    // Shows `kept` instead of the document shown now, which it gives back, and takes `kept`
    // over. Throws (std::bad_alloc) when it cannot, leaving the box and `kept` as they were.
    virtual std::unique_ptr<KeptText> swap_shown(std::unique_ptr<KeptText>& kept) = 0;
};

// Ctrl+Z and Ctrl+Y over splits, long pastes, clearing and the typing between them, as one
// history: the typing in the document shown is undone first, then the document it replaced
// comes back, with its own typing to undo in turn. The documents kept are bounded by the
// memory they take (rules::documents_to_forget); the last one replaced is always kept.
class TextHistory {
  public:
    // The box shows a new document; `replaced` is the one it showed before. Where there is
    // no memory to keep it, that step cannot be taken back, and nothing else is lost.
    void replaced(std::unique_ptr<KeptText> replaced);
    // The document shown was typed in: what was taken back is gone for good.
    void typed() { redo_.clear(); }

    bool can_undo(const HistoryView& view) const;
    bool can_redo(const HistoryView& view) const;
    // One step back or forward; false when there is none. Throws (std::bad_alloc) when a
    // document cannot be shown, keeping every document as it was.
    bool undo(HistoryView& view);
    bool redo(HistoryView& view);

    std::size_t kept_documents() const { return undo_.size(); }

  private:
    using Kept = std::deque<std::unique_ptr<KeptText>>;
    // Shows the newest of `from`, keeping the document shown now in `to`.
    static void step(HistoryView& view, Kept& from, Kept& to);
    void forget_what_is_too_much();

    Kept undo_;  // the documents replaced, the newest last
    Kept redo_;  // the documents taken back, the newest last
};

}  // namespace mardovane
