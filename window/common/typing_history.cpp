#include "window/common/typing_history.h"

#include <utility>

namespace mardovane {
namespace {

bool is_space(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\u00A0' || c == u'\u3000';
}

// One character that is not a space: one unit, or a surrogate pair.
bool is_one_letter(const std::u16string& text) {
    if (text.size() == 1) {
        return !is_space(text[0]);
    }
    return text.size() == 2 && text[0] >= 0xD800 && text[0] <= 0xDBFF && text[1] >= 0xDC00 &&
           text[1] <= 0xDFFF;
}

}  // namespace

void TypingHistory::typed(TypedEdit edit) {
    if (edit.removed.empty() && edit.inserted.empty()) {
        return;
    }
    const bool goes_on_typing = !undo_.empty() && redo_.empty() && edit.removed.empty() &&
                                is_one_letter(edit.inserted) && undo_.back().removed.empty() &&
                                !is_space(undo_.back().inserted.back()) &&
                                undo_.back().at + undo_.back().inserted.size() == edit.at;
    redo_.clear();
    if (goes_on_typing) {
        undo_.back().inserted += edit.inserted;
        return;
    }
    undo_.push_back(std::move(edit));
}

TypedEdit TypingHistory::undo() {
    TypedEdit step = std::move(undo_.back());
    undo_.pop_back();
    TypedEdit back{step.at, step.inserted, step.removed};
    redo_.push_back(std::move(step));
    return back;
}

TypedEdit TypingHistory::redo() {
    TypedEdit step = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back(step);
    return step;
}

}  // namespace mardovane
