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
