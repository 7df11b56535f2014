#pragma once

#include <windows.h>

#include "window/common/split_command.h"

namespace mardovane::win32 {

// The multi-line EDIT control as the split command sees it. A replacement goes in as one
// undoable edit (Ctrl+Z takes it back), with the caret at the start.
class EditTextHolder final : public TextHolder {
  public:
    explicit EditTextHolder(HWND edit) : edit_(edit) {}

    std::u16string content() const override;
    void replace_content(std::u16string text) override;

  private:
    HWND edit_;
};

}  // namespace mardovane::win32
