#include "window/hotspot.h"

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

HotspotWidget::HotspotWidget(const layout::Hotspot& spec, QWidget* parent)
    : QWidget(parent), command_(spec.command) {
    setObjectName(QString::fromUtf8(spec.name.data(), static_cast<qsizetype>(spec.name.size())));
    const layout::Rect pixels = spec.twips.in_pixels();
    setGeometry(pixels.left, pixels.top, pixels.width, pixels.height);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setCursor(cursor_for(spec.pointer));
    setAccessibleName(QString::fromUtf8(spec.accessible_name.data(),
                                        static_cast<qsizetype>(spec.accessible_name.size())));
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
