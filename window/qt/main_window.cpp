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
      text_box_(new TextBox(this)),
      view_(std::make_unique<TextBoxView>(*this, *text_box_, services.clipboard,
                                          services.url_opener, services.web_page)),
      controller_(std::make_unique<WindowController>(
          *view_, background_starter(
                      services.runner ? services.runner
                                      : [table = keyword_file_loader(services.program_directory)](
                                            Job job) { return run_job(std::move(job), table); }))) {
    text_box_->set_controller(controller_.get());
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

    // The shortcuts of the layout table, for the whole window whatever has the focus (the
    // text box leaves them to it); Enter means the main Return key and the keypad's.
    const auto add_shortcut = [this](const QString& keys, layout::Command command) {
        auto* action = new QShortcut(QKeySequence(keys), this);
        action->setContext(Qt::WindowShortcut);
        connect(action, &QShortcut::activated, this,
                [this, command] { controller_->run(command); });
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
                [this](layout::Command command) { controller_->run(command); });
        setTabOrder(previous, hotspot);
        previous = hotspot;
    }
}

MainWindow::~MainWindow() {
    text_box_->set_controller(nullptr);
}

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

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // At 125 % or 150 % the 2x picture is scaled down: smoothly, or the lettering is jagged.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPixmap& picture = devicePixelRatioF() > 1.0 ? background_2x_ : background_;
    painter.drawPixmap(0, 0, picture);
}

}  // namespace mardovane
