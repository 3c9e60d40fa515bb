#include "desktop/QtCanvas.h"

#include <QFontMetrics>
#include <QPolygon>

namespace vk {

QColor QtCanvas::toQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QtCanvas::QtCanvas() : image_(1, 1, QImage::Format_RGB32), pen_(Qt::black), brush_(Qt::white) {
    image_.fill(Qt::white);
    pen_.setWidth(1);
    font_.setPixelSize(14);
}

QtCanvas::~QtCanvas() { painter_.reset(); }

void QtCanvas::resize(int w, int h) {
    painter_.reset();
    image_ = QImage(std::max(1, w), std::max(1, h), QImage::Format_RGB32);
    image_.fill(Qt::white);
}

QPainter& QtCanvas::painter() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setPen(pen_);
        painter_->setBrush(brush_);
        painter_->setFont(font_);
        applyPen();
    }
    return *painter_;
}

void QtCanvas::beginDraw() { painter(); }

void QtCanvas::endDraw() {
    painter_.reset();
    if (onChanged) onChanged();
}

void QtCanvas::applyPen() {
    if (!painter_) return;
    painter_->setPen(pen_);
    switch (mode_) {
        case PenMode::Copy: painter_->setCompositionMode(QPainter::CompositionMode_SourceOver); break;
        case PenMode::Xor: painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
        case PenMode::Not: painter_->setCompositionMode(QPainter::RasterOp_NotDestination); break;
    }
}

void QtCanvas::setPenColor(Colour c) {
    pen_.setColor(toQColor(c));
    applyPen();
}
void QtCanvas::setPenWidth(int w) {
    pen_.setWidth(std::max(1, w));
    applyPen();
}
void QtCanvas::setPenStyle(PenStyle s) {
    switch (s) {
        case PenStyle::Solid: pen_.setStyle(Qt::SolidLine); break;
        case PenStyle::Dash: pen_.setStyle(Qt::DashLine); break;
        case PenStyle::Dot: pen_.setStyle(Qt::DotLine); break;
        case PenStyle::Clear: pen_.setStyle(Qt::NoPen); break;
    }
    applyPen();
}
void QtCanvas::setPenMode(PenMode m) {
    mode_ = m;
    applyPen();
}
void QtCanvas::setBrushColor(Colour c) {
    brush_.setColor(toQColor(c));
    if (brush_.style() == Qt::NoBrush) brush_.setStyle(Qt::SolidPattern);
    if (painter_) painter_->setBrush(brush_);
}
void QtCanvas::setBrushStyle(BrushStyle s) {
    brush_.setStyle(s == BrushStyle::Solid ? Qt::SolidPattern : Qt::NoBrush);
    if (painter_) painter_->setBrush(brush_);
}
void QtCanvas::setFontStyle(unsigned styles) {
    font_.setBold(styles & FontBold);
    font_.setItalic(styles & FontItalic);
    font_.setUnderline(styles & FontUnderline);
    if (painter_) painter_->setFont(font_);
}
void QtCanvas::setFontSize(int pixels) {
    font_.setPixelSize(std::max(1, pixels));
    if (painter_) painter_->setFont(font_);
}

void QtCanvas::line(int x1, int y1, int x2, int y2) { painter().drawLine(x1, y1, x2, y2); }

void QtCanvas::polyline(const std::vector<Point>& points) {
    if (points.size() < 2) return;
    QPolygon poly(static_cast<int>(points.size()));
    for (size_t i = 0; i < points.size(); ++i) poly.setPoint(static_cast<int>(i), points[i].x, points[i].y);
    painter().drawPolyline(poly);
}

// The rectangle and ellipse cover x1 .. x2 - 1 and y1 .. y2 - 1.
void QtCanvas::rectangle(int x1, int y1, int x2, int y2) {
    painter().drawRect(QRect(QPoint(x1, y1), QPoint(x2 - 2, y2 - 2)).normalized());
}

void QtCanvas::ellipse(int x1, int y1, int x2, int y2) {
    painter().drawEllipse(QRect(QPoint(x1, y1), QPoint(x2 - 2, y2 - 2)).normalized());
}

void QtCanvas::textOut(int x, int y, Colour fontColour, const std::string& text) {
    QPainter& p = painter();
    const QString s = QString::fromStdString(text);
    const QFontMetrics m(font_);
    const QPen saved = p.pen();
    p.setPen(toQColor(fontColour));
    p.drawText(x, y + m.ascent(), s);
    p.setPen(saved);
}

int QtCanvas::textWidth(const std::string& text) {
    return QFontMetrics(font_).horizontalAdvance(QString::fromStdString(text));
}

int QtCanvas::textHeight(const std::string&) { return QFontMetrics(font_).height(); }

}  // namespace vk
