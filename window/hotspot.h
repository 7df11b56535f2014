#pragma once

#include <QWidget>

#include "window/layout.h"
#include "window/window_rules.h"

namespace mardovane {

// A transparent, captionless click area. It draws nothing and takes no keyboard focus; it
// hands its presses and releases, in window coordinates, to the window's click tracker,
// and emits `command` when the tracker says a click ran one.
class HotspotWidget final : public QWidget {
    Q_OBJECT

  public:
    HotspotWidget(const layout::Hotspot& area, rules::ClickTracker& clicks, QWidget* parent);

  signals:
    void command(layout::Command command);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    rules::ClickTracker& clicks_;
};

}  // namespace mardovane
