#include "window/main_window.h"

#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>

#include "window/failure_text.h"
#include "window/strings.h"
#include "window/text_box_holder.h"

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
    QFont font(to_qstring(layout::kTextBoxFont));
    font.setFamilies({to_qstring(layout::kTextBoxFont), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Droid Sans Fallback")});
    font.setPointSizeF(layout::kTextBoxPointSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace

MainWindow::MainWindow(WindowServices services)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      services_(std::move(services)),
      text_box_(new QPlainTextEdit(this)) {
    register_window_resources();
    setObjectName(to_qstring(layout::kFormName));
    setWindowTitle(to_qstring(layout::kCaption));
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

    text_box_->setObjectName(to_qstring(layout::kTextBoxName));
    const layout::Rect box = layout::kTextBox.in_pixels();
    text_box_->setGeometry(box.left, box.top, box.width, box.height);
    text_box_->setFrameShape(QFrame::NoFrame);  // the picture draws the frame
    text_box_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_box_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text_box_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text_box_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    text_box_->setFont(text_box_font());
    text_box_->setFocusPolicy(Qt::StrongFocus);
    text_box_->setFocus();

    for (const auto& area : layout::kHotspots) {
        auto* hotspot = new HotspotWidget(area, this);
        connect(hotspot, &HotspotWidget::clicked, this,
                [this, command = area.command] { run(command); });
    }
}

void MainWindow::centre_on_screen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void MainWindow::run(layout::Command command) {
    switch (command) {
        case layout::Command::Split:
            split();
            break;
        case layout::Command::CopyAll:
            copy_all();
            break;
        case layout::Command::Clear:
            clear();
            break;
        case layout::Command::OpenWebPage:
            open_web_page();
            break;
    }
}

void MainWindow::split() {
    TextBoxHolder holder(*text_box_);
    const auto failure = run_split_command(holder, services_.program_directory);
    if (!failure) {
        return;
    }
    // Window-modal and not blocking: the split is over, the text untouched.
    auto* box =
        new QMessageBox(QMessageBox::Warning, to_qstring(layout::kCaption),
                        QString::fromStdString(failure_text(*failure)), QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("splitFailure"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MainWindow::copy_all() {
    services_.clipboard.set_plain_text(text_box_->toPlainText());
}

void MainWindow::clear() {
    TextBoxHolder::replace_all(*text_box_, QString());
}

void MainWindow::open_web_page() {
    services_.url_opener.open(services_.web_page);
}

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPixmap& picture = devicePixelRatioF() > 1.0 ? background_2x_ : background_;
    painter.drawPixmap(0, 0, picture);
}

}  // namespace mardovane
