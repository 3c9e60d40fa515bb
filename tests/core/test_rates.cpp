// Every export and print that turns milliseconds into sample rows, at 500,
// 1000 and 2000 Hz: the same window in ms gives the same picture and the
// same rows of the recording at every rate.
#include <gtest/gtest.h>

#include <algorithm>

#include "exchange/DataExports.h"
#include "exchange/MacExport.h"
#include "printing/PrintPanels.h"
#include "support/RateSession.h"
#include "waves/WaveformGrid.h"

namespace vk::test {
namespace {

using Lines = std::vector<std::string>;

std::string n(int64_t v) { return std::to_string(v); }

TEST(Rates, TextAndDrawingExportsReadTheRowsOfTheWindow) {
    for (int rate : Rates) {
        SCOPED_TRACE(rate);
        RateSession r(rate);
        SessionState& s = *r.s;
        r.window(500, 1000);
        const int first = r.row(500), last = r.row(1500), w = r.row(1000);

        // "Electrogram to .txt": rows first+1 .. last, trace position 1 is electrode 17.
        const Lines twelve = TwelveTraceLines(s);
        EXPECT_EQ(std::tuple(twelve.size(), twelve.front().substr(0, twelve.front().find('\t')), twelve.back().substr(0, twelve.back().find('\t'))),
                  std::tuple(size_t(last - first), n(1000 * (first + 1) + 17), n(1000 * last + 17)));

        // Copy Electrograms: values of rows first+2 .. last+1; marks at their
        // row's place among them (the window's end included), labelled in ms.
        s.NrTraces = 1;
        s.Amplification = 0.05;  // x 20: the value itself
        s.RefTime = 200;
        for (int t : {1000, 1500, 1502, 498}) r.mark(17, t);
        const auto blocks = CopySignalsBlocks(s);
        ASSERT_EQ(blocks.size(), 2u);
        EXPECT_EQ(std::tuple(blocks[0].lines.size(), blocks[0].lines.front()), std::tuple(size_t(last - first), n(-(1000 * (first + 2) + 17))));
        EXPECT_EQ(blocks[1].lines, (Lines{n(r.row(1000) - first + 1) + " 50 -50 800", n(last - first + 1) + " 50 -50 1300"}));

        // Copy EleMap: w + 1 rows from first + 1 around their mean, x over 0..10000 at every rate.
        const auto cells = CopyEleMapBlocks(s);
        ASSERT_EQ(cells.size(), 2u);
        ASSERT_EQ(cells[0].lines.size(), size_t(w + 2));
        EXPECT_EQ(std::tuple(cells[0].lines[0], cells[0].lines[1], cells[0].lines.back()),
                  std::tuple("17 1 1", n(10000 / w) + " " + n(50000LL * w), n(10000 + 10000 / w) + " " + n(-50000LL * w)));
    }
}

TEST(Rates, PrintedTracesMarksConnectionsAndAxisSpanTheWindow) {
    for (int rate : Rates) {
        SCOPED_TRACE(rate);
        RateSession r(rate);
        SessionState& s = *r.s;
        // The whole recording: every row is printed (not half of them at 2000 Hz).
        const PrintBox box{200, 500, 1000, 1200};
        r.window(0, s.SignalLength);
        const int whole = CalcPrintElgSize(s, box).last;
        r.window(500, 1000);
        const PrintTraceGeometry g = CalcPrintElgSize(s, box);
        EXPECT_EQ(std::tuple(whole, g.first, g.last, g.px, g.plotWidth),
                  std::tuple(4000, r.row(500), r.row(1500), 1000.0 / r.row(1000), 1000));
        // Marks before the window, in it, on its last sample and after it.
        for (int t : {498, 1000, 1500, 1502}) r.mark(17, t);
        s.Connections[1] = {17, 1000, 18, 1200, 1};
        s.ConnCount = 1;
        s.ShowElgConnections = true;
        RecordingCanvas page(1400, 2200);
        PrintElectrogramPanel(r.ctx, page, box);
        // Two traces 500 apart: baselines 750 and 1250; mark lines 550..950; one pixel per ms.
        EXPECT_EQ(notDrawn(page.ops, {"line 700 550 700 950", "line 1200 550 1200 950", "line 700 750 900 1250"}), Ops{});
        EXPECT_EQ(drawn(page.ops, {"line 198 550 198 950", "line 1202 550 1202 950"}), Ops{});
        ASSERT_EQ(page.polylines.size(), 2u);
        const auto& trace = page.polylines[0];
        const int step = std::max(1, 1000 / r.row(1000));  // pixels per row: 2, 1 or a half
        EXPECT_EQ(std::tuple(trace.size(), trace.front().x, trace.back().x),
                  std::tuple(size_t(r.row(1000)), rate == 2000 ? 201 : 200 + 2 * step, rate == 2000 ? 1200 : 1200 + step));
        // A tick and a label every 100 ms, 500 to 1500, 100 pixels apart.
        Ops labels, ticks, wantLabels, wantTicks;
        for (const std::string& o : page.ops) {
            if (o.rfind("text ", 0) == 0 && o.find(" 1550 ") != std::string::npos) labels.push_back(o.substr(o.rfind(' ') + 1));
            if (o.rfind("line ", 0) == 0 && o.find(" 1500 ") != std::string::npos && o.find(" 1520") != std::string::npos) ticks.push_back(o);
        }
        for (int x = 200; x <= 1200; x += 100) {
            wantLabels.push_back(n(x + 300));
            wantTicks.push_back("line " + n(x) + " 1500 " + n(x) + " 1520");
        }
        EXPECT_EQ(std::tuple(labels, ticks), std::tuple(wantLabels, wantTicks));
    }
}

// The stretch of the waveform grid and of the printed matrix-ordered
// electrograms spans its cell at every rate: as many rows as the window
// holds, the last on the cell's right edge.
TEST(Rates, WaveformCellsAndPrintedMatrixCellsSpanTheirCell) {
    for (int rate : Rates) {
        SCOPED_TRACE(rate);
        RateSession r(rate);
        SessionState& s = *r.s;
        const int w = r.row(1000);
        s.ElgViewMode = 2;
        s.WaveGrid = s.WaveGridLabel = false;
        r.window(500, 1000);
        RedrawPanels(r.ctx, 1);
        // Cells of (650 - 50) div 2 = 300 pixels from x = 25.
        ASSERT_EQ(r.a.polylines.size(), 2u);
        EXPECT_EQ(std::tuple(s.WaveXScale, r.a.polylines[0].size(), r.a.polylines[0].back().x, r.a.polylines[1].back().x),
                  std::tuple(300.0 / w, size_t(w + 1), 325, 625));

        // Printed, aligned on the activation time: the map time is relative
        // to the reference (300), the segment centred on the absolute time 600.
        for (int i = 1; i <= 4000; ++i) s.Signals.at(i, 17) = 0;
        s.Signals.at(r.row(600), 17) = 100000;
        r.mark(17, 600);
        s.RefTime = 300;
        s.WaveMarkAlign = true;
        r.window(0, 1000);
        RecordingCanvas page(1400, 2200);
        PrintMatrixElectrograms(r.ctx, page, PrintBox{200, 500, 1000, 1200});
        ASSERT_EQ(page.polylines.size(), 1u);  // electrode 18 has no time in the window
        const auto& cell = page.polylines[0];
        EXPECT_EQ(cell.size(), size_t(w));
        const auto peak = std::min_element(cell.begin(), cell.end(), [](Point a, Point b) { return a.y < b.y; });
        EXPECT_EQ(std::pair(peak->x, cell.back().x), std::pair(450, 700));  // the cell's middle and right edge
        // Without alignment both cells start at panel A's begin time.
        s.WaveMarkAlign = false;
        PrintMatrixElectrograms(r.ctx, page, PrintBox{200, 500, 1000, 1200});
        ASSERT_EQ(page.polylines.size(), 3u);
        EXPECT_EQ(std::pair(page.polylines[1].back().x, page.polylines[2].back().x), std::pair(700, 1200));
    }
}

}  // namespace
}  // namespace vk::test
