// Checks the rendered assets against what the window needs of them, so that a re-render
// that drifts from the description fails.
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTest>
#include <QtEndian>

namespace {

const QString kAssets = QStringLiteral(MARDOVANE_ASSETS_DIR);

QByteArray read(const QString& name) {
    QFile file(kAssets + QLatin1Char('/') + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage image(const QString& name) {
    QImage result(kAssets + QLatin1Char('/') + name);
    return result.convertToFormat(QImage::Format_ARGB32);
}

quint16 u16(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}
quint32 u32(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

constexpr QRgb kFrame = 0xFFFFCC33;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kNotice = 0xFFFF9900;

struct Box {
    int left, top, right, bottom;  // inclusive, in pixels of the 1x picture
    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};
constexpr Box kFrameOuter{24, 23, 540, 332};
constexpr Box kFrameInner{26, 25, 538, 330};
constexpr Box kButtons[] = {{28, 350, 116, 386}, {139, 350, 227, 386}};
constexpr Box kNoticeBox{260, 362, 535, 377};

// A pixel blended from white and the notice colour by anti-aliasing.
bool is_notice_blend(QRgb pixel) {
    const double t = (255 - qBlue(pixel)) / 255.0;  // 0 white, 1 the notice colour
    return qRed(pixel) == 255 && std::abs(qGreen(pixel) - (255 - t * 102)) <= 3;
}

}  // namespace

class AssetsTest : public QObject {
    Q_OBJECT

  private slots:
    void background_is_opaque_32_bit_png_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("1x") << QStringLiteral("background.png") << QSize(566, 400);
        QTest::newRow("2x") << QStringLiteral("background@2x.png") << QSize(1132, 800);
    }

    void background_is_opaque_32_bit_png() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QByteArray png = read(name);
        QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
        QCOMPARE(int(png[24]), 8);  // bits per channel
        QCOMPARE(int(png[25]), 6);  // RGBA: 32 bits per pixel
        const QImage picture = image(name);
        QCOMPARE(picture.size(), size);
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                QCOMPARE(qAlpha(picture.pixel(x, y)), 255);
            }
        }
    }

    // The frame, the field and nothing painted outside the buttons and the notice.
    void background_paints_only_what_it_should_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("scale");
        QTest::newRow("1x") << QStringLiteral("background.png") << 1;
        QTest::newRow("2x") << QStringLiteral("background@2x.png") << 2;
    }

    void background_paints_only_what_it_should() {
        QFETCH(QString, name);
        QFETCH(int, scale);
        const QImage picture = image(name);
        QString first_wrong;
        for (int y = 0; y < picture.height() && first_wrong.isEmpty(); ++y) {
            for (int x = 0; x < picture.width() && first_wrong.isEmpty(); ++x) {
                const int px = x / scale;
                const int py = y / scale;
                const QRgb pixel = picture.pixel(x, y);
                const bool frame = kFrameOuter.contains(px, py) && !kFrameInner.contains(px, py);
                const bool button = kButtons[0].contains(px, py) || kButtons[1].contains(px, py);
                const char* wrong = nullptr;
                if (frame) {
                    wrong = pixel == kFrame ? nullptr : "frame";
                } else if (kNoticeBox.contains(px, py)) {
                    wrong = is_notice_blend(pixel) ? nullptr : "notice";
                } else if (!button) {
                    wrong = pixel == kWhite ? nullptr : "field";
                }
                if (wrong != nullptr) {
                    first_wrong = QStringLiteral("%1 pixel at %2,%3 is #%4")
                                      .arg(QLatin1String(wrong))
                                      .arg(x)
                                      .arg(y)
                                      .arg(pixel & 0xFFFFFF, 6, 16, QLatin1Char('0'));
                }
            }
        }
        QVERIFY2(first_wrong.isEmpty(), qPrintable(first_wrong));
    }

    void notice_is_in_the_notice_colour() {
        const QImage picture = image(QStringLiteral("background.png"));
        int full = 0;
        for (int y = kNoticeBox.top; y <= kNoticeBox.bottom; ++y) {
            for (int x = kNoticeBox.left; x <= kNoticeBox.right; ++x) {
                full += picture.pixel(x, y) == kNotice ? 1 : 0;
            }
        }
        QVERIFY2(full > 50, qPrintable(QString::number(full)));  // solid strokes, not only edges
    }

    void buttons_have_a_gradient_and_white_lettering() {
        const QImage picture = image(QStringLiteral("background.png"));
        for (const Box& button : kButtons) {
            // Down the left edge, clear of the lettering: yellow at the top, orange below.
            const int x = button.left + 4;
            const QRgb top = picture.pixel(x, button.top + 3);
            const QRgb bottom = picture.pixel(x, button.bottom - 3);
            QCOMPARE(qRed(top), 255);
            QCOMPARE(qRed(bottom), 255);
            QVERIFY(qGreen(top) > qGreen(bottom) + 40);
            QVERIFY(qBlue(top) < 80 && qBlue(bottom) < 40);
            int white = 0;
            for (int y = button.top; y <= button.bottom; ++y) {
                for (int lx = button.left + 8; lx <= button.right - 8; ++lx) {
                    white += picture.pixel(lx, y) == kWhite ? 1 : 0;
                }
            }
            QVERIFY2(white > 150, qPrintable(QString::number(white)));
        }
    }

    void icon_file_holds_the_seven_images_and_a_large_one() {
        const QByteArray ico = read(QStringLiteral("mardovane.ico"));
        QVERIFY(ico.size() > 6);
        QCOMPARE(u16(ico, 0), quint16(0));
        QCOMPARE(u16(ico, 2), quint16(1));  // an icon, not a cursor
        QCOMPARE(u16(ico, 4), quint16(8));
        QSet<QPair<int, int>> images;
        for (int i = 0; i < 8; ++i) {
            const int entry = 6 + 16 * i;
            // 0 in the directory stands for 256.
            const int width = quint8(ico[entry]) == 0 ? 256 : quint8(ico[entry]);
            const int height = quint8(ico[entry + 1]) == 0 ? 256 : quint8(ico[entry + 1]);
            QCOMPARE(width, height);
            const quint32 offset = u32(ico, entry + 12);
            if (width == 256) {
                // The large image is a PNG, as Windows takes it.
                QVERIFY(ico.mid(int(offset), 8) == QByteArray("\x89PNG\r\n\x1a\n", 8));
                images.insert({width, 32});
                continue;
            }
            // Each other image is a BMP: its own header says the width and the depth.
            QCOMPARE(u32(ico, int(offset)), quint32(40));
            QCOMPARE(int(u32(ico, int(offset) + 4)), width);
            const int depth = u16(ico, int(offset) + 14);
            images.insert({width, depth});
        }
        const QSet<QPair<int, int>> expected = {{16, 8},  {24, 8},  {32, 8},  {16, 32},
                                                {24, 32}, {32, 32}, {48, 32}, {256, 32}};
        QCOMPARE(images, expected);
    }

    void icon_theme_pngs_show_a_yellow_palette_data() {
        QTest::addColumn<int>("size");
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            QTest::newRow(qPrintable(QString::number(size))) << size;
        }
    }

    void icon_theme_pngs_show_a_yellow_palette() {
        QFETCH(int, size);
        const QImage icon = image(QStringLiteral("icons/%1x%1/mardovane.png").arg(size));
        QCOMPARE(icon.size(), QSize(size, size));
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);  // transparent around the palette
        int yellow = 0;
        int green = 0;
        int pink = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QColor c = QColor::fromRgba(icon.pixel(x, y));
                if (c.alpha() < 200) {
                    continue;
                }
                yellow += c.red() > 220 && c.green() > 180 && c.blue() < 120 ? 1 : 0;
                green += c.green() > c.red() + 60 && c.green() > c.blue() + 40 ? 1 : 0;
                pink += c.red() > 200 && c.blue() > 120 && c.green() < 150 ? 1 : 0;
            }
        }
        QVERIFY2(yellow > size * size / 5, qPrintable(QString::number(yellow)));
        QVERIFY(green > 0);
        QVERIFY(pink > 0);
    }

    void hand_cursor_is_black_and_white_with_its_hot_spot() {
        const QImage hand = image(QStringLiteral("hand-cursor.png"));
        QCOMPARE(hand.size(), QSize(32, 32));
        int black = 0;
        int white = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const QRgb pixel = hand.pixel(x, y);
                if (qAlpha(pixel) == 0) {
                    continue;
                }
                QCOMPARE(qAlpha(pixel), 255);
                QVERIFY(pixel == 0xFF000000 || pixel == kWhite);
                (pixel == kWhite ? white : black) += 1;
            }
        }
        QVERIFY(black > 40 && white > 100);
        QCOMPARE(qAlpha(hand.pixel(6, 0)), 255);  // the finger's tip is at the hot spot
        for (int x = 0; x < 32; ++x) {
            if (x < 4 || x > 9) {
                QCOMPARE(qAlpha(hand.pixel(x, 0)), 0);  // nothing else reaches the top row
            }
        }

        const QByteArray cur = read(QStringLiteral("hand-cursor.cur"));
        QVERIFY(cur.size() > 22);
        QCOMPARE(u16(cur, 2), quint16(2));  // a cursor
        QCOMPARE(u16(cur, 4), quint16(1));
        QCOMPARE(int(quint8(cur[6])), 32);
        QCOMPARE(int(quint8(cur[7])), 32);
        QCOMPARE(u16(cur, 10), quint16(6));  // hot spot x
        QCOMPARE(u16(cur, 12), quint16(0));  // hot spot y
        const int bitmap = int(u32(cur, 18));
        QCOMPARE(u16(cur, bitmap + 14), quint16(1));  // two colours
    }
};

QTEST_GUILESS_MAIN(AssetsTest)
#include "assets_test.moc"
