#include "maps/MapBuffer.h"

#include <algorithm>
#include <array>

#include "marks/MarkStore.h"

namespace vk {

static_assert(MapGridSize == MaxGrid, "every position of an electrode matrix has a map cell");

namespace {

inline bool onGrid(int column, int row) {
    return column >= 1 && column <= MapGridSize && row >= 1 && row <= MapGridSize;
}

// Empties a cell for a new load; crossed-out and expanded cells keep theirs.
void resetCell(MapCell& c) {
    if (c.Time == Excluded || c.Expanded == 1) return;
    c.Time = Missing;
    c.Amplitude = Missing;
    c.Slope = Missing;
    c.MarkNr = Missing;
    c.Electrode = Missing;
    c.Interval = Missing;
    c.Velocity = Missing;
    c.Count = 0;
}

MapCell& cellOf(SessionState& s, int e) {
    return s.MapBuf.at(s.ElectrodeCol[static_cast<size_t>(e)], s.ElectrodeRow[static_cast<size_t>(e)]);
}

bool placedElectrode(const SessionState& s, int e) {
    return e >= 1 && e <= MaxChannels && onGrid(s.ElectrodeCol[static_cast<size_t>(e)], s.ElectrodeRow[static_cast<size_t>(e)]);
}

// Every mark of the panel's type (any type for type 0) whose time less
// RefTime lies in the window counts, hidden ones too.
void loadCounts(SessionState& s, int markType) {
    const int64_t high = int64_t{s.MapBegin} + s.MapWindow;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.MarkType == DeletedType || !placedElectrode(s, m.Electrode)) continue;
        if (markType != 0 && m.MarkType != markType) continue;
        const int64_t t = int64_t{m.Time} - s.RefTime;
        if (t >= s.MapBegin && t <= high) cellOf(s, m.Electrode).Count += 1;
    }
}

// The measured slow waves in the window: the last in table order gives
// the cell its amplitude and slope, hidden ones too.
void loadMeasures(SessionState& s) {
    const int64_t low = std::max<int64_t>(s.RefTime, s.MapBegin), high = int64_t{s.MapBegin} + s.MapWindow;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        const MeasureRecord& r = s.MarkMeasures[static_cast<size_t>(i)];
        if (m.MarkType != SlowWave || r.MeasuredElectrode == Missing || !placedElectrode(s, m.Electrode)) continue;
        if (m.Time < low || m.Time > high) continue;
        MapCell& c = cellOf(s, m.Electrode);
        c.Amplitude = static_cast<double>(int64_t{r.MaxValue} - r.MinValue) / std::max(1, s.UnitsPerMillivolt);
        c.Slope = r.Slope;
    }
}

// The interval to the next mark, of the first mark of the cell's electrode
// that sits at the cell's time.
void loadIntervals(SessionState& s) {
    CalcNextIntervals(s);
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.MarkType == DeletedType || !placedElectrode(s, m.Electrode)) continue;
        MapCell& c = cellOf(s, m.Electrode);
        // The cell holds the time less RefTime; so is the mark's compared.
        if (c.Interval == Missing && c.Time != Missing && int64_t{m.Time} - s.RefTime == c.Time)
            c.Interval = s.MarkMeasures[static_cast<size_t>(i)].Interval;
    }
}

}  // namespace

bool IsPlaced(const SessionState& s, int e) {
    if (e < 1 || e > MaxChannels) return false;
    return onGrid(s.ElectrodeCol[static_cast<size_t>(e)], s.ElectrodeRow[static_cast<size_t>(e)]);
}

void SetMapWindowOfPanel(SessionState& s, int panel) {
    const bool b = panel == 2;
    s.MapBegin = b ? s.BeginTimeB : s.BeginTimeA;
    s.MapWindow = b ? s.WindowB : s.WindowA;
    s.MapKind = b ? s.MapKindB : s.MapKindA;
}

void SizeMapCells(SessionState& s, int paintWidth, int paintHeight) {
    const int columns = std::max(1, s.NrColumns), rows = std::max(1, s.NrRows);
    const int width = (paintWidth - s.MapLeft) / columns;
    const int height = (paintHeight - s.MapTop) / rows;
    // Square cells; a paint box smaller than the margins gets none.
    s.CellWidth = s.CellHeight = std::max(0, std::min(width, height));
    s.MapRight = s.NrColumns * s.CellWidth + s.MapLeft;
    s.MapBottom = s.NrRows * s.CellHeight + s.MapTop;
}

void LoadTimeMap(SessionState& s, int markType) {
    s.MapTimeCount = 0;
    s.MinMapTime = NoMinMapTime;
    s.MaxMapTime = NoMaxMapTime;

    // The cells are those of a scan per placed electrode over the whole
    // table in table order, where a mark sets its cell unless the cell
    // already holds a time at or below the mark's. Only a mark earlier than
    // every taken mark of its electrode before it can do that, so one pass
    // over the table collects those marks per electrode (as chains in table
    // order); the cells are then updated electrode by electrode exactly as
    // the scan would, counts and mark numbers included.
    std::vector<MapScratch::Record>& records = s.MapWork.records;
    records.clear();
    std::array<int32_t, MaxChannels + 1> head, tail, lowest;
    std::array<bool, MaxChannels + 1> placed;
    head.fill(-1);
    tail.fill(-1);
    lowest.fill(0);
    for (int e = 1; e <= MaxChannels; ++e) placed[static_cast<size_t>(e)] = IsPlaced(s, e);

    const int64_t low = std::max<int64_t>(s.RefTime, s.MapBegin);
    const int64_t high = int64_t{s.MapBegin} + s.MapWindow;
    const bool both = s.ShowSWsAndSpikes;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        const int e = m.Electrode;
        if (e < 1 || e > MaxChannels || !placed[static_cast<size_t>(e)]) continue;
        if (m.Visible != 1 || m.Time < low || m.Time > high) continue;
        const bool typeTaken = both ? (m.MarkType == SlowWave || m.MarkType == Spike)
                                    : (markType != 0 && m.MarkType == markType);
        if (!typeTaken) continue;
        const auto v = static_cast<int32_t>(int64_t{m.Time} - s.RefTime);
        const auto k = static_cast<size_t>(e);
        if (head[k] != -1 && v >= lowest[k]) continue;
        lowest[k] = v;
        const auto r = static_cast<int32_t>(records.size());
        records.push_back({v, m.MarkNr, -1});
        if (head[k] == -1) {
            head[k] = r;
        } else {
            records[static_cast<size_t>(tail[k])].next = r;
        }
        tail[k] = r;
    }

    for (int e = 1; e <= MaxChannels; ++e) {
        int32_t r = head[static_cast<size_t>(e)];
        if (r == -1) continue;
        MapCell& cell = s.MapBuf.at(s.ElectrodeCol[static_cast<size_t>(e)], s.ElectrodeRow[static_cast<size_t>(e)]);
        // The chain falls strictly; the marks at or above a time the cell
        // already holds are skipped, every one after them sets the cell.
        if (cell.Time != Missing)
            while (r != -1 && records[static_cast<size_t>(r)].time >= cell.Time) r = records[static_cast<size_t>(r)].next;
        for (; r != -1; r = records[static_cast<size_t>(r)].next) {
            const MapScratch::Record& taken = records[static_cast<size_t>(r)];
            cell.Time = taken.time;
            s.MapTimeCount += 1;
            s.MinMapTime = std::min(s.MinMapTime, taken.time);
            s.MaxMapTime = std::max(s.MaxMapTime, taken.time);
            if (!both && taken.markNr > 0) cell.MarkNr = taken.markNr;
        }
    }
    s.EarliestTime = s.MinMapTime;
}

void LoadMap(SessionState& s, int markType) {
    // Grid positions that no electrode occupies are emptied as well, so that
    // a cell of an earlier matrix never shows up in a map of this one.
    MapGrid<uint8_t>& occupied = s.MapWork.occupied;
    occupied.fill(0);
    for (int e = 1; e <= MaxChannels; ++e) {
        if (!IsPlaced(s, e)) continue;
        const int column = s.ElectrodeCol[static_cast<size_t>(e)], row = s.ElectrodeRow[static_cast<size_t>(e)];
        occupied.at(column, row) = 1;
        MapCell& c = s.MapBuf.at(column, row);
        if (s.MapKind == CountMapKind) {
            c.Time = 0;
            c.Count = 0;
        } else {
            resetCell(c);
        }
    }
    const int columns = std::min(s.NrColumns, MapGridSize), rows = std::min(s.NrRows, MapGridSize);
    for (int column = 1; column <= columns; ++column)
        for (int row = 1; row <= rows; ++row)
            if (!occupied.at(column, row)) resetCell(s.MapBuf.at(column, row));

    switch (s.MapKind) {
        case TimeMapKind:
        case MarkNrMapKind:
            LoadTimeMap(s, markType);
            break;
        case IntervalMapKind:
            LoadTimeMap(s, markType);
            loadIntervals(s);
            break;
        case CountMapKind: loadCounts(s, markType); break;
        case ElectrodeMapKind:
            for (int e = 1; e <= MaxChannels; ++e)
                if (IsPlaced(s, e)) cellOf(s, e).Electrode = e;
            break;
        case AmplitudeMapKind:
        case SlopeMapKind:
            if (markType == SlowWave) loadMeasures(s);
            break;
        case VelocityMapKind:
            // Without an electrode distance there are no velocities, whatever
            // an earlier matrix left in the buffer.
            if (!(s.ElectrodeDistance > 0)) break;
            for (int e = 1; e <= MaxChannels; ++e)
                if (IsPlaced(s, e)) {
                    const int column = s.ElectrodeCol[static_cast<size_t>(e)], row = s.ElectrodeRow[static_cast<size_t>(e)];
                    s.MapBuf.at(column, row).Velocity = s.VelocityBuf.at(column, row).Speed;
                }
            break;
        default:
            break;
    }
}

void CalcNextIntervals(SessionState& s) {
    // Live marks by electrode, then time: the next mark of each is found
    // walking each electrode's marks backward.
    for (int i = 1; i <= s.MarkCount; ++i) s.MarkMeasures[static_cast<size_t>(i)].Interval = Missing;
    const std::vector<int32_t>& order = SortMarksByElectrode(s, s.MarkOrder);
    const int64_t windowEnd = int64_t{s.BeginTime} + s.WindowTime;
    int electrode = -1;
    int64_t nextAny = Missing, nextSlowWave = Missing;  // strictly later than the group being visited
    for (size_t g = order.size(); g > 0;) {
        // The marks of one electrode at one time, visited together.
        const MarkRecord& last = s.MarkTable[static_cast<size_t>(order[g - 1])];
        if (last.Electrode != electrode) {
            electrode = last.Electrode;
            nextAny = nextSlowWave = Missing;
        }
        size_t first = g - 1;
        while (first > 0) {
            const MarkRecord& m = s.MarkTable[static_cast<size_t>(order[first - 1])];
            if (m.Electrode != last.Electrode || m.Time != last.Time) break;
            --first;
        }
        bool slowWaveHere = false;
        for (size_t j = first; j < g; ++j) {
            const MarkRecord& m = s.MarkTable[static_cast<size_t>(order[j])];
            slowWaveHere |= m.MarkType == SlowWave;
            if (m.Time < s.BeginTime || m.Time > windowEnd) continue;
            const int64_t next = m.MarkType == SlowWave ? nextSlowWave : nextAny;
            if (next != Missing) s.MarkMeasures[static_cast<size_t>(order[j])].Interval = static_cast<int32_t>(next - m.Time);
        }
        nextAny = last.Time;
        if (slowWaveHere) nextSlowWave = last.Time;
        g = first;
    }
}

void LoadMapShownBeside(SessionState& s, int panel) {
    const int other = panel == 2 ? 1 : 2;
    if (!s.Tiled || (other == 1 ? s.DisplayTypeA : s.DisplayTypeB) != 0) return;
    SetMapWindowOfPanel(s, other);
    LoadMap(s, s.CurrentMarkType[static_cast<size_t>(other)]);
}

CellBox CellRect(const SessionState& s, int e) {
    CellBox b;
    b.left = (s.ElectrodeCol[static_cast<size_t>(e)] - 1) * s.CellWidth + s.MapLeft;
    b.top = (s.ElectrodeRow[static_cast<size_t>(e)] - 1) * s.CellHeight + s.MapTop;
    b.right = b.left + s.CellWidth + 1;
    b.bottom = b.top + s.CellHeight + 1;
    return b;
}

Point CellCentre(const SessionState& s, int column, int row) {
    const int x1 = (column - 1) * s.CellWidth + s.MapLeft;
    const int x2 = x1 + s.CellWidth - 1;
    const int y1 = (row - 1) * s.CellHeight + s.MapTop;
    const int y2 = y1 + s.CellHeight;
    return {(x1 + x2) / 2, (y1 + y2) / 2};
}

bool PositionToElectrode(const SessionState& s, int column, int row, int32_t& electrode) {
    if (column < 1 || column > s.NrColumns || row < 1 || row > s.NrRows) return false;
    electrode = Missing;
    for (int e = 1; e <= MaxChannels; ++e)
        if (s.ElectrodeCol[static_cast<size_t>(e)] == column && s.ElectrodeRow[static_cast<size_t>(e)] == row) electrode = e;
    return true;
}

bool MapCellAt(const SessionState& s, int x, int y, int& column, int& row) {
    if (s.CellWidth < 1 || s.CellHeight < 1 || x < s.MapLeft || y < s.MapTop) return false;
    const int c = (x - s.MapLeft) / s.CellWidth + 1, r = (y - s.MapTop) / s.CellHeight + 1;
    if (c > s.NrColumns || r > s.NrRows || !onGrid(c, r)) return false;
    column = c;
    row = r;
    return true;
}

int32_t GridElectrode(const SessionState& s, int column, int row) {
    if (column < 1 || column > MaxGrid || row < 1 || row > MaxGrid) return Missing;
    return s.MatrixGrid[static_cast<size_t>(column)][static_cast<size_t>(row)];
}

bool InsideMapArea(const SessionState& s, int x, int y) {
    return s.CellWidth >= 1 && s.CellHeight >= 1 && x > s.MapLeft && x < s.MapRight && y > s.MapTop &&
           y < s.MapBottom;
}

int32_t MapCellTime(const SessionState& s, int panel, int column, int row) {
    if (column < 1 || column > std::min(s.NrColumns, MapGridSize) || row < 1 ||
        row > std::min(s.NrRows, MapGridSize))
        return Missing;
    return s.PanelMapTime[panel == 2 ? 2 : 1].at(column, row);
}

void RememberPanelMap(SessionState& s, int panel) {
    MapGrid<int32_t>& shown = s.PanelMapTime[panel == 2 ? 2 : 1];
    const int columns = std::min(s.NrColumns, MapGridSize), rows = std::min(s.NrRows, MapGridSize);
    for (int column = 1; column <= columns; ++column)
        for (int row = 1; row <= rows; ++row) shown.at(column, row) = s.MapBuf.at(column, row).Time;
}

}  // namespace vk
