// The Qt window's commands: the keys, copy all, clear, the web page, the menu's split of
// the selection, and the characters that go through paste, split and copy.
#include <QClipboard>
#include <QMimeData>
#include <QToolTip>

#include "tests/window/window_fixture.h"
#include "window/common/texts.h"

using namespace mardovane;
using namespace mardovane::testing;

class WindowCommandsTest : public QObject, private WindowFixture {
    Q_OBJECT

  private slots:
    void init() {
        open_window();
        write_keywords("\xBA\xC3\r\n\xC5\xAE\xD7\xD3\r\n");  // 好 → 女子 in GBK
    }
    void cleanup() { close_window(); }

    void the_keyboard_reaches_split_and_copy_all_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text_after");
        QTest::addColumn<int>("copies");
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("Ctrl+Return splits")
            << int(Qt::Key_Return) << ctrl << QStringLiteral("女子女子") << 0;
        QTest::newRow("Ctrl+Enter splits") << int(Qt::Key_Enter) << int(ctrl | Qt::KeypadModifier)
                                           << QStringLiteral("女子女子") << 0;
        QTest::newRow("Ctrl+Shift+C copies all")
            << int(Qt::Key_C) << int(ctrl | Qt::ShiftModifier) << QStringLiteral("好好") << 1;
        QTest::newRow("Return alone is a line break")
            << int(Qt::Key_Return) << 0 << QStringLiteral("好\n") << 0;
        QTest::newRow("Ctrl+Shift+Return splits the selection")
            << int(Qt::Key_Return) << int(ctrl | Qt::ShiftModifier) << QStringLiteral("好女子")
            << 0;
    }

    void the_keyboard_reaches_split_and_copy_all() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text_after);
        QFETCH(int, copies);
        text1()->setPlainText(QStringLiteral("好好"));
        select(1, 2);
        QTest::keyClick(text1(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(settled());
        QCOMPARE(text1()->toPlainText(), text_after);
        QCOMPARE(clipboard_.texts.size(), copies);
    }

    void copy_all_takes_the_whole_text_whatever_is_selected() {
        text1()->setPlainText(QStringLiteral("第一行\n第二行"));
        QTextCursor cursor = text1()->textCursor();
        cursor.setPosition(1);
        cursor.setPosition(3, QTextCursor::KeepAnchor);
        text1()->setTextCursor(cursor);
        QTest::mouseClick(hotspot("Label2"), Qt::LeftButton);
        QCOMPARE(clipboard_.texts, QStringList{QStringLiteral("第一行\n第二行")});
        QCOMPARE(text1()->toPlainText(), QStringLiteral("第一行\n第二行"));
        QCOMPARE(text1()->textCursor().selectedText(), QStringLiteral("一行"));

        text1()->clear();
        QTest::mouseClick(hotspot("Label2"), Qt::LeftButton);
        QCOMPARE(clipboard_.texts.last(), QString());
    }

    void the_system_clipboard_gets_plain_text_only() {
        QClipboard* clipboard = QGuiApplication::clipboard();
        auto* old = new QMimeData;
        old->setHtml(QStringLiteral("<b>old</b>"));
        old->setText(QStringLiteral("old"));
        clipboard->setMimeData(old);
        SystemClipboard().set_plain_text(QStringLiteral("新的\n文字"));
        QCOMPARE(clipboard->mimeData()->formats(), QStringList{QStringLiteral("text/plain")});
        QCOMPARE(clipboard->text(), QStringLiteral("新的\n文字"));
    }

    void clear_empties_the_text_box() {
        text1()->setPlainText(QStringLiteral("好"));
        // Label4 cannot be reached at all; its command is wired all the same.
        window_->controller().run(layout::Command::Clear);
        QVERIFY(text1()->toPlainText().isEmpty());
        QTest::keyClick(text1(), Qt::Key_Z, Qt::ControlModifier);  // a step of the history
        QCOMPARE(text1()->toPlainText(), QStringLiteral("好"));
    }

    void the_notice_opens_the_web_page_each_time() {
        QTest::mouseClick(hotspot("Label5"), Qt::LeftButton);
        QTest::mouseClick(hotspot("Label5"), Qt::LeftButton);
        QCOMPARE(opener_.urls, (QList<QUrl>{kWebPage, kWebPage}));
        QVERIFY(window_->isVisible());
    }

    void space_and_enter_press_the_buttons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text_after");
        QTest::addColumn<int>("copies");
        QTest::addColumn<int>("pages");
        QTest::newRow("Space on split") << "Label1" << int(Qt::Key_Space) << "女子" << 0 << 0;
        QTest::newRow("Enter on split") << "Label1" << int(Qt::Key_Return) << "女子" << 0 << 0;
        QTest::newRow("Space on copy all") << "Label2" << int(Qt::Key_Space) << "好" << 1 << 0;
        QTest::newRow("Enter on the notice") << "Label5" << int(Qt::Key_Enter) << "好" << 0 << 1;
        QTest::newRow("another key does nothing") << "Label1" << int(Qt::Key_A) << "好" << 0 << 0;
    }

    void space_and_enter_press_the_buttons() {
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(QString, text_after);
        QFETCH(int, copies);
        QFETCH(int, pages);
        text1()->setPlainText(QStringLiteral("好"));
        HotspotWidget* target = hotspot(qPrintable(button));
        target->setFocus(Qt::TabFocusReason);
        QTest::keyClick(target, Qt::Key(key));
        QVERIFY(settled());
        QCOMPARE(text1()->toPlainText(), text_after);
        QCOMPARE(clipboard_.texts.size(), copies);
        QCOMPARE(opener_.urls.size(), pages);
    }

    void every_character_survives_paste_split_and_copy() {
        // A no-break space, a line separator, a byte-order mark, a character outside the
        // BMP and a lone surrogate: the box gives back what it was given.
        const QString pasted = QString::fromUtf16(u"好\u00A0好\u2028\uFEFF😀\xD800好");
        QApplication::clipboard()->setText(pasted);
        text1()->paste();
        QCOMPARE(text(), pasted);
        click_split();
        QVERIFY(settled());
        QTest::mouseClick(hotspot("Label2"), Qt::LeftButton);
        QCOMPARE(clipboard_.texts,
                 QStringList{QString::fromUtf16(u"女子\u00A0女子\u2028\uFEFF😀\xD800女子")});
    }

    void the_menu_splits_only_the_selection() {
        text1()->setPlainText(QStringLiteral("好好好"));
        select(1, 2);
        QMenu* menu = context_menu();
        QVERIFY(menu != nullptr);
        auto* split_selection = menu->findChild<QAction*>(QStringLiteral("split-selection"));
        QVERIFY(split_selection != nullptr);
        QCOMPARE(split_selection->text(), to_qstring(texts::kSplitSelection));
        QVERIFY(split_selection->isEnabled());
        split_selection->trigger();
        menu->close();
        QVERIFY(settled());
        QCOMPARE(text(), QStringLiteral("好女子好"));
        QCOMPARE(text1()->textCursor().selectedText(), QStringLiteral("女子"));
    }

    void with_nothing_selected_the_menu_item_is_off_and_the_key_says_why() {
        text1()->setPlainText(QStringLiteral("好"));
        QMenu* menu = context_menu();
        QVERIFY(menu != nullptr);
        QVERIFY(!menu->findChild<QAction*>(QStringLiteral("split-selection"))->isEnabled());
        menu->close();
        QTest::keyClick(text1(), Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!window_->job_running());
        QTRY_COMPARE(QToolTip::text(), to_qstring(texts::kNothingSelected));
        QCOMPARE(text(), QStringLiteral("好"));
    }

    // Undo and redo are the window's, as the other shortcuts: they answer whatever has the
    // focus, a painted button too.
    void undo_and_redo_answer_every_key_for_them_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        const int ctrl = Qt::ControlModifier;
        for (const char* focus : {"Text1", "Label1", "Label2"}) {
            QTest::addRow("Ctrl+Y on %s", focus) << focus << int(Qt::Key_Y) << ctrl;
            QTest::addRow("Ctrl+Shift+Z on %s", focus)
                << focus << int(Qt::Key_Z) << int(ctrl | Qt::ShiftModifier);
        }
    }

    void undo_and_redo_answer_every_key_for_them() {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        text1()->setPlainText(QStringLiteral("好"));
        click_split();
        QVERIFY(settled());
        QWidget* target = focus == QLatin1String("Text1") ? static_cast<QWidget*>(text1())
                                                          : hotspot(qPrintable(focus));
        target->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(target->hasFocus());
        QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(text(), QStringLiteral("好"));
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(text(), QStringLiteral("女子"));
    }

    // The menu's keys are the shortcut table's.
    void the_menu_shows_the_keys_of_the_shortcut_table() {
        text1()->setPlainText(QStringLiteral("好"));
        QMenu* menu = context_menu();
        QVERIFY(menu != nullptr);
        const auto keys_of = [menu](const char* name) {
            const auto* action = menu->findChild<QAction*>(QLatin1String(name));
            return action == nullptr ? QString() : action->shortcut().toString();
        };
        QCOMPARE(keys_of("edit-undo"), QStringLiteral("Ctrl+Z"));
        QCOMPARE(keys_of("edit-redo"), QStringLiteral("Ctrl+Y"));
        QCOMPARE(keys_of("split-selection"), QStringLiteral("Ctrl+Shift+Enter"));
        menu->close();
    }

    // Qt's text document takes U+2029, U+FDD0 and U+FDD1 for its own structure: a paste
    // makes line breaks of them, and says so in the README; every other character stays.
    void the_characters_qt_takes_for_its_structure_become_line_breaks() {
        QApplication::clipboard()->setText(QString::fromUtf16(u"a\u2029b\uFDD0c\uFDD1d"));
        text1()->paste();
        QCOMPARE(text(), QStringLiteral("a\nb\nc\nd"));
    }
};

QTEST_MAIN(WindowCommandsTest)
#include "commands_test.moc"
