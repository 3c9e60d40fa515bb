// The electrogram panel through the recording canvas: geometry, axis, scale
// bar, traces, marks, intervals, rows and the start cell, the amplitude
// markers, and the points of each pixel column that are drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <set>

#include "electrograms/TraceColumns.h"
#include "electrograms/TraceDisplay.h"
#include "input/Matrix.h"
#include "marks/MarkStore.h"
#include "shell/Display.h"
#include "shell/ViewCommands.h"
#include "support/DenseRecording.h"
#include "support/ElectrogramSession.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"

namespace vk {
namespace {

using test::drawn;
using test::notDrawn;
using test::Ops;

struct Panel : test::ElectrogramSession {
    Panel() : ElectrogramSession(60000, 4000, 24, 1) {}
    std::vector<std::string> draw() {
        UpdateDisplayA(ctx);
        return a.ops;
    }
    static int count(const std::vector<std::string>& ops, const std::string& prefix) {
        return static_cast<int>(std::count_if(ops.begin(), ops.end(), [&](const std::string& o) { return o.rfind(prefix, 0) == 0; }));
    }
};

TEST(TraceDisplay, GeometryAxisAndScaleBar) {
    Panel p;
    const auto ops = p.draw();
    EXPECT_EQ(p.s->TraceSpacing, 20);
    const TraceGeometry g = ComputeGeometry(*p.s, 0, 4000);
    EXPECT_EQ(std::tuple(g.rowCentre(1), g.rowTop(1), g.rowBottom(1)), std::tuple(20, 10, 30));
    // A tick every 500 samples labelled in ms, the first label at the left edge, the 500 at
    // 30 + 125 - 7 * (3 div 2), the 4000 at 30 + 1000 - 7 * (4 div 2); the baseline and
    // electrode numbers of rows 1 and 24; 747 units per mV at amplification 0.01: a 7-pixel bar for 1 mV.
    EXPECT_EQ(
        notDrawn(ops, {"text 30 1 0", "text 148 1 500", "line 155 15 155 500", "text 1016 1 4000", "line 30 20 1030 20",
                       "text 4 16 1", "text 4 476 24", "line 1050 500 1050 493", "text 1010 505 1.000 mV"}),
        Ops{});
    p.s->Amplification = 1;  // 747 > 200: halved twice to 187 pixels
    EXPECT_EQ(notDrawn(p.draw(), {"line 1050 500 1050 313", "text 1010 505 0.250 mV"}), Ops{});
    // Over 60 s a tick every 2000 samples, 33 pixels apart: a label that
    // would touch the one before (10000 ends at 218) is left out.
    p.s->WindowA = 60000;
    const auto wide = p.draw();
    EXPECT_EQ(notDrawn(wide, {"text 183 1 10000", "line 230 15 230 500", "text 249 1 14000"}), Ops{});
    EXPECT_EQ(drawn(wide, {"text 216 1 12000"}), Ops{});
    // 18 of the 31 labels, and the scale bar's.
    EXPECT_EQ(Panel::count(wide, "text") - Panel::count(wide, "text 4 "), 19);
    p.s->UnitsPerMillivolt = 800;
    p.s->Amplification = 0.5;  // 400, then 200 pixels: halved to 100
    EXPECT_EQ(notDrawn(p.draw(), {"line 1050 500 1050 400", "text 1010 505 0.250 mV"}), Ops{});
}

TEST(TraceDisplay, TheWindowBecomesRowsAndEndsAtTheLoadedRows) {
    // 60000 rows loaded. setRate: as General > "Sampling Frequency" sets
    // it; otherwise the rate was set before the recording was opened.
    struct Case {
        int rate;
        bool setRate;
        int32_t begin, window, first, last;
    };
    for (const Case c : {Case{1000, true, 58000, 4000, 58000, 60000}, Case{500, true, 118000, 4000, 59000, 60000},
                         Case{2000, true, 29000, 4000, 58000, 60000}, Case{2000, false, 0, 60000, 0, 60000},
                         Case{2000, true, 1000, 500, 2000, 3000}}) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz from " << c.begin);
        Panel p;
        if (c.setRate) {
            SetSamplingFrequency(*p.s, c.rate);
        } else {
            p.s->SamplingFrequency = c.rate;
            p.s->HighRateMode = true;
        }
        const TraceGeometry g = ComputeGeometry(*p.s, c.begin, c.window);
        EXPECT_EQ(std::tuple(g.firstSample, g.lastSample), std::tuple(c.first, c.last));
    }
}

TEST(TraceDisplay, LongWindowsDrawAtMost16000PointsAndEmptyRowsStayEmpty) {
    Panel p;
    p.s->NrTraces = 2;
    p.s->WindowA = 40000;
    // Every 3rd sample of 40000, plus the first point; the flat traces are
    // drawn from the first and last of them in each pixel column, 30 to 1030.
    auto everyPoint = [&] { return EveryPointOfTrace(*p.s, ComputeGeometry(*p.s, 0, p.s->WindowA), 1, 1).size(); };
    EXPECT_EQ(Panel::count(p.draw(), "polyline 2002"), 2);
    EXPECT_EQ(everyPoint(), 13334u);
    p.s->WindowA = 16000;
    EXPECT_EQ(Panel::count(p.draw(), "polyline 2002"), 2);
    EXPECT_EQ(everyPoint(), 16001u);
    // Row results outside 1..256 show nothing.
    p.s->FirstChannel = 256;
    const auto edge = p.draw();
    EXPECT_EQ(std::pair(Panel::count(edge, "polyline"), notDrawn(edge, {"text 4 131 256"})), std::pair(1, Ops{}));
    p.s->TraceOrder = 6;  // opposite: 256, 255
    EXPECT_EQ(Panel::count(p.draw(), "polyline"), 2);
    p.s->FirstChannel = 1;  // opposite from 1: row 2 would be 0
    EXPECT_EQ(Panel::count(p.draw(), "polyline"), 1);
}

TEST(TraceDisplay, TracePointsFollowTheSignal) {
    Panel p;
    p.s->NrTraces = 1;
    p.s->WindowA = 10;
    p.s->AverageOffsetOn = false;
    p.s->Amplification = 1;
    for (int k = 1; k <= 20; ++k) p.s->Signals.at(k, 1) = k * 10;
    p.s->PlotOnlyDots = true;
    // Sample 1 at x = round(2 * 100) + 30; y = row centre 260 - value.
    EXPECT_EQ(notDrawn(p.draw(), {"line 230 250 231 251", "line 1130 160 1131 161"}), Ops{});
    // With the mean subtracted the trace is centred on its row: 10 - mean 55 = -45.
    p.s->AverageOffsetOn = true;
    EXPECT_EQ(notDrawn(p.draw(), {"line 230 305 231 306"}), Ops{});
    // Bipolar: the electrode minus the next one, 10k - 3k = 7k.
    for (int k = 1; k <= 20; ++k) p.s->Signals.at(k, 2) = k * 3;
    p.s->AverageOffsetOn = false;
    p.s->BipolarMode = true;
    EXPECT_EQ(notDrawn(p.draw(), {"line 230 253 231 254", "line 1130 190 1131 191"}), Ops{});
}

TEST(TraceDisplay, MarksAtTheEdgesOfTheWindowAndTheirLabels) {
    Panel p;
    p.s->NrTraces = p.s->CurrentElectrode = 1;
    p.s->WindowA = 1000;
    p.s->RefTime = 100;
    AddMarkRecord(*p.s, 1000, SlowWave, 1);  // exactly LastSample
    AddMarkRecord(*p.s, 1001, SlowWave, 1);  // one later
    p.s->MarkOrigin = AutomaticOrigin;
    AddMarkRecord(*p.s, 500, Reference, 0);
    AddMarkRecord(*p.s, 300, Spike, 1);
    RemoveTime(*p.s, 1, Spike, 300, 300);  // deleted: never drawn
    const auto ops = p.draw();
    // Labels relative to the reference time; the reference with its circle.
    EXPECT_EQ(notDrawn(ops, {"line 1030 10 1030 510", "text 1035 10 900", "ellipse 526 6 534 14"}), Ops{});
    EXPECT_EQ(drawn(ops, {"text 1036 10 901", "line 330 10 330 510"}), Ops{});
    // Manual marks are 2 pixels wide, automatic ones 1.
    const auto mark = std::find(ops.begin(), ops.end(), "line 1030 10 1030 510");
    ASSERT_NE(mark, ops.end());
    EXPECT_EQ(*(mark - 1), "width 2");

    // Slow-wave intervals: labelled on the later mark only.
    p.s->ShowElgIntervals = true;
    p.s->MarkOrigin = ManualOrigin;
    p.s->CurrentElectrode = 1;  // the redraw's caption followed the mouse away from the traces
    AddMarkRecord(*p.s, 800, SlowWave, 1);
    const auto withIntervals = p.draw();
    EXPECT_EQ(notDrawn(withIntervals, {"text 989 491 200"}), Ops{});  // x - 20 - width, ybot - 5 - height
    EXPECT_EQ(std::tuple(p.s->MarkInterval[1], p.s->MarkInterval[6]), std::tuple(200, Missing));
}

TEST(TraceDisplay, IntervalsCountSlowWavesAmongThemselvesAndOtherMarksAmongAll) {
    Panel p;
    p.s->BeginTime = 0;
    p.s->WindowTime = 10000;
    auto add = [&](int e, int t, int type) {
        p.s->CurrentElectrode = e;
        AddMarkRecord(*p.s, t, static_cast<int16_t>(type), 1);
    };
    add(5, 3000, SlowWave);  // 1
    add(5, 1000, SlowWave);  // 2
    add(5, 2000, Spike);     // 3
    add(5, 2500, Spike);     // 4
    add(6, 4000, SlowWave);  // 5: alone on its electrode
    add(5, 2500, SlowWave);  // 6: same time as a spike
    CalcIntervals(*p.s);
    // 1: the previous slow wave is at 2500; 3: the previous of any type at 1000.
    auto intervals = [&] { return std::vector<int32_t>(p.s->MarkInterval.begin() + 1, p.s->MarkInterval.begin() + 7); };
    EXPECT_EQ(intervals(), (std::vector<int32_t>{500, Missing, 1000, 500, Missing, 1500}));
    p.s->Prefs.LimitIntervals = true;
    p.s->Prefs.MaxIntervalValue = 1000;
    CalcIntervals(*p.s);
    EXPECT_EQ(intervals(), (std::vector<int32_t>{500, Missing, Missing, 500, Missing, Missing}));
}

TEST(TraceDisplay, RowsFollowTheTraceOrderAndTheStartCell) {
    Panel p;
    ApplyMatrix(*p.s, ParseNewMatrix("-2\n6 3 2 1\n\n17 18 19\n20 -1 22\n", "m.txt"));
    for (auto [order, row, electrode] : {std::tuple{1, 1, 17}, {1, 3, 19}, {1, 4, Missing}, {2, 2, 20}}) {
        p.s->TraceOrder = order;
        EXPECT_EQ(ElectrodeOfRow(*p.s, row), electrode) << order << " " << row;
    }

    // Right at the last column beeps and changes nothing.
    p.s->StartCol = 3;
    MoveStartCell(p.ctx, NavKey::Right);
    EXPECT_EQ(std::tuple(p.host.beeps, p.s->StartCol), std::tuple(1, 3));
    // Page Down counts from the start cell's electrode each time.
    p.s->NrTraces = 24;
    p.s->StartCol = 1;
    for (int twice = 0; twice < 2; ++twice) {
        MoveStartCell(p.ctx, NavKey::PageDown);
        EXPECT_EQ(p.s->FirstChannel, 40);
    }
    // A start cell without an electrode gives channel 1.
    p.s->StartCol = 2;
    MoveStartCell(p.ctx, NavKey::Down);
    EXPECT_EQ(std::tuple(p.s->StartRow, p.s->FirstChannel), std::tuple(2, 1));
    MoveStartCell(p.ctx, NavKey::Right);
    EXPECT_EQ(p.s->FirstChannel, 22);
    // Near the top the last trace stays at 256.
    p.s->NrTraces = 250;
    MoveStartCell(p.ctx, NavKey::PageDown);
    EXPECT_EQ(p.s->FirstChannel, 6);

    // The free list: toggled in, out, and the oldest dropped when full.
    p.s->NrTraces = 2;
    for (int e : {5, 7, 9}) ToggleFreeTrace(*p.s, e);
    EXPECT_EQ(std::tuple(p.s->FreeTraceList[1], p.s->FreeTraceList[2]), std::tuple(7, 9));
    ToggleFreeTrace(*p.s, 7);
    EXPECT_EQ(std::tuple(p.s->FreeTraceCount, p.s->FreeTraceList[1], p.s->FreeTraceList[2]), std::tuple(1, 9, Missing));
    p.s->TraceOrder = 3;
    EXPECT_EQ(std::tuple(ElectrodeOfRow(*p.s, 1), ElectrodeOfRow(*p.s, 2)), std::tuple(9, Missing));
}

TEST(TraceDisplay, LiveCaptions) {
    Panel p;
    ApplyMatrix(*p.s, ParseNewMatrix("-2\n3 3 1 1\n\n17 18 19\n", "m.txt"));
    p.s->TraceOrder = 1;
    p.s->NrTraces = 3;  // spacing 166
    MouseMoved(*p.s, 1, 30 + 250, 10 + 166 + 83);
    EXPECT_EQ(std::tuple(p.s->CaptionA, p.s->CursorTime),
              std::tuple(std::string("(0-4000) 1000 msec     Elenr = 18"), 1000));
    MouseMoved(*p.s, 1, 30, 600);
    EXPECT_EQ(p.s->CaptionA, "(0-4000) 0 msec     Elenr = 0");
    // Panel B's own window decides its cursor time.
    std::tie(p.s->BeginTimeB, p.s->WindowB) = std::tuple(2000, 1000);
    MouseMoved(*p.s, 2, 30 + 500, 20);
    EXPECT_EQ(std::tuple(p.s->CursorTime, p.s->ActiveDisplay), std::tuple(2500, 2));
    // Nothing moves over panel A before a recording is open.
    p.s->FileLoaded = false;
    MouseMoved(*p.s, 1, 99, 99);
    EXPECT_EQ(p.s->ActiveDisplay, 2);
    // A map caption with an empty cell.
    p.s->DisplayTypeB = 0;
    p.s->CellWidth = p.s->CellHeight = 50;
    MouseMoved(*p.s, 2, 10 + 75, 10 + 10);
    EXPECT_EQ(p.s->CaptionB, "Slow Wave (2000-3000) 2x1 (Cell = 18) ( t =  )");
    p.s->DisplayTypeB = 2;
    p.s->CurrentMarkType[2] = Spike;
    MouseMoved(*p.s, 2, 10 + 75, 10 + 10);
    EXPECT_EQ(p.s->CaptionB, "Wave Map nr: 1 of 0    (Spikes) 2x1 (Cell = 18)");
}

TEST(TraceDisplay, TileLayouts) {
    Panel p;
    PanelLayout l = SetPanels(*p.s, 1001, 801);
    EXPECT_EQ(l.a.width, 1001);
    p.s->Tiled = true;
    p.s->TileRectangle = true;
    l = SetPanels(*p.s, 1001, 801);
    EXPECT_EQ(std::tuple(l.a.height, l.b.top, l.b.width), std::tuple(400, 400, 1001));
    p.s->TileRectangle = false;
    l = SetPanels(*p.s, 1001, 801);
    EXPECT_EQ(std::tuple(l.a.width, l.b.left, l.b.height), std::tuple(500, 500, 801));
    // The title bar: electrogram controls only over electrograms; paging
    // or wave buttons; the colour of the panel's mark type.
    p.s->DisplayTypeB = 2;
    p.s->CurrentMarkType[2] = Type3;
    const TitleBarState t = TitleBarOf(*p.s, 2);
    EXPECT_EQ(std::tuple(t.traceOrder, t.paging, t.waveNav, t.colour), std::tuple(false, false, true, 0x00FF00FFu));
    EXPECT_EQ(TitleBarColour(7), 0x000000FFu);
}

// The measured extremes of a slow wave drawn on its trace ("show amplitude
// + slope"): where the marker lines go at each sampling rate, the label in
// mV on a clear brush, and the pen left 1 pixel wide for what follows.
TEST(AmplitudeMarkers, PositionsLabelAndPenAtEachRate) {
    // One trace, row centre y 260, 1000 ms over 1000 pixels from x 30; the
    // maximum 2000 units at 250 ms, the minimum -1000 at 400 ms: 3000 units
    // are 4.02 mV at 747 units per mV.
    // The same pixels at every rate: the measures are sample rows.
    const Ops lines = {"line 270 240 290 240", "line 280 270 440 270", "line 280 240 280 270"};
    const std::string label = "text 260 255 4.02";
    for (const int rate : {1000, 2000, 500}) {
        SCOPED_TRACE(rate);
        Panel p;
        SetSamplingFrequency(*p.s, rate);
        p.s->NrTraces = 1;
        p.s->WindowA = 1000;
        p.s->AverageOffsetOn = false;
        p.s->Amplification = 0.01;
        p.s->CurrentElectrode = 1;
        AddMarkRecord(*p.s, 300, SlowWave, 1);  // a manual mark: drawn 2 pixels wide
        MeasureRecord& m = p.s->MarkMeasures[1];
        m = MeasureRecord{1, 2000, 250 * rate / 1000, -1000, 400 * rate / 1000, 0, 0.0, Missing};
        p.s->ShowAmplitudes = true;
        UpdateDisplayA(p.ctx);
        const Ops& ops = p.a.ops;
        EXPECT_EQ(notDrawn(ops, {lines[0], lines[1], lines[2], label}), Ops{});
        // The label with no box behind it, then the pen back to 1 pixel.
        EXPECT_EQ(p.a.clearTexts, std::vector<std::string>{"4.02"});
        const auto at = std::find(ops.begin(), ops.end(), label);
        ASSERT_NE(at, ops.end());
        EXPECT_EQ(std::tuple(*(at + 1), *(at - 4)), std::tuple(std::string("width 1"), "pen " + std::to_string(clBlue)));

        // Without times shown the lines stay and the label goes.
        p.s->ShowElgTimes = false;
        UpdateDisplayA(p.ctx);
        EXPECT_EQ(std::tuple(notDrawn(p.a.ops, {lines[0], lines[1], lines[2]}), p.a.clearTexts.size(), drawn(p.a.ops, {label})),
                  std::tuple(Ops{}, 0u, Ops{}));
    }
}

// Which points of a trace are drawn: per pixel column the first, the lowest,
// the highest and the last; and a repeated dot once.
TEST(TraceColumns, EachColumnKeepsItsFirstLowestHighestAndLast) {
    struct Case {
        std::vector<int32_t> xs;
        std::vector<int64_t> values;
        std::vector<size_t> kept;
    };
    const Case cases[] = {
        {{}, {}, {}},
        {{5}, {7}, {0}},
        // Columns of one and two points keep them all.
        {{5, 6, 6, 8}, {1, 9, -9, 4}, {0, 1, 2, 3}},
        // Three points: the middle one lies between the others.
        {{5, 5, 5}, {1, 2, 3}, {0, 2}},
        {{5, 5, 5}, {1, 3, 2}, {0, 1, 2}},
        // Lowest before highest, highest before lowest, both inside.
        {{3, 3, 3, 3, 3, 3}, {0, -5, 2, 8, 1, 4}, {0, 1, 3, 5}},
        {{3, 3, 3, 3, 3, 3}, {0, 8, 2, -5, 1, 4}, {0, 1, 3, 5}},
        // The first or last is an extreme; ties keep the first of them.
        {{3, 3, 3, 3, 4, 4, 4, 4, 4}, {9, 1, 1, 5, 2, 7, 7, 0, 0}, {0, 1, 3, 4, 5, 7, 8}},
        // A flat column keeps its ends; x running backwards.
        {{9, 9, 9, 9, 8, 8, 7}, {4, 4, 4, 4, 6, 1, 2}, {0, 3, 4, 5, 6}},
        // Values beyond 32 bits.
        {{1, 1, 1, 1}, {int64_t{1} << 40, -(int64_t{1} << 40), 0, 1}, {0, 1, 3}},
    };
    for (const Case& c : cases) {
        std::vector<size_t> kept;
        ForColumnPoints(c.xs.data(), c.values.data(), c.xs.size(), [&](size_t j) { kept.push_back(j); });
        EXPECT_EQ(kept, c.kept) << ::testing::PrintToString(c.values);
    }
}

// The dots of every row are the dots of every drawn point but the first,
// each repeat of the dot before left out (a dot drawn again after another
// one is kept), at 500, 1000 and 2000 Hz and with sample counts per
// pixel column that are not whole (and columns of one or two samples).
TEST(TraceColumns, DottedTracesDrawTheDotsOfEveryPointLeavingOutRepeats) {
    for (const test::DenseRecording::Case& c : test::DenseCases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.window << " ms from " << c.begin);
        test::DenseRecording d(c);
        d.s->PlotOnlyDots = true;
        test::RecordingCanvas canvas(870, 650);
        Ctx ctx{*d.s, d.host, RedrawPanels, &canvas, nullptr};
        UpdateDisplayA(ctx);
        std::set<std::pair<int, int>> drawn, expected;
        size_t lines = 0, points = 0, unrepeated = 0;
        for (const auto& op : canvas.ops) {
            int x1, y1, x2, y2;
            if (std::sscanf(op.c_str(), "line %d %d %d %d", &x1, &y1, &x2, &y2) == 4 && x2 == x1 + 1 && y2 == y1 + 1)
                drawn.insert({x1, y1}), ++lines;
        }
        const TraceGeometry g = ComputeGeometry(*d.s, c.begin, c.window);
        for (int k = 1; k <= c.traces; ++k) {
            const std::vector<Point> every = EveryPointOfTrace(*d.s, g, k, k);
            ASSERT_GT(every.size(), 1u);
            points += every.size() - 1;
            for (size_t j = 1; j < every.size(); ++j) {
                expected.insert({every[j].x, every[j].y});
                unrepeated += j == 1 || every[j].x != every[j - 1].x || every[j].y != every[j - 1].y;
            }
        }
        EXPECT_EQ(std::tuple(drawn, lines), std::tuple(expected, unrepeated));
        EXPECT_TRUE(c.window <= 5000 || lines < points) << lines << " of " << points;
    }
}

TEST(TraceColumns, ValuesRoundHalfToEvenAndHugeOnesStayOnTheirSide) {
    // One trace of ten samples, 100 pixels apart, no mean: sample i at
    // x = 30 + 100 (i + 1), y = 260 - value * amplification.
    test::ElectrogramSession p(60000, 10, 1, 1);
    p.s->AverageOffsetOn = false;
    p.s->PlotOnlyDots = true;
    p.s->Amplification = 0.5;
    const int32_t values[] = {1, 3, 5, -1, -3, 7, -7, 2000000000, -2000000000, 0};
    for (int i = 1; i <= 10; ++i) p.s->Signals.at(i, 1) = values[i - 1];
    UpdateDisplayA(p.ctx);
    EXPECT_EQ(notDrawn(p.a.ops, {"line 230 260 231 261", "line 330 258 331 259", "line 430 258 431 259",
                                       "line 530 260 531 261", "line 630 262 631 263", "line 730 256 731 257",
                                       "line 830 264 831 265", "line 930 -1000000 931 -999999",
                                       "line 1030 1000000 1031 1000001", "line 1130 260 1131 261"}),
              Ops{});
    // An infinite amplification: above the mean at the top, below it at the
    // bottom, the mean itself on the centre line.
    p.s->Amplification = INFINITY;
    UpdateDisplayA(p.ctx);
    EXPECT_EQ(notDrawn(p.a.ops, {"line 230 -1000000 231 -999999", "line 530 1000000 531 1000001",
                                       "line 1130 260 1131 261"}),
              Ops{});
}

}  // namespace
}  // namespace vk
