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
        NoClipboard clipboard;
        NoBrowser browser;
        MainWindow window({MARDOVANE_DATA_DIR, clipboard, browser, QUrl()});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* box = window.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
        auto* split = window.findChild<HotspotWidget*>(QStringLiteral("Label1"));
        const QString text =
            chinese_text(static_cast<std::size_t>(bytes), static_cast<std::size_t>(line_length));
        box->setPlainText(text);
        QCoreApplication::processEvents();
        // The longest the window's thread went without answering: a timer that should
        // fire every 10 ms notes the longest gap between its firings.
        QElapsedTimer since_tick;
        qint64 longest_gap = 0;
        QTimer ticker;
        ticker.setInterval(10);
        QObject::connect(&ticker, &QTimer::timeout,
                         [&] { longest_gap = std::max(longest_gap, since_tick.restart()); });
        QBENCHMARK_ONCE {
            since_tick.start();
            ticker.start();
            QTest::mouseClick(split, Qt::LeftButton);
            QVERIFY(QTest::qWaitFor([&] { return !window.split_running(); }, 600'000));
            box->viewport()->repaint();
            QCoreApplication::processEvents();
            longest_gap = std::max(longest_gap, since_tick.elapsed());
            ticker.stop();
        }
        qInfo("%s: the window's thread was blocked for at most %lld ms", QTest::currentDataTag(),
              longest_gap);
        QVERIFY(box->toPlainText() != text);
    }

    // A paste of millions of short lines, made off the window's thread as a split's result.
    void paste_to_shown() {
        NoClipboard clipboard;
        NoBrowser browser;
        MainWindow window({MARDOVANE_DATA_DIR, clipboard, browser, QUrl()});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* box = window.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
        const QString text = chinese_text(24'000'000, 2);
        QApplication::clipboard()->setText(text);
        QElapsedTimer since_tick;
        qint64 longest_gap = 0;
        QTimer ticker;
        ticker.setInterval(10);
        QObject::connect(&ticker, &QTimer::timeout,
                         [&] { longest_gap = std::max(longest_gap, since_tick.restart()); });
        QElapsedTimer total;
        total.start();
        since_tick.start();
        ticker.start();
        box->paste();
        QVERIFY(QTest::qWaitFor([&] { return !window.split_running(); }, 600'000));
        box->viewport()->repaint();
        QCoreApplication::processEvents();
        longest_gap = std::max(longest_gap, since_tick.elapsed());
        ticker.stop();
        qInfo(
            "paste of 4 million short lines: shown after %lld ms, the window's thread blocked "
            "for at most %lld ms",
            total.elapsed(), longest_gap);
        QCOMPARE(box->document()->blockCount(), text.count(QLatin1Char('\n')) + 1);
    }
};

QTEST_MAIN(WindowSplitBench)
#include "window_split_bench.moc"
