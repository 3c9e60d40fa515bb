// The map buffer: which marks become cell times, and the geometry of the
// cells on a panel; map expansion and the key E, the map statistics, the
// spike statistics and the mini windows' geometry, on small hand-made grids.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "electrograms/SpikeStats.h"
#include "maps/MapBuffer.h"
#include "maps/MapCommands.h"
#include "maps/MapExpand.h"
#include "maps/MapStatistics.h"
#include "maps/MiniMap.h"
#include "marks/MarkStore.h"
#include "support/GridSession.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"

namespace vk {
namespace {

using test::gridSession;
void mark(SessionState& s, int e, int time, int type = SlowWave, int nr = 0) { test::addMark(s, e, time, type, nr); }

using Times = std::vector<int32_t>;

// The times of the cells of one row.
Times rowTimes(const SessionState& s, int row) {
    Times t;
    for (int c = 1; c <= s.NrColumns; ++c) t.push_back(s.MapBuf.at(c, row).Time);
    return t;
}

void load(SessionState& s, int begin, int window, int type = SlowWave) {
    s.MapBegin = begin;
    s.MapWindow = window;
    LoadMap(s, type);
}

TEST(MapLoad, TheEarliestVisibleMarkInTheWindowSetsTheCell) {
    auto s = gridSession(4, 2);
    mark(*s, 1, 700, SlowWave, 3);
    mark(*s, 1, 500, SlowWave, 0);   // earlier: wins, but has no number
    mark(*s, 2, 1000);               // exactly at the start of the window
    mark(*s, 3, 5000);               // exactly at its end
    mark(*s, 4, 999);                // just before it
    mark(*s, 5, 5001);               // just after it
    mark(*s, 6, 2000);
    s->MarkTable[static_cast<size_t>(s->MarkCount)].Visible = 0;  // hidden from maps
    mark(*s, 7, 1500, Spike);        // not the panel's mark type
    mark(*s, 44, 1200);              // an electrode without a position
    load(*s, 1000, 4000);
    const MapBuffer& m = s->MapBuf;
    // Window 1000..5000 holds neither 500 nor 700.
    EXPECT_EQ(std::pair(rowTimes(*s, 1), rowTimes(*s, 2)), std::pair(Times{Missing, 1000, 5000, Missing}, Times(4, Missing)));
    EXPECT_EQ(std::tuple(s->MapTimeCount, s->EarliestTime, s->MaxMapTime), std::tuple(2, 1000, 5000));

    load(*s, 0, 4000);
    // 700 set the cell first (number 3), then 500 (no number): the number stays.
    EXPECT_EQ(std::tuple(m.at(1, 1).Time, m.at(1, 1).MarkNr), std::tuple(500, 3));
    EXPECT_EQ(s->MapTimeCount, 4);  // 700, 500, 1000 and 999 set cells

    // Marks before the reference time never enter; the others are relative to it.
    s->RefTime = 1000;
    load(*s, 0, 6000);
    EXPECT_EQ(rowTimes(*s, 1), (Times{Missing, 0, 4000, Missing}));

    // Slow waves and spikes together: the earlier of the two wins and mark
    // numbers are not copied.
    s->RefTime = 0;
    mark(*s, 7, 1400, SlowWave, 9);
    load(*s, 0, 6000);
    EXPECT_EQ(std::tuple(m.at(3, 2).Time, m.at(3, 2).MarkNr), std::tuple(1400, 9));
    s->ShowSWsAndSpikes = true;
    mark(*s, 7, 1300, Spike, 8);
    load(*s, 0, 6000, Type3);
    EXPECT_EQ(std::tuple(m.at(3, 2).Time, m.at(3, 2).MarkNr), std::tuple(1300, Missing));

    // Nothing taken: the earliest time is the start value.
    s->ShowSWsAndSpikes = false;
    load(*s, 20000, 100);
    EXPECT_EQ(std::tuple(s->MapTimeCount, s->EarliestTime), std::tuple(0, 3333333));
}

TEST(MapLoad, CrossedOutAndExpandedCellsSurviveReloads) {
    auto s = gridSession(3, 1);
    s->MapBuf.at(1, 1).Time = Excluded;
    for (int c : {2, 3}) {
        s->MapBuf.at(c, 1).Time = 800;
        s->MapBuf.at(c, 1).Expanded = 1;
    }
    mark(*s, 1, 100);
    mark(*s, 2, 900);  // later than the filled value: the filled value stays
    mark(*s, 3, 600);  // earlier: replaces it, the cell stays flagged
    load(*s, 0, 4000);
    EXPECT_EQ(rowTimes(*s, 1), (Times{Excluded, 800, 600}));
    EXPECT_EQ(std::tuple(s->MapBuf.at(3, 1).Expanded, s->MapTimeCount), std::tuple(1, 1));

    // A position that holds no electrode (here after a smaller matrix was
    // loaded over a larger one) never keeps a time of an earlier load.
    s->MapBuf.at(2, 1).Expanded = 0;
    load(*s, 0, 4000);
    s->ElectrodeCol[2] = s->ElectrodeRow[2] = -1;
    load(*s, 0, 4000);
    EXPECT_EQ(s->MapBuf.at(2, 1).Time, Missing);

    // The count map starts every placed cell at time 0, crossed out or not.
    s->MapKind = CountMapKind;
    load(*s, 0, 4000);
    EXPECT_EQ(std::tuple(s->MapBuf.at(1, 1).Time, s->MapBuf.at(1, 1).Count), std::tuple(0, 1));
}

// The time load as a scan per placed electrode over the whole table, the
// way the cells are defined; the program's load must give the same buffer.
struct Reference {
    MapBuffer cells;
    int32_t count = 0, low = 3333333, high = -1;
};
Reference scanPerElectrode(const SessionState& s, int type) {
    Reference r;
    r.cells = s.MapBuf;
    for (int e = 1; e <= MaxChannels; ++e) {
        const int c = s.ElectrodeCol[static_cast<size_t>(e)], row = s.ElectrodeRow[static_cast<size_t>(e)];
        if (c < 1 || row < 1) continue;
        MapCell& cell = r.cells.at(c, row);
        for (int i = 1; i <= s.MarkCount; ++i) {
            const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
            if (m.Electrode != e || m.Visible != 1) continue;
            if (m.Time < s.RefTime || m.Time < s.MapBegin || m.Time > s.MapBegin + s.MapWindow) continue;
            const bool taken = s.ShowSWsAndSpikes ? (m.MarkType == 1 || m.MarkType == 2) : (type != 0 && m.MarkType == type);
            if (!taken) continue;
            const int32_t v = m.Time - s.RefTime;
            if (cell.Time != Missing && cell.Time <= v) continue;
            cell.Time = v;
            ++r.count;
            r.low = std::min(r.low, v);
            r.high = std::max(r.high, v);
            if (!s.ShowSWsAndSpikes && m.MarkNr > 0) cell.MarkNr = m.MarkNr;
        }
    }
    return r;
}

TEST(MapLoad, OnePassGivesTheCellsOfTheScanPerElectrode) {
    std::mt19937 random(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    auto s = gridSession(6, 5);
    // Some electrodes share a position (as an old-format matrix allows).
    s->ElectrodeCol[31] = s->ElectrodeCol[40] = 2;
    s->ElectrodeRow[31] = s->ElectrodeRow[40] = 3;
    for (int round = 0; round < 200; ++round) {
        s->MarkCount = 0;
        s->MapBuf.fill(MapCell{});
        // Some cells start filled by expansion or crossed out.
        for (int k = 0; k < 4; ++k) {
            MapCell& c = s->MapBuf.at(pick(1, 6), pick(1, 5));
            c.Time = pick(0, 3) == 0 ? Excluded : 50 * pick(0, 60);
            c.Expanded = c.Time == Excluded ? 0 : 1;
        }
        const int marks = pick(0, 400);
        for (int i = 0; i < marks; ++i) {
            // Times on a coarse raster, so that ties are common.
            mark(*s, pick(1, 42), 50 * pick(0, 80), pick(1, 3), pick(0, 3));
            if (pick(0, 9) == 0) s->MarkTable[static_cast<size_t>(s->MarkCount)].Visible = 0;
            if (pick(0, 19) == 0) RemoveTime(*s, pick(1, 42), SlowWave, 4000, 0);
        }
        s->RefTime = pick(0, 3) == 0 ? 50 * pick(0, 30) : 0;
        s->ShowSWsAndSpikes = pick(0, 2) == 0;
        s->MapBegin = 50 * pick(0, 40);
        s->MapWindow = 50 * pick(0, 60) + pick(0, 1);
        const int type = pick(0, 3);
        // The same reset first, then the two loads from the same cells.
        s->MapKind = TimeMapKind;
        const bool both = s->ShowSWsAndSpikes;
        s->ShowSWsAndSpikes = false;
        LoadMap(*s, 0);  // type 0 takes no mark: only the reset
        s->ShowSWsAndSpikes = both;
        const Reference want = scanPerElectrode(*s, type);
        LoadTimeMap(*s, type);
        for (int c = 1; c <= 6; ++c)
            for (int r = 1; r <= 5; ++r) {
                ASSERT_EQ(s->MapBuf.at(c, r).Time, want.cells.at(c, r).Time) << "round " << round << " cell " << c << "," << r;
                ASSERT_EQ(s->MapBuf.at(c, r).MarkNr, want.cells.at(c, r).MarkNr) << "round " << round;
            }
        ASSERT_EQ(s->MapTimeCount, want.count) << "round " << round;
        ASSERT_EQ(s->MinMapTime, want.low);
        ASSERT_EQ(s->MaxMapTime, want.high);
        ASSERT_EQ(s->EarliestTime, want.low);
    }
}

TEST(MapGeometry, SquareCellsAnchoredAtTheMargins) {
    auto s = gridSession(8, 4);
    SizeMapCells(*s, 300, 200);  // widths 36 and 47: both become 36
    EXPECT_EQ(std::tuple(s->CellWidth, s->CellHeight, s->MapRight, s->MapBottom), std::tuple(36, 36, 298, 154));
    const CellBox r = CellRect(*s, 32);  // column 8, row 4
    EXPECT_EQ(std::tuple(r.left, r.top, r.right, r.bottom), std::tuple(262, 118, 299, 155));
    const Point c = CellCentre(*s, 1, 1);  // (10 + 45) div 2, (10 + 46) div 2
    EXPECT_EQ(std::tuple(c.x, c.y), std::tuple(27, 28));

    // The map area is strictly inside the cells; the cell under a pixel.
    for (auto [x, y, inside] : {std::tuple{297, 153, true}, {298, 100, false}, {10, 100, false}})
        EXPECT_EQ(InsideMapArea(*s, x, y), inside) << x << "," << y;
    int column = 0, row = 0;
    EXPECT_EQ(std::tuple(MapCellAt(*s, 46, 10, column, row), column, row), std::tuple(true, 2, 1));
    EXPECT_FALSE(MapCellAt(*s, 5, 20, column, row));  // left of the map is not column 1
    int32_t e = 99;
    EXPECT_EQ(std::tuple(PositionToElectrode(*s, 9, 1, e), e), std::tuple(false, 99));
    s->ElectrodeCol[40] = 3;  // electrodes 3 and 40 at (3, 1): the higher one
    s->ElectrodeRow[40] = 1;
    EXPECT_EQ(std::tuple(PositionToElectrode(*s, 3, 1, e), e), std::tuple(true, 40));
}

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
    auto s = gridSession(columns, rows);
    for (auto [e, t] : marks) mark(*s, e, t);
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
    EXPECT_EQ(std::tuple(cells(*s), s->Memo1), std::tuple("100 . 200|. 152* .|300 . 9", std::vector<std::string>{" valid = 4", " newtim = 152"}));
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
    auto s = gridSession(3, 1);
    for (int t : {7500, 1000, 4000, 20000}) mark(*s, 1, t, Spike);
    mark(*s, 2, 500);
    mark(*s, 3, 100);
    mark(*s, 3, 350, Type3);
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
    auto many = gridSession(1, 1);
    for (int i = 0; i < 1005; ++i) mark(*many, 1, i * 10);
    std::tie(many->BeginTime, many->WindowTime, many->NrTraces, many->TraceOrder) = std::tuple(0, 100000, 1, 1);
    CalcSpikeStats(*many);
    EXPECT_EQ(many->EleStats[1].Nr, 999.0);
}

TEST(MiniMap, SizesCaptionFramesAndClicks) {
    auto s = gridSession(8, 4);
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
