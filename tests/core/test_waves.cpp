// Wave detection on small grids, the wave statistics and maps, and the waveform grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

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

struct Grid {
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    test::ScriptedHost host;
    Ctx ctx{*s, host, RedrawPanels};
    // Electrodes numbered row by row from 1 on a columns x rows grid.
    Grid(int columns, int rows) { ApplyMatrix(*s, RowByRowMatrix(columns, rows, 1, 2.5)); }
    void mark(int e, int t, int type = SlowWave) {
        s->CurrentElectrode = e;
        AddMarkRecord(*s, t, static_cast<int16_t>(type), 1);
    }
    int waves() {
        CalculateWaves(ctx, SlowWave);
        return s->WaveCount;
    }
    int32_t at(int e, int w) const { return WaveTimeAt(*s, e, w); }
};

TEST(Waves, TheClosestFreeMarkWinsAndTheFirstSlotOnTies) {
    struct Mark {
        int e, t;
    };
    struct At {
        int e, w, t;
    };
    struct Case {
        const char* what;
        int columns, rows;
        std::vector<Mark> marks;
        int waves;
        std::vector<At> expected;
        const char* matrix = nullptr;  // instead of the grid numbered row by row
    };
    const Case cases[] = {
        // The upper right position empty (1 . / 3 4): 4 is only diagonal to 1.
        {"diagonal", 2, 2, {{1, 100}, {4, 200}}, 1, {{4, 1, 200}}, "-2\n3 2 2 1\n\n1 -1\n3 4\n"},
        // A difference below the wave difference (500) joins; one equal to it splits.
        {"joined", 2, 1, {{1, 1000}, {2, 1400}}, 1, {{2, 1, 1400}}},
        {"split", 2, 1, {{1, 1000}, {2, 1500}}, 2, {{1, 1, 1000}, {2, 1, Missing}, {2, 2, 1500}}},
        // 0 ms on 1 and 3, 100 ms on 2 between them: 0 is not above the clamped bound 0.
        {"bound at zero", 3, 1, {{1, 0}, {3, 0}, {2, 100}}, 2, {{1, 1, 0}, {2, 1, 100}, {3, 1, Missing}, {3, 2, 0}}},
        // Wave 1 starts at the earliest mark (900 on electrode 2) and takes 1000.
        {"closest", 2, 1, {{1, 1000}, {2, 1100}, {2, 900}}, 2, {{2, 1, 900}, {1, 1, 1000}, {2, 2, 1100}}},
        // 1 2 3 in a row: the wave seeded at 600 on 1 reaches 2 at 1000; from
        // there the marks on 3 at 1100 and 900 are both 100 ms away: the
        // first slot wins, whichever it is.
        {"tie, later first", 3, 1, {{1, 600}, {2, 1000}, {3, 1100}, {3, 900}}, 2, {{2, 1, 1000}, {3, 1, 1100}, {3, 2, 900}}},
        {"tie, earlier first", 3, 1, {{1, 600}, {2, 1000}, {3, 900}, {3, 1100}}, 2, {{2, 1, 1000}, {3, 1, 900}, {3, 2, 1100}}},
        // 1 2 3 / 4 5 6 with equal seeds on 4 and 6: the first in scan order
        // (columns, then rows) seeds the wave, and 0 is not above the
        // clamped bound of the other.
        {"equal seeds", 3, 2, {{6, 0}, {4, 0}, {5, 450}}, 2, {{4, 1, 0}, {5, 1, 450}, {6, 1, Missing}, {6, 2, 0}}},
    };
    for (const Case& c : cases) {
        Grid g(c.columns, c.rows);
        if (c.matrix) ApplyMatrix(*g.s, ParseNewMatrix(c.matrix, "m.txt"));
        for (const Mark& m : c.marks) g.mark(m.e, m.t);
        EXPECT_EQ(g.waves(), c.waves) << c.what;
        EXPECT_FALSE(g.s->WavesOutdated);
        for (const At& x : c.expected) EXPECT_EQ(g.at(x.e, x.w), x.t) << c.what << ": electrode " << x.e << ", wave " << x.w;
    }
}

TEST(Waves, OnlyMarksOfTheTypeFromTheReferenceTimeOnTakePart) {
    Grid g(2, 1);
    g.s->RefTime = 1000;
    g.mark(1, 900);           // before the reference time
    g.mark(1, 1500, Spike);   // another type
    g.mark(2, 1200);
    g.mark(1, 1000);
    EXPECT_EQ(g.waves(), 1);
    EXPECT_EQ(std::tuple(g.at(1, 1), g.at(2, 1)), std::tuple(0, 200));  // relative to the reference time

    Grid none(2, 2);
    EXPECT_EQ(std::pair(none.waves(), none.host.beeps), std::pair(0, 1));
}

TEST(Waves, LimitsOf199MarksAnd199Waves) {
    Grid g(1, 1);
    for (int k = 0; k < 250; ++k) g.mark(1, k * 300);
    EXPECT_EQ(g.waves(), 198);  // 199 marks, one wave each; the calculation stops at the limit
    EXPECT_EQ(g.at(1, 198), 197 * 300);
    // Late marks of a long recording seed waves like early ones.
    Grid late(1, 1);
    late.mark(1, 65000);
    EXPECT_EQ(late.waves(), 1);
}

TEST(WaveStatistics, ExtentCentreAndTheLine) {
    Grid g(6, 4);
    // Twelve sites over columns 2..5 and rows 1..3 of a 2.5 mm grid.
    const WaveStatistics w = CalcWaveStats(*g.s, [](int c, int r) { return c >= 2 && c <= 5 && r <= 3 ? 100 : Missing; });
    EXPECT_EQ(std::tuple(w.sites, w.centreCol, w.centreRow), std::tuple(12, 3, 2));
    const auto texts = WaveStatsTexts(*g.s, w);
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 3),
              (std::vector<std::string>{"Area = 12 (75.0 mm2)", "X-size = 4 (10.0 mm)", "Y-size = 3 (7.5 mm)"}));
    // Holes inside the extent do not change it.
    const WaveStatistics holes = CalcWaveStats(*g.s, [](int c, int r) { return (c == 2 && r == 1) || (c == 6 && r == 4) ? 5 : Missing; });
    EXPECT_EQ(std::tuple(holes.sites, holes.xSize, holes.ySize, holes.centreCol), std::tuple(2, 5, 4, 4));
    const WaveStatistics one = CalcWaveStats(*g.s, [](int c, int r) { return c == 1 && r == 1 ? 0 : Missing; });
    EXPECT_EQ(WaveStatsTexts(*g.s, one)[0], "Area = 1 (6.2 mm2)");  // 6.25: halves go to the even neighbour
    const WaveStatistics empty = CalcWaveStats(*g.s, [](int, int) { return Missing; });
    EXPECT_EQ(std::tuple(empty.any, empty.xSize), std::tuple(false, 0));
}

TEST(WaveCommands, DifferenceAndNavigation) {
    Grid g(2, 1);
    g.host.inputs = {std::string("0"), std::string("-5"), std::string("300")};
    ChangeWaveDifference(g.ctx);
    EXPECT_EQ(std::tuple(g.s->WaveDifference[1], g.host.beeps, g.s->WavesOutdated), std::tuple(300, 2, true));
    EXPECT_EQ(g.host.questions[0],
              "Minimum differente in time for type 1 wave separation|Give new wave time difference for type1");
    g.host.inputs = {std::string("7")};
    GotoWaveNr(g.ctx);
    EXPECT_EQ(g.s->WaveNrA, 7);  // no upper bound
    g.s->WaveCount = 8;
    GotoNextWave(g.ctx);
    GotoNextWave(g.ctx);
    EXPECT_EQ(g.s->WaveNrA, 8);
    SetWaveMode(g.ctx, 1);
    EXPECT_EQ(WaveModeCaption(*g.s), "Wave mode (1)");
}

TEST(WaveMaps, MarkNumbersLocalTimesAndTheStatisticsLine) {
    Grid g(3, 1);
    test::RecordingCanvas canvas(600, 300);
    g.ctx.canvasA = &canvas;
    g.s->SignalsLoaded = g.s->FileLoaded = true;
    g.s->DisplayTypeA = 2;
    auto cells = [&] {
        UpdateDisplayA(g.ctx);
        return std::vector<int32_t>{g.s->MapBuf.at(1, 1).Time, g.s->MapBuf.at(2, 1).Time, g.s->MapBuf.at(3, 1).Time};
    };
    using Times = std::vector<int32_t>;
    auto numbered = [&](int e, int t, int nr) { test::addMark(*g.s, e, t, SlowWave, nr); };
    // The earlier mark of a number sets the cell.
    for (auto [e, t, nr] : {std::tuple{1, 1000, 1}, {2, 1200, 1}, {1, 3000, 2}, {3, 9000, 5}, {2, 1100, 1}}) numbered(e, t, nr);
    // Mode 2: wave n is mark number n; the largest number is the count.
    g.s->WaveMode = 2;
    EXPECT_EQ(cells(), (Times{1000, 1100, Missing}));
    EXPECT_EQ(std::tuple(g.s->WaveCount, g.s->CaptionA.substr(0, 19)), std::tuple(5, "Wave Map nr: 1 of 5"));
    g.s->WaveNrA = 3;  // no marks with number 3: an empty map
    EXPECT_EQ(cells(), (Times{Missing, Missing, Missing}));
    // Marks before the reference time are left out; the others keep their
    // absolute times.
    g.s->WaveNrA = 1;
    g.s->RefTime = 1050;
    EXPECT_EQ(cells(), (Times{Missing, 1100, Missing}));
    g.s->RefTime = 0;

    // Mode 1 with local times: the earliest electrode of the wave shows 0.
    g.s->WaveMode = 1;
    g.s->WaveNrA = 1;
    g.s->PlotLocalTimes = true;
    g.s->ShowWaveStatistics = true;
    // The statistics line is written above the map, which starts 20 pixels down.
    EXPECT_EQ(std::tuple(cells(), g.s->WavesOutdated, g.s->MapTop, g.s->WaveCentreCol), std::tuple(Times{0, 100, Missing}, false, 20, 1));
    EXPECT_NE(std::find_if(canvas.ops.begin(), canvas.ops.end(),
                           [](const std::string& op) { return op.rfind("text 4 4 Area = 2 (12.5 mm2)", 0) == 0; }),
              canvas.ops.end());
    // A wave number past the last wave: an empty map and no line.
    g.s->WaveNrA = 250;
    EXPECT_EQ(cells(), (Times{Missing, Missing, Missing}));
    EXPECT_EQ(g.s->WaveCentreCol, 1);  // an empty wave keeps the previous centre

    // Mode 2 as count and electrode maps: cells of 196 pixels, the digits
    // centred at (105, 91) and (301, 91) show the kind's own value.
    g.s->WaveMode = 2;
    g.s->WaveNrA = 1;
    g.s->ShowWaveStatistics = false;
    numbered(1, 1500, 1);  // later than the cell's time, still counted
    auto digits = [&](int kind) {
        g.s->MapKindA = kind;
        UpdateDisplayA(g.ctx);
        std::vector<std::string> texts;
        for (const auto& op : canvas.ops)
            if (op.rfind("text ", 0) == 0) texts.push_back(op);
        return texts;
    };
    EXPECT_EQ(digits(CountMapKind), (std::vector<std::string>{"text 105 91 2", "text 301 91 2"}));
    EXPECT_EQ(digits(ElectrodeMapKind), (std::vector<std::string>{"text 105 91 1", "text 301 91 2"}));
}

// The waveform grid: layout, grid and labels, the stretch of each cell with
// and without mark alignment, the settings dialog's rules, and automatic
// positioning of the electrogram panel on a new wave.
using test::pointsOf;

using test::notDrawn;
using test::Ops;

// An 8 x 8 array (electrode 1 + (c-1) + 8 (r-1) at column c, row r) with
// `rows` samples of electrode e worth 100 x sample + e, drawn on a 650 x 450
// paint box; past the recording the buffer holds values that would show.
struct WaveGrid : Grid {
    test::RecordingCanvas a{650, 450};

    explicit WaveGrid(int rows = 6000, int columns = 8) : Grid(columns, 8) {
        ctx.canvasA = &a;
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
