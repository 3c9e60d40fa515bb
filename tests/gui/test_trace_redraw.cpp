// Panel A's traces drawn from the extremes of each pixel column cover the
// same pixels as the traces drawn through every point.
#include <gtest/gtest.h>

#include <QImage>

#include "desktop/QtCanvas.h"
#include "electrograms/TraceDisplay.h"
#include "shell/Display.h"
#include "support/DenseRecording.h"

namespace vk {
namespace {

// Draws what it is given on a Qt canvas, except that each trace (the
// panel's only polylines, one per row with an electrode, in row order) is
// drawn through every point instead.
class EveryPointCanvas : public Canvas {
public:
    EveryPointCanvas(QtCanvas& inner, const SessionState& s) : inner_(inner), s_(s) {}
    size_t reducedPoints = 0, everyPoints = 0;

    int width() const override { return inner_.width(); }
    int height() const override { return inner_.height(); }
    void beginDraw() override {
        row_ = 0;
        inner_.beginDraw();
    }
    void endDraw() override { inner_.endDraw(); }
    void setPenColor(Colour c) override { inner_.setPenColor(c); }
    void setPenWidth(int w) override { inner_.setPenWidth(w); }
    void setPenStyle(PenStyle st) override { inner_.setPenStyle(st); }
    void setPenMode(PenMode m) override { inner_.setPenMode(m); }
    void setBrushColor(Colour c) override { inner_.setBrushColor(c); }
    void setBrushStyle(BrushStyle st) override { inner_.setBrushStyle(st); }
    void setFontStyle(unsigned st) override { inner_.setFontStyle(st); }
    void setFontSize(int px) override { inner_.setFontSize(px); }
    void line(int x1, int y1, int x2, int y2) override { inner_.line(x1, y1, x2, y2); }
    void polyline(const std::vector<Point>& points) override {
        do ++row_;
        while (s_.RowElectrodes[static_cast<size_t>(row_ - 1)] == Missing);
        const TraceGeometry g = ComputeGeometry(s_, s_.BeginTime, s_.WindowTime);
        const std::vector<Point> every = EveryPointOfTrace(s_, g, row_, s_.RowElectrodes[static_cast<size_t>(row_ - 1)]);
        reducedPoints += points.size();
        everyPoints += every.size();
        inner_.polyline(every);
    }
    void rectangle(int x1, int y1, int x2, int y2) override { inner_.rectangle(x1, y1, x2, y2); }
    void ellipse(int x1, int y1, int x2, int y2) override { inner_.ellipse(x1, y1, x2, y2); }
    void textOut(int x, int y, Colour c, const std::string& t) override { inner_.textOut(x, y, c, t); }
    int textWidth(const std::string& t) override { return inner_.textWidth(t); }
    int textHeight(const std::string& t) override { return inner_.textHeight(t); }

private:
    QtCanvas& inner_;
    const SessionState& s_;
    int row_ = 0;
};

int differingPixels(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

int blackPixels(const QImage& a) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) == qRgb(0, 0, 0);
    return n;
}

using Case = test::DenseRecording::Case;
// 500, 1000 and 2000 Hz; sample counts per pixel column that are not whole
// (16.8, 19.1, 16.7, 1.75 with columns of one and two samples, and a window
// past the last row); bipolar, without the mean, an amplification that
// throws the traces far past the panel, and a row without an electrode.
const Case Cases[] = {
    Case{1000, 1234, 13457}, Case{500, 3001, 61111}, Case{2000, 0, 20000, 4, false, true}, Case{2000, 1500, 700},
    Case{1000, 35000, 9000}, Case{1000, 0, 40000, 3, true, false, 3.0}, Case{2000, 777, 9999, 8},
};

TEST(TraceRedraw, ColumnExtremesDrawTheSamePanelAsEveryPoint) {
    for (const Case& c : Cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.window << " ms from " << c.begin);
        test::DenseRecording d(c);
        // The last row shows electrode 256 + 1: none.
        if (c.traces == 8) d.s->TraceOrder = 6, d.s->FirstChannel = 7;
        QtCanvas reduced, every;
        reduced.resize(870, 650);
        every.resize(870, 650);
        EveryPointCanvas wrapper(every, *d.s);
        Ctx a{*d.s, d.host, RedrawPanels, &reduced, nullptr};
        UpdateDisplayA(a);
        Ctx b{*d.s, d.host, RedrawPanels, &wrapper, nullptr};
        UpdateDisplayA(b);
        EXPECT_EQ(differingPixels(reduced.image(), every.image()), 0);
        EXPECT_GT(blackPixels(reduced.image()), 5000);
        // Every row was drawn, and from far fewer points where columns are dense.
        EXPECT_GT(wrapper.everyPoints, 0u);
        if (c.window > 5000) {
            EXPECT_LT(wrapper.reducedPoints * 3, wrapper.everyPoints);
        }
    }
}

}  // namespace
}  // namespace vk
