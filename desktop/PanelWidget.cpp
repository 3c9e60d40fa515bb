#include "desktop/PanelWidget.h"

#include <QPainter>
#include <QMouseEvent>
#include <QResizeEvent>

namespace vk {

PanelWidget::PanelWidget(QtCanvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    canvas_.onChanged = [this] { update(); };
}

void PanelWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, canvas_.image());
}

void PanelWidget::resizeEvent(QResizeEvent* event) {
    canvas_.resize(event->size().width(), event->size().height());
    if (onResized) onResized();
}

}  // namespace vk

namespace vk {

void PanelWidget::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove) onMouseMove(event->position().toPoint().x(), event->position().toPoint().y());
}

}  // namespace vk
