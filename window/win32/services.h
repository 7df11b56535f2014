#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "window/common/text_job.h"

namespace mardovane::win32 {

enum class ClipboardResult {
    Done,
    Busy,    // another program kept it from being opened
    Failed,  // no memory for the text, or the clipboard refused it
};

// The system clipboard, as copy all uses it.
class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Empties the clipboard, then puts `text` on it as plain text and in no other format.
    virtual ClipboardResult set_plain_text(HWND owner, std::u16string_view text) = 0;
};

// Whatever opens a web address in the user's browser; whether one starts is not reported.
class UrlOpener {
  public:
    virtual ~UrlOpener() = default;
    virtual void open(HWND owner, const std::wstring& url) = 0;
};

class SystemClipboard final : public Clipboard {
  public:
    ClipboardResult set_plain_text(HWND owner, std::u16string_view text) override;
};

class ShellUrlOpener final : public UrlOpener {
  public:
    void open(HWND owner, const std::wstring& url) override;
};

// What the window is given, as the Qt window is given its own.
struct WindowServices {
    std::filesystem::path program_directory;  // where keyword.info is read on each split
    std::wstring web_page;
    Clipboard& clipboard;
    UrlOpener& url_opener;
    // Does a job on a thread of its own; none: run_job with keyword.info read afresh.
    JobRunner runner = nullptr;
    // How a job's thread wakes the window; it fails while the window's queue is full.
    BOOL(WINAPI* post_message)(HWND, UINT, WPARAM, LPARAM) = PostMessageW;
};

}  // namespace mardovane::win32
