// A Canvas that paints with QPainter into a QImage. Each panel owns one; the
// panel widget shows the image, so what a redraw painted stays on screen
// until the next redraw.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <functional>
#include <memory>

#include "session/Canvas.h"

namespace vk {

class QtCanvas : public Canvas {
public:
    QtCanvas();
    ~QtCanvas() override;

    // A new surface of this size (white); ends any drawing in progress.
    void resize(int w, int h);
    // Paints on `device` (a printer page of w x h device pixels) instead of
    // the image, from the next beginDraw on: black pen of width 1 in device
    // pixels, no brush, the default sans-serif font at 8 points. Text is
    // measured on the device.
    void paintOn(QPaintDevice* device, int w, int h);
    // False when the device refused to start painting (e.g. a PDF that
    // cannot be written).
    bool painting() const { return painter_ && painter_->isActive(); }
    const QImage& image() const { return image_; }
    // Called when a redraw has ended, so the widget can show the new image.
    std::function<void()> onChanged;

    int width() const override { return device_ ? deviceWidth_ : image_.width(); }
    int height() const override { return device_ ? deviceHeight_ : image_.height(); }
    void beginDraw() override;
    void endDraw() override;

    void setPenColor(Colour c) override;
    void setPenWidth(int w) override;
    void setPenStyle(PenStyle s) override;
    void setPenMode(PenMode m) override;
    void setBrushColor(Colour c) override;
    void setBrushStyle(BrushStyle s) override;
    void setFontStyle(unsigned styles) override;
    void setFontSize(int pixels) override;

    void line(int x1, int y1, int x2, int y2) override;
    void polyline(const std::vector<Point>& points) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void ellipse(int x1, int y1, int x2, int y2) override;
    void textOut(int x, int y, Colour fontColour, const std::string& text) override;
    int textWidth(const std::string& text) override;
    int textHeight(const std::string& text) override;

    static QColor toQColor(Colour c);

private:
    QPainter& painter();
    void applyPen();
    // A one-pixel line from (ax, ay) to (bx, by), both ends included.
    void thinLine(int ax, int ay, int bx, int by, QRgb colour);
    QFontMetrics metrics() const;

    QImage image_;
    std::unique_ptr<QPainter> painter_;
    QPen pen_;
    QBrush brush_;
    QFont font_;
    PenMode mode_ = PenMode::Copy;
    QPaintDevice* device_ = nullptr;
    int deviceWidth_ = 0, deviceHeight_ = 0;

};

}  // namespace vk
