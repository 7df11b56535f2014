#pragma once

#include <QAbstractButton>

#include "window/common/layout.h"
#include "window/common/window_rules.h"

namespace mardovane {

// A click area over a painted button: a real button for the keyboard and screen readers,
// drawn transparently, so the picture shows through (only a focus frame is drawn, while it
// has the keyboard focus). The mouse goes through the window's click tracker, which says
// when a press and release make a click; Space and Enter press it from the keyboard.
// Either way it emits `command`.
class HotspotWidget final : public QAbstractButton {
    Q_OBJECT

  public:
    HotspotWidget(const layout::Hotspot& area, rules::ClickTracker& clicks, QWidget* parent);

  signals:
    void command(layout::Command command);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    rules::ClickTracker& clicks_;
};

}  // namespace mardovane
