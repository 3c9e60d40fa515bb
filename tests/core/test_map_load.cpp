// The map buffer: which marks become cell times, and the geometry of the
// cells on a panel.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "maps/MapBuffer.h"
#include "marks/MarkStore.h"
#include "support/GridSession.h"

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
    EXPECT_EQ(rowTimes(*s, 1), (Times{Missing, 1000, 5000, Missing}));
    EXPECT_EQ(rowTimes(*s, 2), (Times{Missing, Missing, Missing, Missing}));
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
    EXPECT_TRUE(MapCellAt(*s, 46, 10, column, row));
    EXPECT_EQ(std::tuple(column, row), std::tuple(2, 1));
    EXPECT_FALSE(MapCellAt(*s, 5, 20, column, row));  // left of the map is not column 1

    int32_t e = 99;
    EXPECT_FALSE(PositionToElectrode(*s, 9, 1, e));
    EXPECT_EQ(e, 99);
    s->ElectrodeCol[40] = 3;  // electrodes 3 and 40 at (3, 1): the higher one
    s->ElectrodeRow[40] = 1;
    EXPECT_TRUE(PositionToElectrode(*s, 3, 1, e));
    EXPECT_EQ(e, 40);
}

}  // namespace
}  // namespace vk
