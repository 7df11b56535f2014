#pragma once

#include <QString>
#include <QUrl>

namespace mardovane {

// The system clipboard, as the copy command uses it.
class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Empties the clipboard, then puts `text` on it as plain text and in no other format.
    virtual void set_plain_text(const QString& text) = 0;
};

// Whatever opens a web address in the user's browser.
class UrlOpener {
  public:
    virtual ~UrlOpener() = default;
    // Asks for `url` to be opened; whether a browser starts is not reported.
    virtual void open(const QUrl& url) = 0;
};

class SystemClipboard final : public Clipboard {
  public:
    void set_plain_text(const QString& text) override;
};

class DesktopUrlOpener final : public UrlOpener {
  public:
    void open(const QUrl& url) override;
};

}  // namespace mardovane
