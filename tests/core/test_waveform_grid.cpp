// The waveform grid: layout, grid and labels, the stretch of each cell with
// and without mark alignment, the settings dialog's rules, and automatic
// positioning of the electrogram panel on a new wave.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "input/Matrix.h"
#include "marks/MarkStore.h"
#include "session/Errors.h"
#include "shell/Display.h"
#include "shell/ViewCommands.h"
#include "support/GridSession.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"
#include "waves/WaveDetection.h"
#include "waves/WaveformGrid.h"

namespace vk {
namespace {

using test::pointsOf;

using test::notDrawn;
using test::Ops;

// An 8 x 8 array (electrode 1 + (c-1) + 8 (r-1) at column c, row r) with
// `rows` samples of electrode e worth 100 x sample + e, drawn on a 650 x 450
// paint box; past the recording the buffer holds values that would show.
struct WaveGrid {
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    test::ScriptedHost host;
    test::RecordingCanvas a{650, 450};
    Ctx ctx{*s, host, RedrawPanels, &a, nullptr};

    explicit WaveGrid(int rows = 6000, int columns = 8) {
        ApplyMatrix(*s, RowByRowMatrix(columns, 8, 1, 1.0));
        s->SignalsLoaded = s->FileLoaded = true;
        s->SignalLength = s->NrOfFrames = rows;
        for (int i = 1; i <= rows + 1; ++i)
            for (int e = 1; e <= columns * 8; ++e) s->Signals.at(i, e) = i <= rows ? 100 * i + e : 9000000;
        s->AverageOffsetOn = false;
        s->Amplification = 0.01;
        s->DisplayTypeA = 1;
        s->ElgViewMode = 2;
        s->WaveGrid = s->WaveGridLabel = false;
    }
    void view(int32_t begin, int32_t window) {
        s->BeginTimeA = begin;
        s->WindowA = window;
    }
    void draw() { RedrawPanels(ctx, 1); }
    void mark(int e, int t) {
        s->CurrentElectrode = e;
        AddMarkRecord(*s, t, SlowWave, 0);
    }
};

TEST(WaveformGrid, LayoutFillsThePaintBoxLessItsMarginAndCentresTheGrid) {
    struct Case {
        int columns, width, height, window;
        int cw, ch, left;
        double xScale;
    };
    const Case cases[] = {
        {8, 650, 450, 4000, 75, 50, 25, 75.0 / 4000},
        {16, 1600, 950, 60001, 96, 112, 32, 96.0 / 60001},
        {8, 653, 457, 100, 75, 50, 26, 0.75},  // the spare pixels are shared left and right
        {8, 40, 40, 100, 0, 0, 20, 0.0},       // a box smaller than the margin gets empty cells
    };
    for (const Case& c : cases) {
        WaveGrid g(10, c.columns);
        g.s->WindowTime = c.window;
        LayoutWaveformGrid(*g.s, c.width, c.height);
        EXPECT_EQ(std::tuple(g.s->WaveCellWidth, g.s->WaveCellHeight, g.s->PlotLeft, g.s->PlotTop, g.s->WaveSignalLength),
                  std::tuple(c.cw, c.ch, c.left, 20, c.window)) << c.width;
        EXPECT_DOUBLE_EQ(g.s->WaveXScale, c.xScale);
    }
}

TEST(WaveformGrid, GridLinesAndLabelsFollowTheirSwitches) {
    WaveGrid g;
    g.view(0, 4000);
    g.s->WaveGrid = g.s->WaveGridLabel = true;
    g.draw();
    // The grid; column numbers above and below it, row numbers left and right of it.
    EXPECT_EQ(notDrawn(g.a.ops, {"line 25 20 25 420", "line 625 20 625 420", "line 25 20 625 20", "line 25 420 625 420",
                                 "line 100 20 100 420", "line 25 70 625 70", "text 62 5 1", "text 62 428 1", "text 587 5 8",
                                 "text 587 428 8", "text 10 45 1", "text 633 45 1", "text 10 395 8", "text 633 395 8"}),
              Ops{});

    g.s->WaveGrid = g.s->WaveGridLabel = false;
    g.s->WavePlotElgNr = true;
    g.draw();
    EXPECT_EQ(test::drawn(g.a.ops, {"line 25 20 25 420", "text 62 5 1"}), Ops{});
    // The electrode number sits in the cell's top left corner.
    EXPECT_EQ(notDrawn(g.a.ops, {"text 26 21 1", "text 551 371 64"}), Ops{});
}

TEST(WaveformGrid, EachCellShowsItsElectrodeFromTheBeginTimeInsideItsCell) {
    WaveGrid g;
    g.view(10, 4);  // samples 11..14 over a 75-pixel cell
    g.draw();
    ASSERT_EQ(g.a.polylines.size(), 64u);
    // Electrode 1 at (1, 1): x0 = 25, middle line y = 45; value 100 s + 1 at amplification 0.01.
    EXPECT_EQ(pointsOf(g.a.polylines[0]), "25,34 44,34 63,33 81,32 100,31");
    // Electrode 10 at (2, 2) is the tenth cell drawn (column by column).
    EXPECT_EQ(pointsOf(g.a.polylines[9]), "100,84 119,84 138,83 156,82 175,81");

    // With the mean taken off, the ramp runs through the middle line.
    g.s->AverageOffsetOn = true;
    g.draw();
    EXPECT_EQ(pointsOf(g.a.polylines[0]), "25,47 44,47 63,45 81,45 100,43");  // halves to even

    // Dots: a short diagonal at each sample, no polyline.
    g.s->AverageOffsetOn = false;
    g.s->PlotOnlyDots = true;
    g.draw();
    EXPECT_EQ(std::tuple(g.a.polylines.size(), notDrawn(g.a.ops, {"line 44 34 45 35", "line 100 31 101 32"})),
              std::tuple(0u, Ops{}));
}

TEST(WaveformGrid, TheStretchStopsAtTheEndOfTheRecording) {
    WaveGrid g(12);
    g.view(10, 4);
    g.draw();
    // Samples 11 and 12 only: row 13 holds a value an earlier recording left.
    EXPECT_EQ(pointsOf(g.a.polylines[0]), "25,34 44,34 63,33");
    g.view(12, 4);
    g.draw();
    EXPECT_TRUE(g.a.polylines.empty());
}

TEST(WaveformGrid, MarkAlignmentCentresEachCellOnItsTimeOrLeavesItEmpty) {
    WaveGrid g;
    g.s->WaveMarkAlign = true;
    g.s->BeginTime = 1000;
    g.s->WindowTime = 4000;
    g.s->WaveSignalLength = 4000;
    struct Case {
        int32_t time, refTime, start;
    };
    const Case cases[] = {
        {3500, 0, 1500},       // centred
        {1500, 0, 1},          // near the start: from sample 1 on, not before
        {4900, 0, 2000},       // near the end: the stretch ends at the last sample
        {5000, 0, Missing},    // the window's end is outside it
        {1000, 0, Missing},    // and so is its begin
        {Missing, 0, Missing}, // no time in the map window
        {3000, 500, 1500},     // the map's times are relative to the reference
    };
    for (const Case& c : cases) {
        g.s->RefTime = c.refTime;
        EXPECT_EQ(WaveSegmentOf(*g.s, c.time), c.start) << c.time;
    }
    g.s->RefTime = 0;
    g.s->WaveMarkAlign = false;
    EXPECT_EQ(WaveSegmentOf(*g.s, Missing), 1000);

    // A recording shorter than the stretch starts it at its beginning.
    WaveGrid shortOne(3000);
    shortOne.s->WaveMarkAlign = true;
    shortOne.s->BeginTime = 0;
    shortOne.s->WindowTime = shortOne.s->WaveSignalLength = 4000;
    EXPECT_EQ(WaveSegmentOf(*shortOne.s, 2900), 0);

    // Drawn: only electrodes with a time in the panel's window get a trace.
    g.view(1000, 4000);
    g.mark(1, 3500);
    g.mark(2, 6000);  // after the window
    g.mark(9, 1500);
    g.s->WaveMarkAlign = true;
    g.draw();
    ASSERT_EQ(g.a.polylines.size(), 2u);
    const auto& e1 = g.a.polylines[0];
    ASSERT_EQ(e1.size(), 4001u);
    // Sample 1501 first, the marked sample 3500 in the middle of the cell (37.5 to even).
    EXPECT_EQ(pointsOf({e1[0], e1[2000], e1[4000]}), "25,-1456 63,-3455 100,-5455");
    const auto& e9 = g.a.polylines[1];  // electrode 9 at (1, 2), from sample 2
    EXPECT_EQ(std::pair(e9[0].y, e9.back().y), std::pair(95 - 2, 95 - 4001));
}

TEST(WaveformGrid, SettingsTakeTheDialogsValuesOrNothing) {
    WaveGrid g;
    Ctx undrawn{*g.s, g.host, nullptr};
    WaveFormSettings w = WaveFormSettingsOf(*g.s);
    EXPECT_EQ(w.signalLength, "1000");
    w.signalLength = " 250 ";
    w.grid = false;
    w.markAlign = w.plotElgNr = true;
    EXPECT_TRUE(ApplyWaveFormSettings(undrawn, w));
    EXPECT_EQ(std::tuple(g.s->WaveSignalLength, g.s->WaveGrid, g.s->WaveMarkAlign, g.s->WavePlotElgNr, g.s->WaveGridLabel),
              std::tuple(250, false, true, true, false));

    w.signalLength = "0";
    w.grid = true;
    EXPECT_FALSE(ApplyWaveFormSettings(g.ctx, w));
    EXPECT_EQ(g.host.beeps, 1);
    w.signalLength = "12a";
    EXPECT_THROW(ApplyWaveFormSettings(g.ctx, w), ConversionError);
    EXPECT_EQ(std::tuple(g.s->WaveSignalLength, g.s->WaveGrid), std::tuple(250, false));
    // The length typed becomes panel A's window, which the grid's redraw
    // lays out and draws: a 4-ms stretch from 10 ms is samples 11..14 at
    // 1000 Hz and 21..28 at 2000 Hz, the last one on the cell's right edge.
    for (auto [rate, last] : {std::pair{1000, "100,31"}, {2000, "100,17"}, {500, "100,38"}}) {
        SetSamplingFrequency(*g.s, rate);
        g.view(10, 3000);
        w = WaveFormSettingsOf(*g.s);
        w.signalLength = "4";
        w.markAlign = false;
        EXPECT_TRUE(ApplyWaveFormSettings(g.ctx, w));
        EXPECT_EQ(std::tuple(g.s->WaveSignalLength, g.s->WindowA, g.s->WindowAll), std::tuple(4, 4, 4));
        const std::string cell = pointsOf(g.a.polylines.at(0));
        EXPECT_EQ(cell.substr(cell.rfind(' ') + 1), last) << rate;
        EXPECT_EQ(g.a.polylines[0].size(), size_t{1} + 4 * rate / 1000) << rate;
    }
}

// A 16 x 8 array with a wave filling columns 8..12 of rows 2..4.
struct Positioning {
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    Positioning() {
        ApplyMatrix(*s, RowByRowMatrix(16, 8, 1, 1.0));
        for (int c = 1; c <= 16; ++c)
            for (int r = 1; r <= 8; ++r) s->MapBuf.at(c, r).Time = c >= 8 && c <= 12 && r >= 2 && r <= 4 ? 100 : Missing;
        s->Tiled = true;
        s->NrTraces = 24;
        s->FirstChannel = 5;
    }
};

TEST(AutoPositioning, TheWaveCentreLessHalfTheTracesBecomesTheFirstTrace) {
    struct Case {
        int order;
        bool tiled;
        int32_t first, col, row;
    };
    const Case cases[] = {
        {1, true, 33, 1, 3},    // horizontal: column 10 - 12, raised to 1; row 3
        {2, true, 10, 10, 1},   // vertical: row 3 - 12, raised to 1
        {0, true, 42, 10, 3},   // sequential: the centre itself
        {1, false, 5, 1, 1},    // one panel shown: the traces stay
    };
    for (const Case& c : cases) {
        Positioning p;
        p.s->TraceOrder = c.order;
        p.s->Tiled = c.tiled;
        AutoPositionElectrograms(*p.s);
        EXPECT_EQ(std::tuple(p.s->WaveCentreCol, p.s->WaveCentreRow, p.s->FirstChannel, p.s->StartCol, p.s->StartRow),
                  std::tuple(10, 3, c.first, c.col, c.row)) << c.order << c.tiled;
    }
    // No electrode at the position: nothing moves.
    Positioning hole;
    hole.s->TraceOrder = 0;
    hole.s->ElectrodeCol[42] = hole.s->ElectrodeRow[42] = -1;
    AutoPositionElectrograms(*hole.s);
    EXPECT_EQ(hole.s->FirstChannel, 5);
}

TEST(AutoPositioning, ANewWaveOnPanelBMovesTheTracesOfPanelAOnce) {
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    test::ScriptedHost host;
    test::RecordingCanvas a{1000, 525}, b{1000, 525};
    Ctx ctx{*s, host, RedrawPanels, &a, &b};
    ApplyMatrix(*s, RowByRowMatrix(16, 8, 1, 1.0));
    s->SignalsLoaded = true;
    s->SignalLength = s->NrOfFrames = 2000;
    // One wave over electrodes 42 and 43 (column 10 and 11, row 3).
    test::addMark(*s, 42, 1000);
    test::addMark(*s, 43, 1010);
    s->Tiled = true;
    s->DisplayTypeB = 2;
    s->WaveMode = 1;
    s->AutoPositioning = true;
    s->TraceOrder = 0;
    s->FirstChannel = 5;
    RedrawPanels(ctx, 0);
    // Panel A was drawn again from there, after panel B.
    EXPECT_EQ(std::tuple(s->FirstChannel, s->ActiveDisplay), std::tuple(42, 1));
    EXPECT_EQ(notDrawn(a.ops, {"text 4 " + std::to_string(s->TraceSpacing / 2 + 10 - 4) + " 42"}), Ops{});
    // Redrawing the same wave leaves the traces where the user put them.
    s->FirstChannel = 5;
    RedrawPanels(ctx, 0);
    EXPECT_EQ(s->FirstChannel, 5);
}

}  // namespace
}  // namespace vk
