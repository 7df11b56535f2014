// The Qt window as it is laid out and reached: its size and place, the controls where the
// layout table puts them, the pointers, the clicks, the keyboard's way round, what a screen
// reader sees, the picture. Run again on a high-density screen.
#include <QAccessible>
#include <QMenu>
#include <QScreen>
#include <QTranslator>
#include <QWindow>

#include "tests/window/window_fixture.h"
#include "window/common/texts.h"

using namespace mardovane;
using namespace mardovane::testing;

class WindowLayoutTest : public QObject, private WindowFixture {
    Q_OBJECT

  private:
    // A click where a person would click: delivered to whatever lies at that point.
    void click_at(QPoint point) const {
        QWidget* target = window_->childAt(point);
        if (target == nullptr) {
            target = window_.get();
        }
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(window_.get(), point));
    }

  private slots:
    void init() {
        open_window();
        write_keywords("\xBA\xC3\r\n\xC5\xAE\xD7\xD3\r\n");  // 好 → 女子 in GBK
    }
    void cleanup() { close_window(); }

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
        TextBox* box = text1();
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
        QVERIFY(!window_->job_running());
        QCOMPARE(text1()->toPlainText(), QStringLiteral("好"));
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

QTEST_MAIN(WindowLayoutTest)
#include "layout_test.moc"
