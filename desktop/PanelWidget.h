// The drawing surface of one display panel: shows its canvas's image.
#pragma once

#include <QWidget>
#include <functional>

#include "desktop/QtCanvas.h"

namespace vk {

class PanelWidget : public QWidget {
    Q_OBJECT
public:
    PanelWidget(QtCanvas& canvas, QWidget* parent);
    // Called after the surface changed size, so the panel can be redrawn.
    std::function<void()> onResized;
    // Mouse moves, clicks and double clicks in panel pixels.
    std::function<void(int x, int y)> onMouseMove;
    std::function<void(int x, int y, bool shift)> onClick;
    std::function<void(int x, int y)> onDoubleClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QtCanvas& canvas_;
};

}  // namespace vk
