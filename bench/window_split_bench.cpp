// How long a click on the split button takes in the window, from the click to the new
// text laid out and painted, with the shipped keyword table.
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <random>
#include <variant>

#include "substitution/text_codec.h"
#include "window/qt/hotspot.h"
#include "window/qt/main_window.h"

using namespace mardovane;

namespace {

class NoClipboard final : public Clipboard {
  public:
    void set_plain_text(const QString&) override {}
};
class NoBrowser final : public UrlOpener {
  public:
    void open(const QUrl&) override {}
};

// About `bytes` bytes of UTF-8: GB2312 hanzi with punctuation and a line break after every
// `line_length` characters.
QString chinese_text(std::size_t bytes, std::size_t line_length) {
    std::u16string hanzi;
    for (int lead = 0xB0; lead <= 0xD7; ++lead) {  // the common first level of GB2312
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            auto decoded = decode(code, Encoding::Gbk);
            if (auto* c = std::get_if<std::u16string>(&decoded)) {
                hanzi += *c;
            }
        }
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, hanzi.size() - 1);
    QString text;
    for (std::size_t size = 0, column = 0; size < bytes; size += 3) {
        text += column % 12 == 11 ? QChar(u'，') : QChar(hanzi[pick(random)]);
        if (++column == line_length) {
            text += QLatin1Char('\n');
            column = 0;
        }
    }
    return text;
}

// The longest the window's thread goes without answering while it runs: a timer that
// should fire every 10 ms notes the longest gap between its firings.
class BlockedTime {
  public:
    BlockedTime() {
        ticker_.setInterval(10);
        QObject::connect(&ticker_, &QTimer::timeout,
                         [this] { longest_ = std::max(longest_, since_tick_.restart()); });
    }
    void start() {
        since_tick_.start();
        ticker_.start();
    }
    qint64 stop() {
        longest_ = std::max(longest_, since_tick_.elapsed());
        ticker_.stop();
        return longest_;
    }

  private:
    QElapsedTimer since_tick_;
    qint64 longest_ = 0;
    QTimer ticker_;
};

// The window with the shipped table, shown, and its text box.
struct ShownWindow {
    NoClipboard clipboard;
    NoBrowser browser;
    MainWindow window{{MARDOVANE_DATA_DIR, clipboard, browser, QUrl()}};
    QPlainTextEdit* box = nullptr;

    bool show() {
        window.show();
        box = window.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
        return QTest::qWaitForWindowExposed(&window) && box != nullptr;
    }
};

// Waits for the window's split (or paste) to end and the result to be drawn.
bool shown(const MainWindow& window, QPlainTextEdit& box) {
    const bool ended = QTest::qWaitFor([&] { return !window.job_running(); }, 600'000);
    box.viewport()->repaint();
    QCoreApplication::processEvents();
    return ended;
}

}  // namespace

class WindowSplitBench : public QObject {
    Q_OBJECT

  private slots:
    void click_to_shown_data() {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<int>("line_length");
        QTest::newRow("100 kB") << 100'000 << 80;
        QTest::newRow("1 MB") << 1'000'000 << 80;
        QTest::newRow("20 MB in 400,000 lines") << 20'000'000 << 16;
        QTest::newRow("4 million short lines") << 24'000'000 << 2;
    }

    void click_to_shown() {
        QFETCH(int, bytes);
        QFETCH(int, line_length);
        ShownWindow shown_window;
        QVERIFY(shown_window.show());
        MainWindow& window = shown_window.window;
        QPlainTextEdit* box = shown_window.box;
        auto* split = window.findChild<HotspotWidget*>(QStringLiteral("Label1"));
        const QString text =
            chinese_text(static_cast<std::size_t>(bytes), static_cast<std::size_t>(line_length));
        box->setPlainText(text);
        QCoreApplication::processEvents();
        BlockedTime blocked;
        qint64 longest_gap = 0;
        QBENCHMARK_ONCE {
            blocked.start();
            QTest::mouseClick(split, Qt::LeftButton);
            QVERIFY(shown(window, *box));
            longest_gap = blocked.stop();
        }
        qInfo("%s: the window's thread was blocked for at most %lld ms", QTest::currentDataTag(),
              longest_gap);
        QVERIFY(box->toPlainText() != text);
    }

    // A paste of millions of short lines, made off the window's thread as a split's result.
    void paste_to_shown() {
        ShownWindow shown_window;
        QVERIFY(shown_window.show());
        MainWindow& window = shown_window.window;
        QPlainTextEdit* box = shown_window.box;
        const QString text = chinese_text(24'000'000, 2);
        QApplication::clipboard()->setText(text);
        BlockedTime blocked;
        QElapsedTimer total;
        total.start();
        blocked.start();
        box->paste();
        QVERIFY(shown(window, *box));
        const qint64 longest_gap = blocked.stop();
        qInfo(
            "paste of 4 million short lines: shown after %lld ms, the window's thread blocked "
            "for at most %lld ms",
            total.elapsed(), longest_gap);
        QCOMPARE(box->document()->blockCount(), text.count(QLatin1Char('\n')) + 1);
    }
};

QTEST_MAIN(WindowSplitBench)
#include "window_split_bench.moc"
