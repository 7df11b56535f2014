#include "window/win32/services.h"

#include <shellapi.h>

#include <cstring>

namespace mardovane::win32 {

// Unicode text only: Windows offers the other plain-text formats from it itself.
ClipboardResult SystemClipboard::set_plain_text(HWND owner, std::u16string_view text) {
    bool opened = false;
    for (int attempt = 0; attempt < 10 && !(opened = OpenClipboard(owner)); ++attempt) {
        Sleep(20);  // another program may hold it for a moment
    }
    if (!opened) {
        return ClipboardResult::Busy;
    }
    EmptyClipboard();
    bool handed = false;
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (auto* target = static_cast<char16_t*>(GlobalLock(memory))) {
            std::memcpy(target, text.data(), text.size() * sizeof(char16_t));
            target[text.size()] = u'\0';
            GlobalUnlock(memory);
            handed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!handed) {
            GlobalFree(memory);  // the clipboard owns it only once it took it
        }
    }
    CloseClipboard();
    return handed ? ClipboardResult::Done : ClipboardResult::Failed;
}

void ShellUrlOpener::open(HWND owner, const std::wstring& url) {
    // Whether a browser starts is not looked at.
    ShellExecuteW(owner, L"open", url.c_str(), L"", L"", SW_SHOW);
}

}  // namespace mardovane::win32
