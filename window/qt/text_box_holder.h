#pragma once

#include <QPlainTextEdit>

#include "window/common/split_command.h"
#include "window/qt/text_box.h"

namespace mardovane {

// The text box as the split command sees it: read the whole content, replace the whole
// content. A replacement is one step of Ctrl+Z, which brings the old text back.
class TextBoxHolder final : public TextHolder {
  public:
    explicit TextBoxHolder(TextBox& box) : box_(box) {}

    std::u16string content() const override;
    void replace_content(std::u16string text) override;

    // Every character of the box as it holds it (toPlainText() would turn a no-break space
    // into a plain one), with its line breaks as LF.
    static QString text_of(const QPlainTextEdit& box);

  private:
    TextBox& box_;
};

}  // namespace mardovane
