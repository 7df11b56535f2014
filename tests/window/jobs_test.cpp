// The Qt window's jobs: splits and long pastes off the window's thread, one step each of
// Ctrl+Z among the typing, the table read afresh, failures that keep the text, clicks that
// queue, a window closed mid-split.
#include <QClipboard>
#include <QMenu>
#include <QTextBlock>
#include <QTextLayout>
#include <atomic>
#include <future>
#include <thread>

#include "tests/window/window_fixture.h"
#include "window/common/long_paste.h"
#include "window/common/texts.h"

using namespace mardovane;
using namespace mardovane::testing;

class WindowJobsTest : public QObject, private WindowFixture {
    Q_OBJECT

  private slots:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        open_window();
        write_keywords("\xBA\xC3\r\n\xC5\xAE\xD7\xD3\r\n");  // 好 → 女子 in GBK
    }
    void cleanup() { close_window(); }

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
        QVERIFY(!window_->controller().can_redo());
    }

    void a_long_paste_is_made_off_the_window_thread_as_one_edit() {
        text1()->setPlainText(QStringLiteral("前后"));
        QTextCursor caret = text1()->textCursor();
        caret.setPosition(1);
        text1()->setTextCursor(caret);
        QString pasted;
        for (int line = 0; line <= static_cast<int>(rules::kLongPasteLines); ++line) {
            pasted += QStringLiteral("好\n");
        }
        QApplication::clipboard()->setText(pasted);
        QTest::keySequence(text1(), QKeySequence::Paste);
        QVERIFY(window_->job_running());  // off the window's thread, like a split
        QVERIFY(text1()->isReadOnly());
        QVERIFY(settled());
        const QString expected = QStringLiteral("前") + pasted + QStringLiteral("后");
        QCOMPARE(text(), expected);
        QCOMPARE(text1()->textCursor().position(), 1 + pasted.size());
        QVERIFY(failure_box() == nullptr);
        QTest::keySequence(text1(), QKeySequence::Undo);
        QCOMPARE(text1()->toPlainText(), QStringLiteral("前后"));
        // A short paste is the box's own.
        QApplication::clipboard()->setText(QStringLiteral("好"));
        QTest::keySequence(text1(), QKeySequence::Paste);
        QVERIFY(!window_->job_running());
        QVERIFY(text1()->toPlainText().contains(QStringLiteral("好")));
    }

    void the_context_menu_undoes_a_split() {
        text1()->setPlainText(QStringLiteral("好"));
        click_split();
        QVERIFY(settled());
        QMenu* menu = context_menu();
        QVERIFY(menu != nullptr);
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

    void a_text_made_ready_off_the_window_thread_holds_nothing_shaped_data() {
        QTest::addColumn<QString>("made");
        // One line is one block, which Qt lays out as soon as it is filled in a document
        // that has a layout; several lines are laid out later.
        QTest::newRow("one line") << QStringLiteral("你女子，这片氵胡边的树林真明亮。");
        QTest::newRow("lines") << QStringLiteral("女子氵胡\n氵胡女子\nabc");
    }
    void a_text_made_ready_off_the_window_thread_holds_nothing_shaped() {
        // Qt's font engines belong to the thread that loaded them and are freed when it
        // ends, while the window may still be drawing with one that a line shaped there
        // keeps (the crash after a split). A job's thread fills the document; the
        // window's thread shapes it, and draws it as it draws the same text set there.
        QFETCH(QString, made);
        TextBox* box = text1();
        box->clearFocus();  // no caret in the pictures
        box->setPlainText(made);
        const QImage expected = box->grab().toImage();
        box->clear();
        std::unique_ptr<QTextDocument> document;
        std::thread([&] {
            document = TextBox::make_document(made);
            document->moveToThread(box->thread());
        }).join();
        int lines = 0;
        for (QTextBlock block = document->firstBlock(); block.isValid(); block = block.next()) {
            lines += block.layout()->lineCount();
        }
        QCOMPARE(lines, 0);
        QVERIFY(box->swap_in(std::move(document), {0, 0}) != nullptr);
        QCOMPARE(TextBox::text_of(*box), made);
        QCOMPARE(box->grab().toImage(), expected);
    }

    void splits_and_undos_in_quick_turns_are_drawn_each_time() {
        // Each split's thread ends while the window takes and draws its result.
        write_keywords("\xBA\xC3\r\n\xC5\xAE\xD7\xD3\r\n\xBA\xFE\r\n\xE3\xDF\xBA\xFA\r\n");
        text1()->setPlainText(QStringLiteral("你好，这片湖边的树林真明亮。"));
        for (int round = 0; round < 40; ++round) {
            QTest::keyClick(text1(), Qt::Key_Return, Qt::ControlModifier);
            QVERIFY(settled());
            QCOMPARE(text(), QStringLiteral("你女子，这片氵胡边的树林真明亮。"));
            QVERIFY(!text1()->grab().isNull());
            QTest::keySequence(text1(), QKeySequence::Undo);
            QCOMPARE(text(), QStringLiteral("你好，这片湖边的树林真明亮。"));
        }
    }

    void clicks_during_a_split_queue_one_split_each() {
        // A split that waits until the test lets it go, with 湖 → 氵胡 and 胡 → 古月.
        auto gate = std::make_shared<std::promise<void>>();
        std::shared_future<void> opened = gate->get_future().share();
        const auto table = keyword_file_loader(folder_->path().toStdString());
        open_window([opened, table](Job job) {
            opened.wait();
            return run_job(std::move(job), table);
        });
        write_keywords("\xBA\xFA\r\n\xB9\xC5\xD4\xC2\r\n\xBA\xFE\r\n\xE3\xDF\xBA\xFA\r\n");
        text1()->setPlainText(QStringLiteral("湖"));
        click_split();
        click_split();
        QVERIFY(window_->job_running());
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
        const auto table = keyword_file_loader(folder_->path().toStdString());
        open_window([opened, ended, table](Job job) {
            opened.wait();
            auto outcome = run_job(std::move(job), table);
            ended->store(true);
            return outcome;
        });
        text1()->setPlainText(QStringLiteral("好"));
        click_split();
        window_.reset();  // returns at once, with the split still waiting
        QVERIFY(!ended->load());
        gate->set_value();
        QTRY_VERIFY(ended->load());
        // The thread hands its result to nobody and lets go of the document it made for a
        // box that is gone; then nothing of it runs any more.
        QTRY_VERIFY(!BackgroundSplit::any_running());
    }
};

QTEST_MAIN(WindowJobsTest)
#include "jobs_test.moc"
