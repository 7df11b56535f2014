#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTranslator>
#include <QWindow>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>

#include "window/common/layout.h"
#include "window/common/texts.h"
#include "window/qt/hotspot.h"
#include "window/qt/main_window.h"
#include "window/qt/qt_strings.h"
#include "window/qt/text_box.h"
#include "window/qt/text_box_holder.h"

using namespace mardovane;

namespace {

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

const QUrl kWebPage(QStringLiteral("http://mardovane.example/"));

QRect pixels(const layout::Rect& twips) {
    const layout::Rect p = twips.in_pixels();
    return QRect(p.left, p.top, p.width, p.height);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> folder_;
    FakeClipboard clipboard_;
    FakeUrlOpener opener_;
    std::unique_ptr<MainWindow> window_;

    QPlainTextEdit* text1() const {
        return window_->findChild<QPlainTextEdit*>(to_qstring(layout::kText1Name));
    }
    TextBox* text_box() const { return qobject_cast<TextBox*>(text1()); }
    HotspotWidget* hotspot(const char* name) const {
        return window_->findChild<HotspotWidget*>(QString::fromLatin1(name));
    }
    void write_keywords(const QByteArray& bytes) const {
        std::ofstream(folder_->filePath(QStringLiteral("keyword.info")).toStdString(),
                      std::ios::binary)
            .write(bytes.data(), bytes.size());
    }
    // A click where a person would click: delivered to whatever lies at that point.
    void click_at(QPoint point) const {
        QWidget* target = window_->childAt(point);
        if (target == nullptr) {
            target = window_.get();
        }
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(window_.get(), point));
    }
    // Splits run on a thread of their own: waits until the last one has ended.
    bool settled() const {
        return QTest::qWaitFor([&] { return !window_->split_running(); }, 10000);
    }
    void click_split() const { QTest::mouseClick(hotspot("Label1"), Qt::LeftButton); }
    QMessageBox* failure_box() const {
        return window_->findChild<QMessageBox*>(QStringLiteral("splitFailure"));
    }

  private slots:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        clipboard_.texts.clear();
        opener_.urls.clear();
        window_ = std::make_unique<MainWindow>(
            WindowServices{folder_->path().toStdString(), clipboard_, opener_, kWebPage});
        window_->centre_on_screen();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        // 好 → 女子 in GBK
        write_keywords("\xBA\xC3\r\n\xC5\xAE\xD7\xD3\r\n");
    }

    void cleanup() {
        window_.reset();
        folder_.reset();
    }

    void the_window_is_fixed_size_and_centred() {
        QCOMPARE(window_->objectName(), QStringLiteral("Form1"));
        QCOMPARE(window_->windowTitle(), QStringLiteral("Mardovane"));
        QCOMPARE(window_->size(), QSize(565, 407));
        QCOMPARE(window_->minimumSize(), window_->maximumSize());
        QVERIFY(!(window_->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window_->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(window_->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!window_->windowIcon().isNull());
        const QPoint screen_centre = window_->screen()->availableGeometry().center();
        // The platform may add its frame only once the window is shown: allow its margins.
        const QMargins frame = window_->windowHandle()->frameMargins();
        const int slack = 2 + frame.left() + frame.top() + frame.right() + frame.bottom();
        QVERIFY2((window_->frameGeometry().center() - screen_centre).manhattanLength() <= slack,
                 qPrintable(QStringLiteral("window at %1,%2, screen centre %3,%4")
                                .arg(window_->frameGeometry().center().x())
                                .arg(window_->frameGeometry().center().y())
                                .arg(screen_centre.x())
                                .arg(screen_centre.y())));
    }

    void controls_lie_where_the_layout_table_says() {
        QCOMPARE(text1()->geometry(), pixels(layout::kText1));
        QCOMPARE(text1()->geometry(), QRect(28, 26, 510, 304));
        for (const auto& area : layout::kHotspots) {
            auto* widget = hotspot(area.name.data());
            if (pixels(area.twips).top() >= window_->height()) {
                // Label4 lies wholly below the client area: nothing stands for it there.
                QVERIFY2(widget == nullptr, area.name.data());
                continue;
            }
            QVERIFY2(widget != nullptr, area.name.data());
            QCOMPARE(widget->geometry(), pixels(area.twips));
            QCOMPARE(widget->accessibleName(), to_qstring(area.accessible_name));
        }
        QCOMPARE(hotspot("Label1")->geometry(), QRect(21, 346, 99, 45));
        QCOMPARE(hotspot("Label5")->geometry(), QRect(298, 358, 241, 27));
        QVERIFY(hotspot("Label4") == nullptr);
    }

    void the_text_box_is_set_up_for_typing() {
        QPlainTextEdit* box = text1();
        QVERIFY(box->toPlainText().isEmpty());
        QVERIFY(box->hasFocus());
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(box->font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(box->font().pointSizeF(), 10.5);
        QCOMPARE(box->font().weight(), QFont::Normal);
        QVERIFY(!box->font().italic() && !box->font().underline() && !box->font().strikeOut());
        QVERIFY(box->font().families().size() > 1);  // a CJK font draws what Tahoma lacks
        QTest::keyClicks(box, QStringLiteral("ab"));
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, QStringLiteral("c"));
        QCOMPARE(box->toPlainText(), QStringLiteral("ab\nc"));
    }

    void clicks_leave_the_focus_in_the_text_box() {
        QCOMPARE(window_->focusPolicy(), Qt::NoFocus);
        click_at(QPoint(60, 360));
        QVERIFY(settled());
        click_at(QPoint(185, 368));
        QVERIFY(text1()->hasFocus());
    }

    void the_keyboard_reaches_the_buttons_in_tab_order() {
        QStringList order;
        QVERIFY(text1()->hasFocus());
        for (int step = 0; step < 4; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        // Label4 lies below the window, where no one can see it: it takes no focus.
        QCOMPARE(order, (QStringList{QStringLiteral("Label1"), QStringLiteral("Label2"),
                                     QStringLiteral("Label5"), QStringLiteral("Text1")}));
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

    void a_focused_button_keeps_the_pictures_colours() {
        const auto colour_at = [&](QPoint point) {
            const QImage image = window_->grab().toImage();
            const qreal scale = image.devicePixelRatio();
            return image.pixelColor(qRound(point.x() * scale), qRound(point.y() * scale)).rgb();
        };
        const QPoint inside(31, 380);  // on the painted button, inside the focus frame
        const QRgb before = colour_at(inside);
        hotspot("Label1")->setFocus(Qt::TabFocusReason);
        QCOMPARE(colour_at(inside), before);
        QVERIFY(colour_at(QPoint(22, 347)) != before);  // the frame itself shows
    }

    void screen_readers_see_buttons_with_their_names() {
        for (const char* name : {"Label1", "Label2", "Label5"}) {
            QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(hotspot(name));
            QVERIFY(seen != nullptr);
            QCOMPARE(seen->role(), QAccessible::Button);
        }
        // What a screen reader finds in the window: the named text box and the three
        // buttons it can see, and nothing for the clear area no one can reach.
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(window_.get());
        QStringList seen;
        for (int i = 0; i < window->childCount(); ++i) {
            QAccessibleInterface* child = window->child(i);
            seen << QString::number(child->role()) + QLatin1Char(':') +
                        child->text(QAccessible::Name);
        }
        const auto entry = [](QAccessible::Role role, std::string_view name) {
            return QString::number(role) + QLatin1Char(':') + to_qstring(name);
        };
        QCOMPARE(seen, (QStringList{entry(QAccessible::EditableText, texts::kText1AccessibleName),
                                    entry(QAccessible::Button, texts::kSplit),
                                    entry(QAccessible::Button, texts::kCopyAll),
                                    entry(QAccessible::Button, texts::kNotice)}));
        QCOMPARE(QAccessible::queryAccessibleInterface(text1())->text(QAccessible::Description),
                 to_qstring(texts::kText1AccessibleDescription));
    }

    void pointers_are_the_hand_over_split_and_notice_only() {
        for (const char* name : {"Label1", "Label5"}) {
            const QCursor cursor = hotspot(name)->cursor();
            QCOMPARE(cursor.shape(), Qt::BitmapCursor);
            QCOMPARE(cursor.hotSpot(), QPoint(6, 0));
            QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
        }
        QCOMPARE(hotspot("Label2")->cursor().shape(), Qt::ArrowCursor);
    }

    void clicks_hit_only_the_hotspots_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QString>("text_after");
        QTest::addColumn<int>("copies");
        QTest::addColumn<int>("pages");
        QTest::newRow("split, top-left") << QPoint(21, 346) << QStringLiteral("女子") << 0 << 0;
        QTest::newRow("split, bottom-right")
            << QPoint(119, 390) << QStringLiteral("女子") << 0 << 0;
        QTest::newRow("left of split") << QPoint(20, 360) << QStringLiteral("好") << 0 << 0;
        QTest::newRow("below split") << QPoint(60, 391) << QStringLiteral("好") << 0 << 0;
        QTest::newRow("copy all") << QPoint(185, 368) << QStringLiteral("好") << 1 << 0;
        QTest::newRow("notice") << QPoint(400, 370) << QStringLiteral("好") << 0 << 1;
        QTest::newRow("notice's dead left-most pixels")
            << QPoint(265, 370) << QStringLiteral("好") << 0 << 0;
        QTest::newRow("just left of Label5") << QPoint(297, 370) << QStringLiteral("好") << 0 << 0;
        QTest::newRow("white band below the picture")
            << QPoint(300, 403) << QStringLiteral("好") << 0 << 0;
        QTest::newRow("the painted frame") << QPoint(25, 200) << QStringLiteral("好") << 0 << 0;
    }

    void clicks_hit_only_the_hotspots() {
        QFETCH(QPoint, point);
        QFETCH(QString, text_after);
        QFETCH(int, copies);
        QFETCH(int, pages);
        text1()->setPlainText(QStringLiteral("好"));
        click_at(point);
        QVERIFY(settled());
        QCOMPARE(text1()->toPlainText(), text_after);
        QCOMPARE(clipboard_.texts.size(), copies);
        QCOMPARE(opener_.urls.size(), pages);
    }

    void a_press_released_outside_is_no_click() {
        text1()->setPlainText(QStringLiteral("好"));
        QTest::mousePress(hotspot("Label1"), Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(hotspot("Label1"), Qt::LeftButton, {}, QPoint(150, 10));
        QVERIFY(!window_->split_running());
        QCOMPARE(text1()->toPlainText(), QStringLiteral("好"));
    }

    void a_split_is_one_step_of_undo_and_redo_among_the_edits() {
        text1()->setPlainText(QStringLiteral("你好\n好"));
        QTest::keyClicks(text1(), QStringLiteral("a"));  // typed at the start
        click_split();
        QVERIFY(settled());
        QCOMPARE(text1()->toPlainText(), QStringLiteral("a你女子\n女子"));
        QTest::keyClick(text1(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(text1(), QStringLiteral("b"));
        const auto press = [this](QKeySequence::StandardKey key) {
            QTest::keySequence(text1(), QKeySequence(key));
            return text1()->toPlainText();
        };
        // Back through the typing, the split and the typing before it, and forward again.
        QCOMPARE(press(QKeySequence::Undo), QStringLiteral("a你女子\n女子"));
        QCOMPARE(press(QKeySequence::Undo), QStringLiteral("a你好\n好"));
        QCOMPARE(press(QKeySequence::Undo), QStringLiteral("你好\n好"));
        QCOMPARE(press(QKeySequence::Undo), QStringLiteral("你好\n好"));
        QCOMPARE(press(QKeySequence::Redo), QStringLiteral("a你好\n好"));
        QCOMPARE(press(QKeySequence::Redo), QStringLiteral("a你女子\n女子"));
        QCOMPARE(press(QKeySequence::Redo), QStringLiteral("a你女子\n女子b"));
        // An edit after taking the split back drops the split from Redo.
        press(QKeySequence::Undo);
        press(QKeySequence::Undo);
        QTest::keyClicks(text1(), QStringLiteral("c"));
        QCOMPARE(press(QKeySequence::Redo), text1()->toPlainText());
        QVERIFY(!text_box()->can_redo());
    }

    void a_long_paste_is_made_off_the_window_thread_as_one_edit() {
        text1()->setPlainText(QStringLiteral("前后"));
        QTextCursor caret = text1()->textCursor();
        caret.setPosition(1);
        text1()->setTextCursor(caret);
        QString pasted;
        for (int line = 0; line <= MainWindow::kLongPasteLines; ++line) {
            pasted += QStringLiteral("好\n");
        }
        QApplication::clipboard()->setText(pasted);
        QTest::keySequence(text1(), QKeySequence::Paste);
        QVERIFY(window_->split_running());  // off the window's thread, like a split
        QVERIFY(text1()->isReadOnly());
        QVERIFY(settled());
        const QString expected = QStringLiteral("前") + pasted + QStringLiteral("后");
        QCOMPARE(TextBoxHolder::text_of(*text1()), expected);
        QCOMPARE(text1()->textCursor().position(), 1 + pasted.size());
        QVERIFY(failure_box() == nullptr);
        QTest::keySequence(text1(), QKeySequence::Undo);
        QCOMPARE(text1()->toPlainText(), QStringLiteral("前后"));
        // A short paste is the box's own.
        QApplication::clipboard()->setText(QStringLiteral("好"));
        QTest::keySequence(text1(), QKeySequence::Paste);
        QVERIFY(!window_->split_running());
        QVERIFY(text1()->toPlainText().contains(QStringLiteral("好")));
    }

    void the_context_menu_undoes_a_split() {
        text1()->setPlainText(QStringLiteral("好"));
        click_split();
        QVERIFY(settled());
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                text1()->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(text1()->viewport(), &event);
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = text1()->findChild<QMenu*>()) != nullptr);
        auto* undo = menu->findChild<QAction*>(QStringLiteral("edit-undo"));
        QVERIFY(undo != nullptr);
        QVERIFY(undo->isEnabled());
        undo->trigger();
        QCOMPARE(text1()->toPlainText(), QStringLiteral("好"));
        menu->close();
    }

    void an_unchanged_text_makes_no_edit() {
        text1()->setPlainText(QStringLiteral("abc"));
        click_split();
        QVERIFY(settled());
        QCOMPARE(text1()->toPlainText(), QStringLiteral("abc"));
        QVERIFY(!text1()->document()->isUndoAvailable());
        QVERIFY(failure_box() == nullptr);
    }

    void the_table_is_read_afresh_on_every_split() {
        text1()->setPlainText(QStringLiteral("好"));
        click_split();
        QVERIFY(settled());
        write_keywords("\xC5\xAE\r\nX\r\n");  // 女 → X
        click_split();
        QVERIFY(settled());
        QCOMPARE(text1()->toPlainText(), QStringLiteral("X子"));
    }

    void failures_leave_the_text_and_say_why_data() {
        QTest::addColumn<QByteArray>("keywords");
        QTest::addColumn<bool>("remove_file");
        QTest::addColumn<QString>("says");
        QTest::newRow("missing file") << QByteArray() << true << QStringLiteral("找不到拆字表文件");
        QTest::newRow("invalid GBK") << QByteArray("\xBA\xC3\r\n\xFF\xFF\r\n") << false
                                     << QStringLiteral("拆字表文件第 2 行含有无效的 GBK 字节");
        QByteArray doubling;
        for (int i = 0; i < 30; ++i) {
            doubling += "a\r\naa\r\n";
        }
        QTest::newRow("result too large") << doubling << false << QStringLiteral("上限");
    }

    void failures_leave_the_text_and_say_why() {
        QFETCH(QByteArray, keywords);
        QFETCH(bool, remove_file);
        QFETCH(QString, says);
        if (remove_file) {
            QFile::remove(folder_->filePath(QStringLiteral("keyword.info")));
        } else {
            write_keywords(keywords);
        }
        text1()->setPlainText(QStringLiteral("好a"));
        click_split();
        QVERIFY(settled());
        QCOMPARE(text1()->toPlainText(), QStringLiteral("好a"));
        QVERIFY(!text1()->document()->isUndoAvailable());
        QMessageBox* box = failure_box();
        QVERIFY(box != nullptr);
        QVERIFY(box->isVisible());
        QVERIFY2(box->text().contains(says), qPrintable(box->text()));
        QVERIFY(box->text().contains(QStringLiteral("文字未作任何改动")));
        if (!says.contains(QStringLiteral("上限"))) {
            QVERIFY(box->text().contains(folder_->filePath(QStringLiteral("keyword.info"))));
        }
    }

    void every_character_survives_paste_split_and_copy() {
        // A no-break space, a line separator, a byte-order mark, a character outside the
        // BMP and a lone surrogate: the box gives back what it was given.
        const QString text = QString::fromUtf16(u"好\u00A0好\u2028\uFEFF😀\xD800好");
        QApplication::clipboard()->setText(text);
        text1()->paste();
        QCOMPARE(TextBoxHolder::text_of(*text1()), text);
        click_split();
        QVERIFY(settled());
        QTest::mouseClick(hotspot("Label2"), Qt::LeftButton);
        QCOMPARE(clipboard_.texts,
                 QStringList{QString::fromUtf16(u"女子\u00A0女子\u2028\uFEFF😀\xD800女子")});
    }

    void clicks_during_a_split_queue_one_split_each() {
        // A split that waits until the test lets it go, with 湖 → 氵胡 and 胡 → 古月.
        auto gate = std::make_shared<std::promise<void>>();
        std::shared_future<void> opened = gate->get_future().share();
        window_ = std::make_unique<MainWindow>(
            WindowServices{folder_->path().toStdString(), clipboard_, opener_, kWebPage,
                           [opened](std::u16string text, const std::filesystem::path& folder) {
                               opened.wait();
                               return split_with_keyword_file(std::move(text), folder);
                           }});
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        write_keywords("\xBA\xFA\r\n\xB9\xC5\xD4\xC2\r\n\xBA\xFE\r\n\xE3\xDF\xBA\xFA\r\n");
        text1()->setPlainText(QStringLiteral("湖"));
        click_split();
        click_split();
        QVERIFY(window_->split_running());
        QVERIFY(text1()->isReadOnly());
        // The window answers: copy all takes the text as it stands, the pointer shows work.
        QTest::mouseClick(hotspot("Label2"), Qt::LeftButton);
        QCOMPARE(clipboard_.texts, QStringList{QStringLiteral("湖")});
        QTRY_VERIFY(QGuiApplication::overrideCursor() != nullptr);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
        gate->set_value();
        QVERIFY(settled());
        QCOMPARE(text1()->toPlainText(), QStringLiteral("氵古月"));
        QVERIFY(!text1()->isReadOnly());
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QTest::keySequence(text1(), QKeySequence::Undo);  // one step a split
        QCOMPARE(text1()->toPlainText(), QStringLiteral("氵胡"));
    }

    void closing_during_a_split_does_not_wait_for_it() {
        auto gate = std::make_shared<std::promise<void>>();
        std::shared_future<void> opened = gate->get_future().share();
        auto ended = std::make_shared<std::atomic<bool>>(false);
        window_ = std::make_unique<MainWindow>(WindowServices{
            folder_->path().toStdString(), clipboard_, opener_, kWebPage,
            [opened, ended](std::u16string text, const std::filesystem::path& folder) {
                opened.wait();
                auto outcome = split_with_keyword_file(std::move(text), folder);
                ended->store(true);
                return outcome;
            }});
        text1()->setPlainText(QStringLiteral("好"));
        click_split();
        window_.reset();  // returns at once, with the split still waiting
        QVERIFY(!ended->load());
        gate->set_value();
        QTRY_VERIFY(ended->load());
        QTest::qWait(50);  // what the split hands back has nobody to go to
    }

    void the_keyboard_reaches_split_and_copy_all_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text_after");
        QTest::addColumn<int>("copies");
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("Ctrl+Return splits")
            << int(Qt::Key_Return) << ctrl << QStringLiteral("女子") << 0;
        QTest::newRow("Ctrl+Enter splits")
            << int(Qt::Key_Enter) << int(ctrl | Qt::KeypadModifier) << QStringLiteral("女子") << 0;
        QTest::newRow("Ctrl+Shift+C copies all")
            << int(Qt::Key_C) << int(ctrl | Qt::ShiftModifier) << QStringLiteral("好") << 1;
        QTest::newRow("Return alone is a line break")
            << int(Qt::Key_Return) << 0 << QStringLiteral("好\n") << 0;
    }

    void the_keyboard_reaches_split_and_copy_all() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text_after);
        QFETCH(int, copies);
        text1()->setPlainText(QStringLiteral("好"));
        text1()->moveCursor(QTextCursor::End);
        QTest::keyClick(text1(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(settled());
        QCOMPARE(text1()->toPlainText(), text_after);
        QCOMPARE(clipboard_.texts.size(), copies);
    }

    void the_tooltips_name_command_and_shortcut() {
        QCOMPARE(hotspot("Label1")->toolTip(), QStringLiteral("拆分文字 (Ctrl+Enter)"));
        QCOMPARE(hotspot("Label2")->toolTip(), QStringLiteral("复制全部 (Ctrl+Shift+C)"));
    }

    void the_context_menu_speaks_chinese_on_a_chinese_desktop() {
        QVERIFY(install_qt_translations(*QCoreApplication::instance(),
                                        QLocale(QStringLiteral("zh_CN"))));
        std::unique_ptr<QMenu> menu(text1()->createStandardContextMenu());
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                texts << action->text()
                             .section(QLatin1Char('\t'), 0, 0)
                             .remove(QLatin1Char('&'))
                             .section(QLatin1Char('('), 0, 0);
            }
        }
        for (auto* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        // Qt's own Chinese for Undo is 撤消, the older spelling of 撤销.
        for (const char* expected : {"撤消", "重做", "剪切", "复制", "粘贴", "删除", "全选"}) {
            QVERIFY2(texts.contains(QString::fromUtf8(expected)), qPrintable(texts.join(u',')));
        }
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
        rules::dispatch(layout::Command::Clear, *window_);
        QVERIFY(text1()->toPlainText().isEmpty());
    }

    void the_notice_opens_the_web_page_each_time() {
        QTest::mouseClick(hotspot("Label5"), Qt::LeftButton);
        QTest::mouseClick(hotspot("Label5"), Qt::LeftButton);
        QCOMPARE(opener_.urls, (QList<QUrl>{kWebPage, kWebPage}));
        QVERIFY(window_->isVisible());
    }

    void the_background_is_drawn_at_its_natural_size() {
        const QImage image = window_->grab().toImage();
        const qreal scale = image.devicePixelRatio();
        auto at = [&](int x, int y) {
            return image.pixelColor(qRound(x * scale), qRound(y * scale)).rgb() & 0xFFFFFF;
        };
        QCOMPARE(at(24, 23), 0xFFCC33u);    // the frame's top-left corner
        QCOMPARE(at(540, 332), 0xFFCC33u);  // and its bottom-right corner
        QCOMPARE(at(23, 23), 0xFFFFFFu);
        QCOMPARE(at(300, 403), 0xFFFFFFu);  // the white band below the picture
        QCOMPARE(at(564, 200), 0xFFFFFFu);  // the right-most column shown
        const QColor button = image.pixelColor(qRound(31 * scale), qRound(380 * scale));
        QCOMPARE(button.red(), 255);
        QVERIFY(button.blue() < 80);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
