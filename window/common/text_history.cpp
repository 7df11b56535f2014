#include "window/common/text_history.h"

#include <vector>

namespace mardovane {

void TextHistory::replaced(std::unique_ptr<KeptText> replaced) {
    if (replaced == nullptr) {
        return;
    }
    redo_.clear();
    try {
        undo_.push_back(std::move(replaced));
        forget_what_is_too_much();
    } catch (...) {
        // No memory to keep it: the text stands as shown, and this step cannot be taken
        // back. Nothing else is lost.
    }
}

bool TextHistory::can_undo(const HistoryView& view) const {
    return view.can_undo_typing() || !undo_.empty();
}

bool TextHistory::can_redo(const HistoryView& view) const {
    return view.can_redo_typing() || !redo_.empty();
}

bool TextHistory::undo(HistoryView& view) {
    if (view.can_undo_typing()) {
        view.undo_typing();
        return true;
    }
    if (undo_.empty()) {
        return false;
    }
    step(view, undo_, redo_);
    return true;
}

bool TextHistory::redo(HistoryView& view) {
    if (view.can_redo_typing()) {
        view.redo_typing();
        return true;
    }
    if (redo_.empty()) {
        return false;
    }
    step(view, redo_, undo_);
    return true;
}

void TextHistory::step(HistoryView& view, Kept& from, Kept& to) {
    to.emplace_back();  // room first: nothing is lost when memory runs out here
    try {
        to.back() = view.swap_shown(from.back());
    } catch (...) {
        to.pop_back();  // the view kept its document, and `from` its own
        throw;
    }
    from.pop_back();
}

void TextHistory::forget_what_is_too_much() {
    std::vector<rules::KeptDocument> sizes;
    sizes.reserve(undo_.size());
    for (const auto& kept : undo_) {
        sizes.push_back(kept->size());
    }
    undo_.erase(undo_.begin(),
                undo_.begin() + static_cast<std::ptrdiff_t>(rules::documents_to_forget(sizes)));
}

}  // namespace mardovane
