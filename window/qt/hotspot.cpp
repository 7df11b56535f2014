#include "window/qt/hotspot.h"

#include "window/qt/qt_strings.h"

#include <QBitmap>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPixmap>

namespace mardovane {
namespace {

QCursor cursor_for(layout::Pointer pointer) {
    if (pointer == layout::Pointer::Arrow) {
        return QCursor(Qt::ArrowCursor);
    }
    static const QPixmap hand(QStringLiteral(":/mardovane/hand-cursor.png"));
    return QCursor(hand, layout::kHandHotSpotX, layout::kHandHotSpotY);
}

rules::MouseButton button_of(const QMouseEvent& event) {
    switch (event.button()) {
        case Qt::LeftButton:
            return rules::MouseButton::Left;
        case Qt::RightButton:
            return rules::MouseButton::Right;
        case Qt::MiddleButton:
            return rules::MouseButton::Middle;
        default:
            return rules::MouseButton::Other;
    }
}

}  // namespace

HotspotWidget::HotspotWidget(const layout::Hotspot& area, rules::ClickTracker& clicks,
                             QWidget* parent)
    : QAbstractButton(parent), clicks_(clicks) {
    setObjectName(to_qstring(area.name));
    const layout::Rect pixels = area.twips.in_pixels();
    setGeometry(pixels.left, pixels.top, pixels.width, pixels.height);
    // Reached with the keyboard, never by a click, so that a click leaves the caret in
    // the text box.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setCursor(cursor_for(area.pointer));
    setAccessibleName(to_qstring(area.accessible_name));
    setToolTip(QString::fromStdString(rules::tooltip(area)));
    connect(this, &QAbstractButton::clicked, this,
            [this, ran = area.command] { emit command(ran); });
}

void HotspotWidget::paintEvent(QPaintEvent*) {
    if (!hasFocus()) {
        return;  // the picture draws the button
    }
    // A frame only: the style's focus frame may tint what it surrounds, and the picture
    // keeps its colours.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(palette().color(QPalette::Highlight), 2);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
}

void HotspotWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint at = mapToParent(event->position().toPoint());
    clicks_.press(button_of(*event), at.x(), at.y());
    event->accept();
}

void HotspotWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = mapToParent(event->position().toPoint());
    if (const auto ran = clicks_.release(button_of(*event), at.x(), at.y())) {
        emit command(*ran);
    }
    event->accept();
}

void HotspotWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);  // Space presses it
}

}  // namespace mardovane
