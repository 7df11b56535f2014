#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "window/common/text_history.h"

namespace mardovane {
namespace {

// Documents named by a letter, of a given size; the box shows one and keeps no typing.
struct Named final : KeptText {
    Named(char name, rules::KeptDocument size) : name(name), kept(size) {}
    rules::KeptDocument size() const override { return kept; }
    char name;
    rules::KeptDocument kept;
};

class Box final : public HistoryView {
  public:
    bool can_undo_typing() const override { return false; }
    bool can_redo_typing() const override { return false; }
    void undo_typing() override {}
    void redo_typing() override {}
    std::unique_ptr<KeptText> swap_shown(std::unique_ptr<KeptText>& kept) override {
        std::unique_ptr<KeptText> old = std::move(shown);
        shown = std::move(kept);
        return old;
    }
    char name() const { return static_cast<const Named&>(*shown).name; }
    std::unique_ptr<KeptText> shown = std::make_unique<Named>('a', rules::KeptDocument{1, 1});
};

// Shows a new document named `name` in the box, as a split would, and tells the history.
void replace(TextHistory& history, Box& box, char name, rules::KeptDocument size) {
    std::unique_ptr<KeptText> document = std::make_unique<Named>(name, size);
    history.replaced(box.swap_shown(document));
}

TEST(TextHistory, StepsBackAndForthThroughTheDocumentsReplaced) {
    TextHistory history;
    Box box;
    replace(history, box, 'b', {1, 1});
    replace(history, box, 'c', {1, 1});
    std::string seen;
    while (history.undo(box)) {
        seen += box.name();
    }
    while (history.redo(box)) {
        seen += box.name();
    }
    EXPECT_EQ(seen, "babc");
    ASSERT_TRUE(history.undo(box));
    replace(history, box, 'd', {1, 1});  // a new edit: what was taken back is gone
    EXPECT_FALSE(history.can_redo(box));
    ASSERT_TRUE(history.undo(box));
    EXPECT_EQ(box.name(), 'b');
}

// Kept by the memory they take: two documents of four million short lines each are too
// much together, and the older goes; the newest replaced always stays.
TEST(TextHistory, KeepsWhatTheBudgetAllowsNewestFirst) {
    TextHistory history;
    Box box;
    const rules::KeptDocument huge{8'000'000, 4'000'000};
    box.shown = std::make_unique<Named>('a', huge);
    replace(history, box, 'b', huge);
    replace(history, box, 'c', {1, 1});
    EXPECT_EQ(history.kept_documents(), 1u);
    ASSERT_TRUE(history.undo(box));
    EXPECT_EQ(box.name(), 'b');
    EXPECT_FALSE(history.undo(box));
}

}  // namespace
}  // namespace mardovane
