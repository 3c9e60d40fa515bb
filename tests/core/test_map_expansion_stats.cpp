// Map expansion and the key E, the map statistics, the spike statistics and
// the mini windows' geometry, on small hand-made grids.
#include <gtest/gtest.h>

#include "electrograms/SpikeStats.h"
#include "maps/MapBuffer.h"
#include "maps/MapCommands.h"
#include "maps/MapExpand.h"
#include "maps/MapStatistics.h"
#include "maps/MiniMap.h"
#include "support/GridSession.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"

namespace vk {
namespace {

using test::addMark;
using Lines = std::vector<std::string>;

// The Time fields row by row ("." for Missing, "*" after expanded cells).
std::string cells(const SessionState& s) {
    std::string out;
    for (int r = 1; r <= s.NrRows; ++r) {
        for (int c = 1; c <= s.NrColumns; ++c) {
            const MapCell& m = s.MapBuf.at(c, r);
            out += (c > 1 ? " " : "") + (m.Time == Missing ? "." : std::to_string(m.Time)) + (m.Expanded ? "*" : "");
        }
        out += r < s.NrRows ? "|" : "";
    }
    return out;
}

// A time map of slow waves in 0..10000 ms, loaded with the marks (electrode, time).
std::unique_ptr<SessionState> loaded(int columns, int rows, std::initializer_list<std::pair<int, int>> marks) {
    auto s = test::gridSession(columns, rows);
    for (auto [e, t] : marks) addMark(*s, e, t);
    std::tie(s->MapBegin, s->MapWindow, s->MapKind) = std::tuple(0, 10000, TimeMapKind);
    LoadMap(*s, SlowWave);
    return s;
}

TEST(MapExpansion, FillsHolesPassByPassInsideTheMatrix) {
    struct Case {
        int columns, rows;
        std::initializer_list<std::pair<int, int>> marks;
        int cycles, neighbours;
        const char* expected;
    } cases[] = {
        // The described hole: 100 above, 200 left, 300 below, the matrix edge to the right.
        {2, 3, {{2, 100}, {3, 200}, {6, 300}}, 10, 3, ". 100|200 200*|. 300"},
        // Column by column: a value spreads right within a pass, left one cell per pass.
        {5, 1, {{4, 400}}, 2, 1, ". 400* 400* 400 400*"},
        {5, 1, {{4, 400}}, 0, 1, ". . . 400 ."},
        {5, 1, {{1, 100}, {5, 201}}, 1, 2, "100 . . . 201"},
        {3, 1, {{1, 100}, {3, 201}}, 1, 2, "100 150* 201"},
        // Zero neighbours would divide by zero: refused, nothing filled.
        {3, 1, {{1, 100}}, 10, 0, "100 . ."},
    };
    for (const Case& c : cases) {
        auto s = loaded(c.columns, c.rows, c.marks);
        // Stale values beyond the matrix edges must never count.
        for (int i = 1; i <= 4; ++i) s->MapBuf.at(c.columns + 1, i).Time = s->MapBuf.at(i, c.rows + 1).Time = 9000;
        std::tie(s->Prefs.ExpandCycles, s->Prefs.ExpandNeighbours) = std::tuple(c.cycles, c.neighbours);
        ExpandMapCells(*s);
        EXPECT_EQ(cells(*s), c.expected) << c.expected;
    }
}

TEST(MapExpansion, EmptyPositionsAndReloads) {
    // Electrode 4 is not placed: its position fills, then counts and survives reloads.
    auto s = loaded(2, 2, {{2, 100}, {3, 300}});
    s->ElectrodeCol[4] = s->ElectrodeRow[4] = -1;
    s->MatrixGrid[2][2] = -1;
    s->Prefs.ExpandNeighbours = 2;
    ExpandMapCells(*s);
    EXPECT_EQ(cells(*s), "200* 100|300 200*");
    CalcMapStats(*s);
    EXPECT_EQ(s->StatsMemo[3], "N = 4");
    s->MapBegin = 5000;  // the real marks leave the window, the filled cells stay
    LoadMap(*s, SlowWave);
    EXPECT_EQ(cells(*s), "200* .|. 200*");
    test::ScriptedHost host;
    Ctx ctx{*s, host, nullptr};
    RemoveExpand1Click(ctx);
    EXPECT_EQ(std::tuple(cells(*s), host.beeps), std::tuple(std::string("200 .|. 200"), 1));
    LoadMap(*s, SlowWave);
    EXPECT_EQ(cells(*s), ". .|. .");
}

TEST(MapExpansion, KeyEFillsTheCellUnderTheMouseFromEightNeighbours) {
    auto s = loaded(3, 3, {{1, 100}, {3, 200}, {7, 300}, {9, 9}});
    SizeMapCells(*s, 310, 310);  // cells of 100 pixels from (10, 10)
    test::ScriptedHost host;
    Ctx ctx{*s, host, nullptr};
    std::tie(s->MouseX, s->MouseY) = std::tuple(160, 160);
    s->Prefs.ExpandNeighbours = 5;  // four corners are not enough
    MapKey(ctx, 1, 'e');
    EXPECT_EQ(std::tuple(host.beeps, cells(*s), s->Memo1.size()), std::tuple(1, std::string("100 . 200|. . .|300 . 9"), size_t{0}));
    s->Prefs.ExpandNeighbours = 4;
    MapKey(ctx, 1, 'E');
    EXPECT_EQ(cells(*s), "100 . 200|. 152* .|300 . 9");
    EXPECT_EQ(s->Memo1, (std::vector<std::string>{" valid = 4", " newtim = 152"}));
    EXPECT_EQ(std::tuple(FillCell(*s, 5), FillCell(*s, 40)), std::tuple(false, false));  // valued; not placed
}

TEST(MapStatistics, LinesByKindArrowsAndLocale) {
    auto s = loaded(3, 2, {{1, 100}, {2, 200}, {6, 300}});
    CalcMapStats(*s);
    EXPECT_EQ(s->StatsMemo, (std::vector<std::string>{" ", "Times", " ", "N = 3", "Avg = 200.00", "SD = 81.65",
                                                      "Max= 300.00", "Min= 100.00"}));
    // Every value beyond 33 s either way: the extremes are the values' own.
    auto late = loaded(2, 1, {});
    std::tie(late->MapBuf.at(1, 1).Time, late->MapBuf.at(2, 1).Time) = std::tuple(40000, 1234567);
    CalcMapStats(*late);
    const std::string plain = late->StatsMemo[6] + "|" + late->StatsMemo[7];
    late->Locale = {',', '.'};
    CalcMapStats(*late);
    EXPECT_EQ(plain + "|" + late->StatsMemo[6] + "|" + late->StatsMemo[7],
              "Max= 1,234,567.00|Min= 40,000.00|Max= 1.234.567,00|Min= 40.000,00");
    std::tie(late->MapBuf.at(1, 1).Time, late->MapBuf.at(2, 1).Time) = std::tuple(-40000, -50000);
    CalcMapStats(*late);
    EXPECT_EQ(Lines(late->StatsMemo.begin() + 3, late->StatsMemo.end()),
              (Lines{"N = 2", "Avg = -45.000,00", "SD = 5.000,00", "Max= -40.000,00", "Min= -50.000,00"}));

    // Arrows over an amplitude map: only the velocities are summarised.
    std::tie(s->MapKind, s->MapBuf.at(1, 1).Amplitude, s->PlotArrows) = std::tuple(AmplitudeMapKind, 2.5, true);
    std::tie(s->VelocityBuf.at(1, 1).Speed, s->VelocityBuf.at(2, 1).Speed) = std::tuple(4.0, 6.0);
    CalcMapStats(*s);
    EXPECT_EQ(s->StatsMemo, (std::vector<std::string>{" ", "Amplitudes", "Velocities", " ", "N = 2", "Avg = 5.00",
                                                      "SD = 1.00", "Max= 6.00", "Min= 4.00"}));
    auto empty = loaded(2, 2, {});
    CalcMapStats(*empty);
    EXPECT_EQ(empty->StatsMemo, (std::vector<std::string>{" ", "Times"}));
}

TEST(SpikeStats, IntervalsPerTraceRow) {
    // Horizontal order from (1, 1) over a 3 x 1 matrix, four rows: the fourth reads no electrode.
    auto s = test::gridSession(3, 1);
    for (int t : {7500, 1000, 4000, 20000}) addMark(*s, 1, t, Spike);
    addMark(*s, 2, 500);
    addMark(*s, 3, 100);
    addMark(*s, 3, 350, Type3);
    std::tie(s->BeginTime, s->WindowTime, s->NrTraces, s->TraceOrder, s->StartCol, s->StartRow) =
        std::tuple(0, 10000, 4, 1, 1, 1);
    CalcSpikeStats(*s);
    EXPECT_EQ(s->StatsMemo, (std::vector<std::string>{SpikeStatsHeader,
                                                      "1      2    3,250.0    353.6    3,000.0    3,500.0    500",
                                                      "2               ",
                                                      "3      1    250.0    0.0    250.0    250.0    0"}));
    s->FileName = "/data/rec.E01";
    EXPECT_EQ(SpikeStatsFileLines(*s),
              (std::vector<std::string>{"/data/rec.E01", "EleNr\tNr\tAvg\tStDev\tMin\tMax\tRange",
                                        "1\t2\t3,250.0\t353.6\t3000\t3500\t500", "3\t1\t250.0\t0.0\t250\t250\t0"}));

    // Only the first 1000 marks of an electrode are collected.
    auto many = test::gridSession(1, 1);
    for (int i = 0; i < 1005; ++i) addMark(*many, 1, i * 10);
    std::tie(many->BeginTime, many->WindowTime, many->NrTraces, many->TraceOrder) = std::tuple(0, 100000, 1, 1);
    CalcSpikeStats(*many);
    EXPECT_EQ(many->EleStats[1].Nr, 999.0);
}

TEST(MiniMap, SizesCaptionFramesAndClicks) {
    auto s = test::gridSession(8, 4);
    const MiniSize map = MiniMapSize(*s), grid = MiniGridSize(*s);
    EXPECT_EQ(std::tuple(map.paintWidth, map.paintHeight, map.windowWidth, map.windowHeight, grid.paintWidth,
                         grid.paintHeight),
              std::tuple(91, 61, 111, 81, 72, 40));
    EXPECT_EQ(MiniMapMouse(*s, 33, 23), "  X = 3     Y = 2   Ele = 11");
    test::ScriptedHost host;
    Ctx ctx{*s, host, nullptr};
    MiniMapClick(ctx);
    EXPECT_EQ(std::tuple(s->FirstChannel, s->StartCol, s->StartRow, host.beeps), std::tuple(11, 3, 2, 1));
    EXPECT_EQ(MiniMapMouse(*s, 95, 23), "  X = 9     Y = 2   Ele = -1");
    MiniMapClick(ctx);  // beyond the grid: nothing
    EXPECT_EQ(host.beeps, 1);

    // Traces of electrodes 15..18 in sequential order: only 17 and 18 are framed on the map.
    std::tie(s->TraceOrder, s->FirstChannel, s->NrTraces) = std::tuple(0, 15, 4);
    std::tie(s->ElectrodeCol[17], s->ElectrodeRow[17], s->ElectrodeCol[18], s->ElectrodeRow[18]) = std::tuple(2, 3, 8, 4);
    test::RecordingCanvas c(map.paintWidth, map.paintHeight);
    auto shapes = [&](const char* kind) {
        std::string out;
        for (const std::string& op : c.ops)
            if (op.rfind(kind, 0) == 0) out += op.substr(op.find(' ')) + ";";
        return out;
    };
    DrawMiniMap(*s, c, 0x00F0F0F0);
    EXPECT_EQ(shapes("rect") + shapes("ellipse").substr(0, 25),
              " 0 0 111 81; 18 28 28 38; 78 38 88 48; 11 11 15 15; 11 21 15 25");
    c.ops.clear();
    DisplayMiniGrid(*s, c);
    EXPECT_EQ(shapes("rect") + shapes("ellipse").substr(0, 22),
              " 1 1 72 40; 52 12 61 21; 60 12 69 21; 12 20 21 29; 60 28 69 37; 8 8 10 10; 8 16 10 18");
}

}  // namespace
}  // namespace vk
