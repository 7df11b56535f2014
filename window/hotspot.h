#pragma once

#include <QWidget>

#include "window/layout.h"

namespace mardovane {

// A transparent, captionless click area. It draws nothing, takes no keyboard focus, and
// reports a click when the left button is pressed and released inside it.
class HotspotWidget final : public QWidget {
    Q_OBJECT

  public:
    HotspotWidget(const layout::Hotspot& area, QWidget* parent);

    layout::Command command() const { return command_; }

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    layout::Command command_;
    bool pressed_ = false;
};

}  // namespace mardovane
