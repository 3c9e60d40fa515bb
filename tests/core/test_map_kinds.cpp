// The map kinds other than the time map, the conduction velocities with
// their arrows, and the measures of the slow waves that the maps show.
#include <gtest/gtest.h>

#include <cmath>

#include "maps/MapBuffer.h"
#include "maps/MapDraw.h"
#include "maps/MapStatistics.h"
#include "maps/Velocity.h"
#include "marks/MarkStore.h"
#include "marks/Measures.h"
#include "support/GridSession.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"

namespace vk {
namespace {

using test::addMark;
using test::gridSession;

void load(SessionState& s, int kind, int type = SlowWave, int begin = 0, int window = 4000) {
    s.MapKind = kind;
    s.MapBegin = begin;
    s.MapWindow = window;
    LoadMap(s, type);
}

TEST(MapKinds, CountElectrodeAndMarkNumber) {
    auto s = gridSession(4, 2);
    for (int t : {1000, 1500, 2500}) addMark(*s, 1, t);
    s->MarkTable[2].Visible = 0;  // hidden marks are counted
    addMark(*s, 1, 1200, Spike);
    addMark(*s, 1, 1300, Spike);
    addMark(*s, 1, 4100);         // past the window
    addMark(*s, 2, 600, SlowWave, 0);
    addMark(*s, 2, 900, SlowWave, 7);
    addMark(*s, 3, 800, SlowWave, 4);
    s->RefTime = 200;             // the count tests t - RefTime: 4100 - 200 is inside
    load(*s, CountMapKind);
    EXPECT_EQ(std::tuple(s->MapBuf.at(1, 1).Count, s->MapBuf.at(1, 1).Time, s->MapBuf.at(4, 2).Count), std::tuple(4, 0, 0));
    load(*s, CountMapKind, 0);  // no mark type: every mark
    EXPECT_EQ(s->MapBuf.at(1, 1).Count, 6);
    load(*s, CountMapKind);     // the same again
    EXPECT_EQ(s->MapBuf.at(1, 1).Count, 4);

    load(*s, ElectrodeMapKind);
    s->ElectrodeCol[5] = s->ElectrodeRow[5] = -1;
    load(*s, ElectrodeMapKind);
    // (1, 2): no electrode placed there.
    EXPECT_EQ(std::tuple(s->MapBuf.at(2, 1).Electrode, s->MapBuf.at(3, 2).Electrode, s->MapBuf.at(1, 2).Electrode),
              std::tuple(2, 7, Missing));

    s->RefTime = 0;
    load(*s, MarkNrMapKind);
    // The earliest mark of electrode 2 has no number.
    EXPECT_EQ(std::tuple(s->MapBuf.at(2, 1).MarkNr, s->MapBuf.at(2, 1).Time, s->MapBuf.at(3, 1).MarkNr), std::tuple(Missing, 600, 4));
}

TEST(MapKinds, IntervalToTheNextMark) {
    auto s = gridSession(3, 1);
    s->BeginTime = 0;
    s->WindowTime = 10000;
    addMark(*s, 1, 4000);
    addMark(*s, 1, 1000);
    addMark(*s, 1, 1700, Spike);  // a slow wave counts only the next slow wave
    addMark(*s, 2, 500, Spike);
    addMark(*s, 2, 800);          // a spike counts the next mark of any type
    addMark(*s, 3, 900);          // nothing later
    load(*s, IntervalMapKind);
    // The slow wave at 800 has no later mark.
    EXPECT_EQ(std::tuple(s->MarkMeasures[1].Interval, s->MarkMeasures[2].Interval, s->MarkMeasures[3].Interval,
                         s->MapBuf.at(1, 1).Interval, s->MapBuf.at(2, 1).Interval, s->MapBuf.at(3, 1).Interval),
              std::tuple(Missing, 3000, 2300, 3000, Missing, Missing));
    load(*s, IntervalMapKind, Spike);
    EXPECT_EQ(s->MapBuf.at(2, 1).Interval, 300);
    // With a reference time the cell's time is relative: so is the mark's.
    s->RefTime = 100;
    load(*s, IntervalMapKind);
    EXPECT_EQ(std::tuple(s->MapBuf.at(1, 1).Time, s->MapBuf.at(1, 1).Interval), std::tuple(900, 3000));
    // Marks outside the electrogram window get no interval.
    s->BeginTime = 1500;
    load(*s, IntervalMapKind);
    EXPECT_EQ(s->MapBuf.at(1, 1).Interval, Missing);
}

TEST(MapKinds, AmplitudeAndSlopeOfTheLastMeasuredSlowWave) {
    auto s = gridSession(2, 1);
    s->SignalLength = s->NrOfFrames = 10000;
    s->Signals.at(2000, 1) = 1000;  // 1.34 mV above the rest: no whole number of millivolts
    s->Signals.at(3100, 1) = -747;
    addMark(*s, 1, 3000);
    addMark(*s, 1, 2000);           // earlier in time, later in the table
    addMark(*s, 2, 5000);           // outside 0..4000
    addMark(*s, 2, 1000, Spike);
    MeasureAllMarks(*s);
    load(*s, AmplitudeMapKind);
    EXPECT_DOUBLE_EQ(s->MapBuf.at(1, 1).Amplitude, 1000.0 / 747);  // 1000 - 0 over 747: the mark at 2000
    EXPECT_EQ(s->MapBuf.at(2, 1).Amplitude, Missing);
    load(*s, TimeMapKind);
    EXPECT_EQ(s->MapBuf.at(1, 1).Time, 2000);
    load(*s, SlopeMapKind);
    EXPECT_DOUBLE_EQ(s->MapBuf.at(1, 1).Slope, s->MarkMeasures[2].Slope);
    load(*s, AmplitudeMapKind, Spike);
    EXPECT_EQ(s->MapBuf.at(1, 1).Amplitude, Missing);
}

// A 4 x 4 matrix, 2 mm apart, on cells of 40 pixels from (10, 10), with a
// time per cell.
std::unique_ptr<SessionState> timed(int (*time)(int column, int row)) {
    auto s = gridSession(4, 4);
    s->ElectrodeDistance = 2.0;
    s->CellWidth = s->CellHeight = 40;
    for (int c = 1; c <= 4; ++c)
        for (int r = 1; r <= 4; ++r) s->MapBuf.at(c, r).Time = time(c, r);
    return s;
}

TEST(Velocity, PlaneWaveToTheRight) {
    auto s = timed([](int c, int) { return 20 * c; });
    CalcVelocities(*s);
    const VelocityRec& v = s->VelocityBuf.at(1, 1);
    EXPECT_EQ(std::vector({v.X1, v.Y1, v.X2, v.Y2, v.HeadX1, v.HeadY1, v.HeadX2, v.HeadY2}),
              (std::vector{49, 50, 549, 50, 544, 55, 544, 45}));
    // No block starts in the last column.
    EXPECT_EQ(std::tuple(v.Speed, v.Angle, s->VelocityBuf.at(3, 3).Speed, s->VelocityBuf.at(4, 1).Speed),
              std::tuple(10.0, 0.0, 10.0, double{Missing}));

    // The velocity map shows the speeds of this run.
    load(*s, VelocityMapKind);
    EXPECT_EQ(std::tuple(s->MapBuf.at(2, 3).Velocity, s->MapBuf.at(4, 4).Velocity), std::tuple(10.0, double{Missing}));
}

TEST(Velocity, BlocksThatGiveNoArrow) {
    auto s = timed([](int c, int r) { return c == 2 && r == 2 ? Missing : c == 4 ? 20 * c : 100; });
    CalcVelocities(*s);
    // A corner without a time, equal corners; earlier to the right: the arrow points left.
    EXPECT_EQ(std::tuple(s->VelocityBuf.at(1, 1).Speed, s->VelocityBuf.at(1, 3).Speed, s->VelocityBuf.at(3, 3).Speed,
                         s->VelocityBuf.at(3, 3).Angle),
              std::tuple(double{Missing}, double{Missing}, 10.0, 180.0));
}

TEST(Velocity, StepTwoAndTheSpeedLimit) {
    auto s = timed([](int c, int) { return 8 * c; });  // 4 ms per mm: 25 cm/s
    s->Prefs.VelocityStep = 2;
    CalcVelocities(*s);
    EXPECT_EQ(std::tuple(s->VelocityBuf.at(2, 2).Speed, s->VelocityBuf.at(2, 2).X1, s->VelocityBuf.at(1, 1).Y1,
                         s->VelocityBuf.at(3, 1).Speed, s->VelocityBuf.at(1, 3).Speed),
              std::tuple(25.0, 10 + 40 + 39 + 20, 10 + 40 + 20, double{Missing}, double{Missing}));
    s->Prefs.VelocityStep = 1;
    s->Prefs.LimitVelocity = true;
    s->Prefs.MaxVelocity = 20;
    CalcVelocities(*s);
    EXPECT_EQ(s->VelocityBuf.at(1, 1).Speed, Missing);
    s->Prefs.MaxVelocity = 26;
    CalcVelocities(*s);
    EXPECT_DOUBLE_EQ(s->VelocityBuf.at(1, 1).Speed, 25.0);
}

TEST(Velocity, ArrowStartsWithOddCellsAndStepTwo) {
    // Half of the remaining block rounds halves to the even neighbour:
    // 20.5 gives 20 across, 21.5 gives 22 down.
    auto s = timed([](int c, int r) { return 8 * c + 4 * r; });
    s->Prefs.VelocityStep = 2;
    s->CellWidth = 41;
    s->CellHeight = 43;
    CalcVelocities(*s);
    for (auto [column, row, x, y] : {std::tuple{1, 1, 10 + 40 + 20, 10 + 43 + 22}, {2, 2, 10 + 41 + 40 + 20, 10 + 43 + 43 + 22},
                                     {1, 2, 70, 10 + 43 + 43 + 22}}) {
        const VelocityRec& v = s->VelocityBuf.at(column, row);
        EXPECT_EQ(std::pair(v.X1, v.Y1), std::pair(x, y)) << column << "," << row;
    }
}

// The lines DrawVelocities puts on a panel for a 2 x 2 matrix 2 mm apart,
// its one block on cells of 40 pixels from (10, 10): it starts at (49, 50).
std::vector<std::string> arrowLines(int t11, int t21, int t12, int t22, int arrowScale) {
    auto s = gridSession(2, 2);
    s->ElectrodeDistance = 2.0;
    s->CellWidth = s->CellHeight = 40;
    s->Prefs.ArrowScale = arrowScale;
    std::tie(s->MapBuf.at(1, 1).Time, s->MapBuf.at(2, 1).Time, s->MapBuf.at(1, 2).Time, s->MapBuf.at(2, 2).Time) =
        std::tuple(t11, t21, t12, t22);
    test::RecordingCanvas canvas;
    test::ScriptedHost host;
    Ctx ctx{*s, host, nullptr, &canvas};
    DrawVelocities(ctx);
    std::vector<std::string> lines;
    for (const std::string& op : canvas.ops)
        if (op.rfind("line", 0) == 0) lines.push_back(op);
    EXPECT_EQ(canvas.ops.front(), "pen 0");
    return lines;
}

TEST(Velocity, ArrowsAreAShaftAndTwoHeadLines) {
    // 10 ms per mm to the right: 0.1 mm/ms, 10 pixels at ArrowScale 100.
    EXPECT_EQ(arrowLines(0, 20, 0, 20, 100),
              (std::vector<std::string>{"line 49 50 59 50", "line 59 50 54 55", "line 59 50 54 45"}));
    // Down and to the right at 45 degrees: the heads at 0.5 radian from the reversed shaft.
    EXPECT_EQ(arrowLines(0, 20, 20, 40, 200),
              (std::vector<std::string>{"line 49 50 59 60", "line 59 60 54 59", "line 59 60 58 55"}));
    // Upward (later at the top).
    EXPECT_EQ(arrowLines(20, 20, 0, 0, 100),
              (std::vector<std::string>{"line 49 50 49 40", "line 49 40 54 45", "line 49 40 44 45"}));
    // An arrow that rounds to no length is a point without a head.
    EXPECT_EQ(arrowLines(0, 20, 0, 20, 1), (std::vector<std::string>{"line 49 50 49 50"}));
    EXPECT_EQ(arrowLines(0, 0, 0, 0, 100), std::vector<std::string>{});
}

TEST(Velocity, NoElectrodeDistanceNoVelocities) {
    auto s = timed([](int c, int) { return 20 * c; });
    CalcVelocities(*s);  // a run over a matrix with a distance
    s->ElectrodeDistance = 0;
    // The velocity map is empty, whatever the earlier run left.
    load(*s, VelocityMapKind);
    EXPECT_EQ(s->MapBuf.at(2, 3).Velocity, Missing);
    test::RecordingCanvas canvas;
    test::ScriptedHost host;
    Ctx ctx{*s, host, nullptr, &canvas};
    s->PlotArrows = true;
    s->Memo1 = {"opened"};
    DrawVelocities(ctx);
    DrawVelocities(ctx);  // a redraw says it no second time
    EXPECT_EQ(s->Memo1, (std::vector<std::string>{"opened", "No velocities: the matrix gives an electrode distance of 0"}));
    EXPECT_EQ(canvas.ops, (std::vector<std::string>{"pen 0", "pen 0"}));  // no line in either draw
    for (int c = 1; c <= 4; ++c)
        for (int r = 1; r <= 4; ++r) EXPECT_EQ(s->VelocityBuf.at(c, r).Speed, Missing) << c << "," << r;
    // The statistics have no velocities to summarise (no "-nan").
    s->MapKind = TimeMapKind;
    CalcMapStats(*s);
    EXPECT_EQ(std::tuple(s->StatsMemo.back(), NoVelocitiesReason(*s)),
              std::tuple(std::string("Velocities"), std::string("the matrix gives an electrode distance of 0")));
    s->ElectrodeDistance = std::nan("");
    CalcVelocities(*s);
    EXPECT_EQ(std::pair(s->VelocityBuf.at(1, 1).Speed, NoVelocitiesReason(*s).empty()), std::pair(double{Missing}, false));
    s->ElectrodeDistance = 0.5;
    EXPECT_EQ(NoVelocitiesReason(*s), "");
}

TEST(Velocity, ArrowAngleAndHeadInEveryDirection) {
    struct Case {
        Point tip;
        double angle;
        Point p1, p2;
    } cases[] = {
        {{10, 0}, 0, {5, 5}, {5, -5}},       {{-10, 0}, 180, {-5, 5}, {-5, -5}},
        {{0, -10}, 90, {5, -5}, {-5, -5}},   {{0, 10}, 270, {-5, 5}, {5, 5}},
        {{10, -10}, 45, {9, -5}, {5, -9}},   {{-10, -10}, 135, {-9, -5}, {-5, -9}},
        {{-10, 10}, 225, {-9, 5}, {-5, 9}},  {{10, 10}, 315, {5, 9}, {9, 5}},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(ArrowAngle({0, 0}, c.tip), c.angle, 1e-9) << c.tip.x << "," << c.tip.y;
        Point p1{}, p2{};
        ASSERT_TRUE(ArrowHead({0, 0}, c.tip, 5, p1, p2));
        EXPECT_EQ(test::pointsOf({p1, p2}), test::pointsOf({c.p1, c.p2})) << c.tip.x << "," << c.tip.y;
    }
    EXPECT_NEAR(ArrowAngle({0, 0}, {30, -10}), 18.43494882292201, 1e-9);
    EXPECT_EQ(ArrowAngle({3, 4}, {3, 4}), 0.0);
    Point p1{}, p2{};
    EXPECT_FALSE(ArrowHead({3, 4}, {3, 4}, 5, p1, p2));
}

// Amplitude and slope of the slow waves: the measuring window, the extremes,
// the steepest fall and the interval to the previous slow wave.
// A 4 x 1 matrix with a recording of `rows` samples at 1000 Hz, all zero;
// the rows past it hold what a longer recording left behind.
std::unique_ptr<SessionState> recording(int rows) {
    auto s = gridSession(4, 1);
    s->SignalLength = s->NrOfFrames = rows;
    for (int i = rows + 1; i <= rows + 40 && i <= MaxSamples; ++i)
        for (int e = 1; e <= 4; ++e) s->Signals.at(i, e) = (i % 2) ? 99999 : -99999;
    return s;
}

const MeasureRecord& of(const SessionState& s, int slot) { return s.MarkMeasures[static_cast<size_t>(slot)]; }
auto extremes(const SessionState& s, int slot) {
    const MeasureRecord& m = of(s, slot);
    return std::tuple(m.MaxValue, m.MaxSample, m.MinValue, m.MinSample);
}

TEST(Measures, WindowIsCutAtTheStartAndEndOfTheRecording) {
    auto s = recording(2000);
    s->Signals.at(0, 1) = -999;  // row 0 is no sample
    s->Signals.at(1, 1) = -300;
    s->Signals.at(700, 1) = 500;
    s->Signals.at(701, 1) = 999;  // just outside 200 +- 500
    // Electrode 2 near the end: 1990 +- 500 stops at 2000, and the fall
    // over 24 samples never reaches the stale rows past it.
    s->Signals.at(1980, 2) = 40;
    s->Signals.at(2000, 2) = -20;
    addMark(*s, 1, 200);
    addMark(*s, 2, 1990);
    EXPECT_EQ(MeasureAllMarks(*s), 2);
    EXPECT_EQ(extremes(*s, 1), std::tuple(500, 700, -300, 1));
    EXPECT_EQ(extremes(*s, 2), std::tuple(40, 1980, -20, 2000));
    EXPECT_EQ(of(*s, 1).MeasuredElectrode, 1);
    EXPECT_EQ(of(*s, 2).SlopeSample, 1976);  // 1980 -> 2004 would read a stale row
    EXPECT_DOUBLE_EQ(of(*s, 2).Slope, 40.0 * 20 / 747);
}

TEST(Measures, OnlySlowWavesInsideTheRecordingAreMeasured) {
    auto s = recording(3000);
    addMark(*s, 1, 1000, Spike);
    addMark(*s, 2, 1000, Type3);
    addMark(*s, 3, 0);
    addMark(*s, 4, 3000);
    addMark(*s, 4, 2999);
    s->MarkMeasures[1].MeasuredElectrode = 1;  // left from an earlier run
    EXPECT_EQ(MeasureAllMarks(*s), 1);
    for (int slot = 1; slot <= 4; ++slot) EXPECT_EQ(of(*s, slot).MeasuredElectrode, Missing) << slot;
    EXPECT_EQ(of(*s, 5).MeasuredElectrode, 4);
    ClearMarks(*s);
    EXPECT_EQ(of(*s, 5).MeasuredElectrode, Missing);
}

TEST(Measures, SteepestFallOnly) {
    auto s = recording(10000);
    for (int i = 1; i <= 10000; ++i) {
        s->Signals.at(i, 1) = i;                                            // rising everywhere
        s->Signals.at(i, 2) = i < 3000 ? 0 : i >= 3010 ? -747 : -(i - 3000) * 747 / 10;  // one fall
        s->Signals.at(i, 3) = i % 100 == 0 ? -100 : 0;                      // equal falls: the first
    }
    addMark(*s, 1, 5000);
    addMark(*s, 2, 3200);
    addMark(*s, 3, 5000);
    MeasureAllMarks(*s);
    // 2986 + 24 = 3010, the first of the full falls; 4576 + 24 = 4600; 4500 the first of the equal minima.
    EXPECT_EQ(std::tuple(of(*s, 1).Slope, of(*s, 1).SlopeSample, of(*s, 1).MaxSample, of(*s, 1).MinSample),
              std::tuple(0.0, 4500, 5500, 4500));
    EXPECT_EQ(std::tuple(of(*s, 2).SlopeSample, of(*s, 2).Slope, of(*s, 3).SlopeSample, of(*s, 3).MinSample),
              std::tuple(2986, 40.0, 4576, 4500));
}

TEST(Measures, IntervalToThePreviousSlowWaveOfTheElectrode) {
    auto s = recording(10000);
    addMark(*s, 1, 7500);
    addMark(*s, 1, 1000);
    addMark(*s, 1, 6000, Spike);  // spikes are no previous slow wave
    addMark(*s, 2, 3900);         // another electrode
    addMark(*s, 1, 4000);
    MeasureAllMarks(*s);
    EXPECT_EQ(std::tuple(of(*s, 1).Interval, of(*s, 2).Interval, of(*s, 4).Interval, of(*s, 5).Interval),
              std::tuple(3500, Missing, Missing, 3000));
    // One mark measured alone takes the slow waves it is given, whatever
    // another sort left in the session's scratch order.
    std::vector<int32_t> slowWaves;
    SortMarksByElectrode(*s, slowWaves, SlowWave);
    s->MarkOrder = {3};
    MeasureMark(*s, slowWaves, 1, 1, 7500);
    EXPECT_EQ(of(*s, 1).Interval, 3500);
}

TEST(Measures, SignalsWhollyBeyondAnyStartValueAtEveryRate) {
    // Far above and far below zero (as imports that scale to microvolts
    // give): the extremes are the signal's own, the first on ties.
    for (int rate : {500, 1000, 2000}) {
        auto s = recording(2 * rate);  // 2000 ms
        s->HighRateMode = rate != 1000;
        s->SamplingFrequency = rate;
        s->SignalLength = 2000;
        const int c = rate, w = rate / 2;  // the mark at 1000 ms, 500 ms either side
        for (int i = 1; i <= 2 * rate; ++i) {
            s->Signals.at(i, 1) = 20000;
            s->Signals.at(i, 2) = -20000;
            s->Signals.at(i, 3) = 20000;  // flat: both extremes at the window's start
            s->Signals.at(i, 4) = -20000;
        }
        s->Signals.at(c + w / 2, 1) = 30000;
        s->Signals.at(c - w / 2, 1) = 15000;
        s->Signals.at(c - w / 2, 2) = -15000;
        s->Signals.at(c + w / 2, 2) = -30000;
        s->Signals.at(c + w + 1, 2) = -40000;  // just past the window
        s->Signals.at(c + w, 4) = -25000;       // its last sample
        for (int e = 1; e <= 4; ++e) addMark(*s, e, 1000);
        MeasureAllMarks(*s);
        // The window runs over samples c - w .. c + w: a rate of 2000 Hz doubles it in rows.
        EXPECT_EQ(extremes(*s, 1), std::tuple(30000, c + w / 2, 15000, c - w / 2)) << rate;
        EXPECT_EQ(extremes(*s, 2), std::tuple(-15000, c - w / 2, -30000, c + w / 2)) << rate;
        EXPECT_EQ(extremes(*s, 3), std::tuple(20000, c - w, 20000, c - w)) << rate;
        EXPECT_EQ(extremes(*s, 4), std::tuple(-20000, c - w, -25000, c + w)) << rate;
        EXPECT_DOUBLE_EQ(MeasuredAmplitude(*s, of(*s, 1)), 15000.0 / 747) << rate;
    }
}

TEST(Measures, AmplitudeAndTheDataPadGrid) {
    auto s = recording(3000);
    s->Locale = {',', '.'};
    s->Signals.at(900, 1) = 800;
    s->Signals.at(1100, 1) = -694;
    addMark(*s, 1, 1000);
    addMark(*s, 2, 1000, Spike);
    addMark(*s, 3, 2500);
    test::ScriptedHost host;
    Ctx ctx{*s, host, [](Ctx&, int) {}};
    CalculateAmplitudesSlopes1Click(ctx);
    EXPECT_EQ(std::tuple(host.beeps, s->DataPadRequested), std::tuple(1, true));
    const std::vector<std::vector<std::string>> expected{{"", "signalnr", "Ampl", "MaxAmpl", "MinAmpl", "time"},
                                                         {"", "1", "2,00", "800", "-694", "1000"},
                                                         {"", "3", "0,00", "0", "0", "2500"}};
    EXPECT_EQ(s->DataPad, expected);
}

}  // namespace
}  // namespace vk
