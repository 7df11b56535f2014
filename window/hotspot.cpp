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
    : QWidget(parent), clicks_(clicks) {
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

}  // namespace mardovane
