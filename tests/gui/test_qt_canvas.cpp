// The Qt canvas draws what the primitives say, pixel for pixel, and the
// panel drawn through it from column extremes is the panel of every point.
#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>

#include "desktop/QtCanvas.h"
#include "electrograms/TraceDisplay.h"
#include "shell/Display.h"
#include "support/DenseRecording.h"

namespace vk {
namespace {

TEST(QtCanvas, ThinPolylinesDrawTheSamePixelsAsEveryPoint) {
  // Noisy traces with one to nine points per pixel column, as long windows
  // give, drawn with the column shortcut and point by point.
  for (unsigned seed = 1; seed <= 24; ++seed) {
    const int perColumn = 1 + static_cast<int>(seed % 9);
    const int noise = 3 + static_cast<int>(seed % 5) * 10;
    std::vector<Point> points;
    unsigned r = seed * 7919u;
    int y = 200;
    for (int i = 0; i < 1000 * perColumn; ++i) {
        r = r * 1103515245u + 12345u;
        y += static_cast<int>((r >> 16) % static_cast<unsigned>(2 * noise + 1)) - noise;
        y = std::clamp(y, 5, 395);
        points.push_back({30 + i / perColumn, y});
    }
    QtCanvas canvas;
    canvas.resize(1100, 400);
    canvas.beginDraw();
    canvas.setPenColor(clBlack);
    canvas.polyline(points);
    canvas.endDraw();

    // Every segment of the polyline with both of its end pixels.
    QImage reference(1100, 400, QImage::Format_RGB32);
    reference.fill(Qt::white);
    auto plot = [&](int x, int y) {
        if (x >= 0 && x < 1100 && y >= 0 && y < 400) reference.setPixel(x, y, qRgb(0, 0, 0));
    };
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        const Point a = points[i], b = points[i + 1];
        const int n = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
        for (int k = 0; k <= n; ++k) {
            // Along the longer axis, the nearest pixel of the other one.
            const double t = n == 0 ? 0 : static_cast<double>(k) / n;
            plot(static_cast<int>(std::lround(a.x + t * (b.x - a.x))), static_cast<int>(std::lround(a.y + t * (b.y - a.y))));
        }
    }
    int differing = 0;
    for (int yy = 0; yy < 400; ++yy)
        for (int xx = 0; xx < 1100; ++xx) {
            differing += canvas.image().pixel(xx, yy) != reference.pixel(xx, yy);
        }
    EXPECT_EQ(differing, 0) << "seed " << seed;
  }
}

TEST(QtCanvas, PrimitivesKeepTheirOrder) {
    // A trace drawn over a baseline covers it, and a line drawn afterwards
    // covers the trace.
    QtCanvas canvas;
    canvas.resize(100, 50);
    canvas.beginDraw();
    canvas.setPenColor(0x0000FF00);
    canvas.line(0, 20, 99, 20);
    canvas.setPenColor(clBlack);
    canvas.polyline({{0, 20}, {50, 20}, {99, 20}});
    canvas.setPenColor(clRed);
    canvas.line(70, 0, 70, 49);
    canvas.endDraw();
    EXPECT_EQ(canvas.image().pixel(30, 20), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.image().pixel(70, 20), qRgb(255, 0, 0));
}

TEST(QtCanvas, RectanglesAndEllipsesCoverX1ToX2Less1) {
    // Red outline, blue fill over x 10..19, y 20..24; a clear-brush
    // rectangle only outlines; the ellipse stays inside its box.
    QtCanvas canvas;
    canvas.resize(60, 40);
    canvas.beginDraw();
    canvas.setPenColor(clRed);
    canvas.setBrushColor(0x00FF0000);
    canvas.rectangle(10, 20, 20, 25);
    canvas.setBrushStyle(BrushStyle::Clear);
    canvas.rectangle(30, 5, 35, 10);
    canvas.setPenColor(clBlack);
    canvas.ellipse(40, 20, 50, 30);
    canvas.endDraw();
    const QImage& im = canvas.image();
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255), white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
    const struct {
        int x, y;
        QRgb colour;
    } pixels[] = {
        {10, 20, red},   {19, 20, red},   {10, 24, red},   {19, 24, red},   {15, 22, blue},  {11, 21, blue},
        {18, 23, blue},  {20, 20, white}, {19, 25, white}, {9, 22, white},  {15, 19, white}, {30, 5, red},
        {34, 9, red},    {32, 7, white},  {35, 9, white},  {34, 10, white}, {40, 25, black}, {49, 25, black},
        {45, 20, black}, {45, 29, black}, {50, 25, white}, {45, 30, white}, {39, 25, white}, {45, 19, white},
    };
    for (const auto& p : pixels) EXPECT_EQ(im.pixel(p.x, p.y), p.colour) << p.x << "," << p.y;
}

// Panel A's traces drawn from the extremes of each pixel column cover the
// same pixels as the traces drawn through every point.
// A Qt canvas that draws each trace (the panel's only polylines, one per
// row with an electrode, in row order) through every point instead.
class EveryPointCanvas : public QtCanvas {
public:
    explicit EveryPointCanvas(const SessionState& s) : s_(s) {}
    size_t reducedPoints = 0, everyPoints = 0;
    void beginDraw() override {
        row_ = 0;
        QtCanvas::beginDraw();
    }
    void polyline(const std::vector<Point>& points) override {
        do ++row_;
        while (s_.RowElectrodes[static_cast<size_t>(row_ - 1)] == Missing);
        const TraceGeometry g = ComputeGeometry(s_, s_.BeginTime, s_.WindowTime);
        const std::vector<Point> every = EveryPointOfTrace(s_, g, row_, s_.RowElectrodes[static_cast<size_t>(row_ - 1)]);
        reducedPoints += points.size();
        everyPoints += every.size();
        QtCanvas::polyline(every);
    }

private:
    const SessionState& s_;
    int row_ = 0;
};

TEST(TraceRedraw, ColumnExtremesDrawTheSamePanelAsEveryPoint) {
    for (const test::DenseRecording::Case& c : test::DenseCases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.window << " ms from " << c.begin);
        test::DenseRecording d(c);
        // Of eight rows the last shows electrode 256 + 1: none.
        if (c.traces == 8) d.s->TraceOrder = 6, d.s->FirstChannel = 7;
        QtCanvas reduced;
        EveryPointCanvas wrapper(*d.s);
        reduced.resize(870, 650);
        wrapper.resize(870, 650);
        Ctx a{*d.s, d.host, RedrawPanels, &reduced, nullptr};
        UpdateDisplayA(a);
        Ctx b{*d.s, d.host, RedrawPanels, &wrapper, nullptr};
        UpdateDisplayA(b);
        int differing = 0, black = 0;
        for (int y = 0; y < 650; ++y)
            for (int x = 0; x < 870; ++x) {
                differing += reduced.image().pixel(x, y) != wrapper.image().pixel(x, y);
                black += reduced.image().pixel(x, y) == qRgb(0, 0, 0);
            }
        EXPECT_EQ(std::tuple(differing, black > 5000), std::tuple(0, true));
        // Every row was drawn, and from far fewer points where columns are dense.
        EXPECT_TRUE(wrapper.everyPoints > 0 && (c.window <= 5000 || wrapper.reducedPoints * 3 < wrapper.everyPoints))
            << wrapper.reducedPoints << " of " << wrapper.everyPoints;
    }
}

}  // namespace
}  // namespace vk
