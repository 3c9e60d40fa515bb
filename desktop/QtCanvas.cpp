#include "desktop/QtCanvas.h"

#include <QFontMetrics>
#include <QPolygon>

namespace vk {

QColor QtCanvas::toQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QtCanvas::QtCanvas() : image_(1, 1, QImage::Format_RGB32), pen_(Qt::black), brush_(Qt::white) {
    image_.fill(Qt::white);
    pen_.setWidth(1);
    // Pixel-wide lines without a transform: the fast line drawing of the raster engine.
    pen_.setCosmetic(true);
    font_.setPixelSize(14);
}

QtCanvas::~QtCanvas() { painter_.reset(); }

void QtCanvas::resize(int w, int h) {
    painter_.reset();
    image_ = QImage(std::max(1, w), std::max(1, h), QImage::Format_RGB32);
    image_.fill(Qt::white);
}

void QtCanvas::paintOn(QPaintDevice* device, int w, int h) {
    painter_.reset();
    device_ = device;
    deviceWidth_ = w;
    deviceHeight_ = h;
    pen_ = QPen(Qt::black);
    pen_.setWidth(1);
    brush_ = QBrush(Qt::white, Qt::NoBrush);
    font_ = QFont();
    font_.setPixelSize(device->logicalDpiY() * 8 / 72);
}

QFontMetrics QtCanvas::metrics() const { return device_ ? QFontMetrics(font_, device_) : QFontMetrics(font_); }

QPainter& QtCanvas::painter() {
    if (!painter_) {
        if (device_) {
            painter_ = std::make_unique<QPainter>(device_);
        } else {
            painter_ = std::make_unique<QPainter>(&image_);
        }
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

namespace {

// Clips the segment to the rectangle 0..w-1 x 0..h-1 (Liang-Barsky);
// false when nothing of it is inside.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, int w, int h) {
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0, w - 1 - x0, y0, h - 1 - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    const double nx0 = x0 + t0 * dx, ny0 = y0 + t0 * dy, nx1 = x0 + t1 * dx, ny1 = y0 + t1 * dy;
    x0 = nx0;
    y0 = ny0;
    x1 = nx1;
    y1 = ny1;
    return true;
}

}  // namespace

void QtCanvas::thinLine(int ax, int ay, int bx, int by, QRgb colour) {
    const int w = image_.width(), h = image_.height();
    uchar* bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    auto inside = [&](int x, int y) { return x >= 0 && x < w && y >= 0 && y < h; };
    int px = ax, py = ay, qx = bx, qy = by;
    if (!inside(ax, ay) || !inside(bx, by)) {
        // Only the part inside the image is walked, however far off it the
        // ends lie (a trace amplified far beyond the panel).
        double x0 = ax, y0 = ay, x1 = bx, y1 = by;
        if (!clipSegment(x0, y0, x1, y1, w, h)) return;
        px = static_cast<int>(std::lround(x0));
        py = static_cast<int>(std::lround(y0));
        qx = static_cast<int>(std::lround(x1));
        qy = static_cast<int>(std::lround(y1));
    }
    if (px == qx) {  // a vertical run: the common case of a long trace
        const int y0 = std::max(0, std::min(py, qy)), y1 = std::min(h - 1, std::max(py, qy));
        if (px < 0 || px >= w) return;
        for (int y = y0; y <= y1; ++y) reinterpret_cast<QRgb*>(bits + y * stride)[px] = colour;
        return;
    }
    const int dx = std::abs(qx - px), dy = -std::abs(qy - py);
    const int sx = px < qx ? 1 : -1, sy = py < qy ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (inside(px, py)) reinterpret_cast<QRgb*>(bits + py * stride)[px] = colour;
        if (px == qx && py == qy) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            px += sx;
        }
        if (e2 <= dx) {
            err += dx;
            py += sy;
        }
    }
}

void QtCanvas::polyline(const std::vector<Point>& points) {
    if (points.size() < 2) return;
    const bool thin = !device_ && pen_.widthF() <= 1.0 && pen_.style() == Qt::SolidLine && mode_ == PenMode::Copy;
    if (!thin) {
        QPolygon poly(static_cast<int>(points.size()));
        for (size_t i = 0; i < points.size(); ++i) poly.setPoint(static_cast<int>(i), points[i].x, points[i].y);
        painter().drawPolyline(poly);
        return;
    }
    // A one-pixel trace is drawn here, straight into the image, segment by
    // segment with both end pixels. A long trace has many points in each
    // pixel column; a column is then covered from its lowest to its highest
    // point whatever the order in between, so only the first, the lowest,
    // the highest and the last point of a column need drawing.
    painter();  // make sure that drawing has begun
    const QRgb colour = pen_.color().rgb();
    auto draw = [&](const Point& a, const Point& b) { thinLine(a.x, a.y, b.x, b.y, colour); };
    size_t i = 0;
    const Point* previous = nullptr;
    while (i < points.size()) {
        size_t end = i + 1;
        while (end < points.size() && points[end].x == points[i].x) ++end;
        const Point& first = points[i];
        if (previous) draw(*previous, first);
        int lo = first.y, hi = first.y;
        for (size_t j = i + 1; j < end; ++j) {
            lo = std::min(lo, points[j].y);
            hi = std::max(hi, points[j].y);
        }
        if (end - i > 1) draw({first.x, lo}, {first.x, hi});
        else draw(first, first);
        previous = &points[end - 1];
        i = end;
    }
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
    const QFontMetrics m = metrics();
    // Text stands on the current brush, unless the brush is clear.
    if (brush_.style() != Qt::NoBrush) p.fillRect(QRect(x, y, m.horizontalAdvance(s), m.height()), brush_.color());
    const QPen saved = p.pen();
    p.setPen(toQColor(fontColour));
    p.drawText(x, y + m.ascent(), s);
    p.setPen(saved);
}

int QtCanvas::textWidth(const std::string& text) {
    return metrics().horizontalAdvance(QString::fromStdString(text));
}

int QtCanvas::textHeight(const std::string&) { return metrics().height(); }

}  // namespace vk
