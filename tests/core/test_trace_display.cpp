// The electrogram panel through the recording canvas: geometry, axis, scale
// bar, traces, marks, intervals, rows and the start cell.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "electrograms/TraceDisplay.h"
#include "input/Matrix.h"
#include "marks/MarkStore.h"
#include "shell/Display.h"
#include "shell/ViewCommands.h"
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
    static bool has(const std::vector<std::string>& ops, const std::string& op) {
        return std::find(ops.begin(), ops.end(), op) != ops.end();
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
    EXPECT_FALSE(Panel::has(wide, "text 216 1 12000"));
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
    EXPECT_EQ(Panel::count(edge, "polyline"), 1);
    EXPECT_TRUE(Panel::has(edge, "text 4 131 256"));
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
    EXPECT_TRUE(Panel::has(p.draw(), "line 230 305 231 306"));
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
    EXPECT_TRUE(Panel::has(withIntervals, "text 989 491 200"));  // x - 20 - width, ybot - 5 - height
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

}  // namespace
}  // namespace vk
