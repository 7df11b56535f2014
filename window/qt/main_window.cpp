#include "window/qt/main_window.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QTranslator>
#include <algorithm>

#include "window/common/texts.h"
#include "window/qt/qt_strings.h"
#include "window/qt/text_box_holder.h"

// The pictures live in this static library's resources, which must be registered by hand.
static void register_window_resources() {
    Q_INIT_RESOURCE(resources);
}

namespace mardovane {
namespace {

QIcon application_icon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/mardovane/icons/%1x%1/mardovane.png").arg(size));
    }
    return icon;
}

QFont text_box_font() {
    // Tahoma has no Chinese: an installed CJK font draws those characters.
    QFont font(to_qstring(layout::kText1Font));
    font.setFamilies({to_qstring(layout::kText1Font), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Droid Sans Fallback")});
    font.setPointSizeF(layout::kText1PointSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace

bool install_qt_translations(QCoreApplication& application, const QLocale& locale) {
    auto* translator = new QTranslator(&application);
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

MainWindow::MainWindow(WindowServices services)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      services_(std::move(services)),
      text_box_(new TextBox(this)),
      split_view_(std::make_unique<TextBoxSplitView>(*this, *text_box_)),
      splits_(std::make_unique<SplitController>(*split_view_, services_.program_directory,
                                                services_.splitter)) {
    register_window_resources();
    setObjectName(to_qstring(layout::kForm1Name));
    setWindowTitle(to_qstring(texts::kCaption));
    const layout::Rect client = layout::kClientArea.in_pixels();
    setFixedSize(client.width, client.height);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    background_.load(QStringLiteral(":/mardovane/background.png"));
    background_2x_.load(QStringLiteral(":/mardovane/background@2x.png"));
    background_2x_.setDevicePixelRatio(2.0);
    setWindowIcon(application_icon());

    text_box_->setObjectName(to_qstring(layout::kText1Name));
    text_box_->setAccessibleName(to_qstring(texts::kText1AccessibleName));
    text_box_->setAccessibleDescription(to_qstring(texts::kText1AccessibleDescription));
    const layout::Rect box = layout::kText1.in_pixels();
    text_box_->setGeometry(box.left, box.top, box.width, box.height);
    text_box_->setFrameShape(QFrame::NoFrame);  // the picture draws the frame
    text_box_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_box_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text_box_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text_box_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    text_box_->setFont(text_box_font());
    text_box_->setFocusPolicy(Qt::StrongFocus);
    text_box_->setTabChangesFocus(true);  // Tab goes on to the buttons, as in a dialog
    text_box_->setFocus();
    // A paste of this size costs seconds on the window's thread: it is made as a split's
    // result is, off the thread, and swapped in.
    text_box_->set_long_paste(kLongPasteLines, kLongPasteCharacters,
                              [this](std::u16string pasted, int from, int to) {
                                  return paste_off_thread(std::move(pasted), from, to);
                              });

    // The shortcuts of the layout table; Enter means the main Return key and the keypad's.
    const auto add_shortcut = [this](const QString& keys, layout::Command command) {
        auto* action = new QShortcut(QKeySequence(keys), this);
        action->setContext(Qt::WindowShortcut);
        connect(action, &QShortcut::activated, this,
                [this, command] { rules::dispatch(command, *this); });
    };
    for (const layout::Shortcut& shortcut : layout::kShortcuts) {
        add_shortcut(to_qstring(shortcut.text), shortcut.command);
        if (shortcut.key == layout::Key::Enter) {
            add_shortcut(QStringLiteral("%1Return").arg(shortcut.shift ? "Ctrl+Shift+" : "Ctrl+"),
                         shortcut.command);
        }
    }

    // The hotspots the keyboard reaches, in the layout's tab order after the text box. The
    // one below the window has no widget: neither the keyboard nor a screen reader can
    // press it.
    QWidget* previous = text_box_;
    for (const std::size_t index : rules::keyboard_order()) {
        auto* hotspot = new HotspotWidget(layout::kHotspots[index], clicks_, this);
        connect(hotspot, &HotspotWidget::command, this,
                [this](layout::Command command) { rules::dispatch(command, *this); });
        setTabOrder(previous, hotspot);
        previous = hotspot;
    }
}

MainWindow::~MainWindow() = default;

void MainWindow::centre_on_screen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QRect frame = frameGeometry();
    const rules::Point origin = rules::centred(area.left(), area.top(), area.width(), area.height(),
                                               frame.width(), frame.height());
    move(origin.x, origin.y);
}

void MainWindow::split() {
    splits_->click();
}

bool MainWindow::paste_off_thread(std::u16string pasted, int from, int to) {
    const int caret = from + static_cast<int>(pasted.size());
    const bool started = splits_->run_instead(
        [pasted = std::move(pasted), from, to](std::u16string text,
                                               const std::filesystem::path&) -> SplitOutcome {
            try {
                const auto start = std::min(static_cast<std::size_t>(from), text.size());
                const auto end = std::clamp(static_cast<std::size_t>(to), start, text.size());
                text.replace(start, end - start, pasted);
                return text;
            } catch (...) {
                return failure_of_current_exception();
            }
        },
        texts::Activity::Paste);
    if (started) {
        text_box_->set_next_caret(caret);
    }
    return started;
}

void MainWindow::copy_all() {
    services_.clipboard.set_plain_text(TextBoxHolder::text_of(*text_box_));
}

void MainWindow::clear() {
    if (!splits_->running()) {  // the text is read-only while a split runs
        text_box_->replace_document(TextBox::make_document(QString(), text_box_->look()));
    }
}

void MainWindow::open_web_page() {
    services_.url_opener.open(services_.web_page);
}

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // At 125 % or 150 % the 2x picture is scaled down: smoothly, or the lettering is jagged.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPixmap& picture = devicePixelRatioF() > 1.0 ? background_2x_ : background_;
    painter.drawPixmap(0, 0, picture);
}

}  // namespace mardovane
