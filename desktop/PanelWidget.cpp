#include "desktop/PanelWidget.h"

#include <QPainter>
#include <QMouseEvent>
#include <QResizeEvent>

namespace vk {

PanelWidget::PanelWidget(QtCanvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
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

void PanelWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    // Every click gives the panel the keyboard and the plain cursor back.
    unsetCursor();
    setFocus(Qt::MouseFocusReason);
    const QPoint p = event->position().toPoint();
    if (onClick) onClick(p.x(), p.y(), (event->modifiers() & Qt::ShiftModifier) != 0);
}

void PanelWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    if (onDoubleClick) onDoubleClick(p.x(), p.y());
}

}  // namespace vk
