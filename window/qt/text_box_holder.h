#pragma once

#include <QPlainTextEdit>

#include "window/common/split_command.h"

namespace mardovane {

// The text box as the split command sees it: read the whole content, replace the whole
// content. A replacement is one edit on the undo stack, so Ctrl+Z brings the old text back.
class TextBoxHolder final : public TextHolder {
  public:
    explicit TextBoxHolder(QPlainTextEdit& box) : box_(box) {}

    std::u16string content() const override;
    void replace_content(std::u16string text) override;

    static void replace_all(QPlainTextEdit& box, const QString& text);
    // Every character of the box as it holds it (toPlainText() would turn a no-break space
    // into a plain one), with its line breaks as LF.
    static QString text_of(const QPlainTextEdit& box);

  private:
    QPlainTextEdit& box_;
};

}  // namespace mardovane
