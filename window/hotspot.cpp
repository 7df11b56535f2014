#include "window/hotspot.h"

#include "window/strings.h"

#include <QBitmap>
#include <QCursor>
#include <QMouseEvent>
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

}  // namespace

HotspotWidget::HotspotWidget(const layout::Hotspot& area, QWidget* parent)
    : QWidget(parent), command_(area.command) {
    setObjectName(to_qstring(area.name));
    const layout::Rect pixels = area.twips.in_pixels();
    setGeometry(pixels.left, pixels.top, pixels.width, pixels.height);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setCursor(cursor_for(area.pointer));
    setAccessibleName(to_qstring(area.accessible_name));
    setToolTip(to_qstring(area.tooltip));
}

void HotspotWidget::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void HotspotWidget::mouseReleaseEvent(QMouseEvent* event) {
    const bool inside = rect().contains(event->position().toPoint());
    if (pressed_ && event->button() == Qt::LeftButton && inside) {
        pressed_ = false;
        emit clicked();
    }
    pressed_ = false;
    event->accept();
}

}  // namespace mardovane
