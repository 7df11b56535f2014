#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace mardovane {

// One edit of the typing: at `at`, `removed` gave way to `inserted` (UTF-16 units).
struct TypedEdit {
    std::size_t at = 0;
    std::u16string removed;
    std::u16string inserted;
    friend bool operator==(const TypedEdit&, const TypedEdit&) = default;
};

// The typing in a text box that keeps no history of its own (the web page's): the edits
// the user committed, one step each, and letters typed one after another one step, as a
// word processor takes them back. What an input method is still composing is no edit; the
// page reports what it commits.
class TypingHistory {
  public:
    void typed(TypedEdit edit);
    bool can_undo() const { return !undo_.empty(); }
    bool can_redo() const { return !redo_.empty(); }
    // The edit that takes the last step back, or forward again: the box makes it.
    // Only when can_undo() or can_redo().
    TypedEdit undo();
    TypedEdit redo();

  private:
    std::vector<TypedEdit> undo_;
    std::vector<TypedEdit> redo_;
};

}  // namespace mardovane
