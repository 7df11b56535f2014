#pragma once

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>

#include "window/common/layout.h"
#include "window/qt/hotspot.h"
#include "window/qt/main_window.h"
#include "window/qt/qt_strings.h"
#include "window/qt/services.h"
#include "window/qt/text_box.h"

namespace mardovane::testing {

class FakeClipboard final : public Clipboard {
  public:
    void set_plain_text(const QString& text) override { texts.append(text); }
    QStringList texts;
};

class FakeUrlOpener final : public UrlOpener {
  public:
    void open(const QUrl& url) override { urls.append(url); }
    QList<QUrl> urls;
};

inline const QUrl kWebPage(QStringLiteral("http://mardovane.example/"));

inline QRect pixels(const layout::Rect& twips) {
    const layout::Rect p = twips.in_pixels();
    return QRect(p.left, p.top, p.width, p.height);
}

// The Qt window with a table in a folder of its own, fake services, and what the tests
// of it reach for: the text box, the hotspots, the messages, typing and pasting.
class WindowFixture {
  protected:
    // A new window, shown; `runner` does its jobs (none: keyword.info in the folder).
    void open_window(JobRunner runner = nullptr) {
        if (!folder_) {
            folder_ = std::make_unique<QTemporaryDir>();
        }
        window_ = std::make_unique<MainWindow>(WindowServices{
            folder_->path().toStdString(), clipboard_, opener_, kWebPage, std::move(runner)});
        window_->centre_on_screen();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void close_window() {
        window_.reset();
        folder_.reset();
        clipboard_.texts.clear();
        opener_.urls.clear();
    }

    TextBox* text1() const { return window_->findChild<TextBox*>(to_qstring(layout::kText1Name)); }
    QString text() const { return TextBox::text_of(*text1()); }
    HotspotWidget* hotspot(const char* name) const {
        return window_->findChild<HotspotWidget*>(QString::fromLatin1(name));
    }
    void write_keywords(const QByteArray& bytes) const {
        std::ofstream(folder_->filePath(QStringLiteral("keyword.info")).toStdString(),
                      std::ios::binary)
            .write(bytes.data(), bytes.size());
    }
    // Jobs run on a thread of their own: waits until the last one has ended.
    bool settled() const {
        return QTest::qWaitFor([&] { return !window_->job_running(); }, 30000);
    }
    void click_split() const { QTest::mouseClick(hotspot("Label1"), Qt::LeftButton); }
    QMessageBox* failure_box() const {
        return window_->findChild<QMessageBox*>(QStringLiteral("splitFailure"));
    }
    // Typed as a person types, a character a key (QTest's own key clicks know Latin-1 only).
    void type(const QString& typed) const {
        for (const QChar c : typed) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(text1(), &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(text1(), &release);
        }
    }
    void select(int from, int to) const {
        QTextCursor cursor = text1()->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        text1()->setTextCursor(cursor);
    }
    // The text box's menu, opened from the keyboard; the caller closes it.
    QMenu* context_menu() const {
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                text1()->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(text1()->viewport(), &event);
        QMenu* menu = nullptr;
        (void)QTest::qWaitFor([&] { return (menu = text1()->findChild<QMenu*>()) != nullptr; });
        return menu;
    }

    std::unique_ptr<QTemporaryDir> folder_;
    FakeClipboard clipboard_;
    FakeUrlOpener opener_;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace mardovane::testing
