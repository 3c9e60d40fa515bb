#include "maps/MapExpand.h"

#include <algorithm>

#include "maps/MapBuffer.h"
#include "session/Draw.h"

namespace vk {

namespace {

bool valued(int32_t t) { return t != Missing && t != Excluded; }

int gridColumns(const SessionState& s) { return std::min(s.NrColumns, MapGridSize); }
int gridRows(const SessionState& s) { return std::min(s.NrRows, MapGridSize); }

// Sum and count of the valued cells among the offsets around (column, row)
// that lie inside the matrix.
template <size_t N>
void neighbourSum(const SessionState& s, int column, int row, const int (&offsets)[N][2], int64_t& sum, int& n) {
    sum = 0;
    n = 0;
    for (const auto& d : offsets) {
        const int c = column + d[0], r = row + d[1];
        if (c < 1 || c > gridColumns(s) || r < 1 || r > gridRows(s)) continue;
        const int32_t t = s.MapBuf.at(c, r).Time;
        if (!valued(t)) continue;
        sum += t;
        ++n;
    }
}

constexpr int SideNeighbours[4][2] = {{0, -1}, {-1, 0}, {0, 1}, {1, 0}};
constexpr int AllNeighbours[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};

}  // namespace

void ExpandMapCells(SessionState& s) {
    const int required = s.Prefs.ExpandNeighbours;
    if (required < 1) return;  // a hole without neighbours would divide by zero
    for (int pass = 0; pass < s.Prefs.ExpandCycles; ++pass)
        for (int column = 1; column <= gridColumns(s); ++column)
            for (int row = 1; row <= gridRows(s); ++row) {
                MapCell& cell = s.MapBuf.at(column, row);
                if (cell.Time != Missing) continue;
                int64_t sum = 0;
                int n = 0;
                neighbourSum(s, column, row, SideNeighbours, sum, n);
                if (n < required) continue;
                cell.Time = static_cast<int32_t>(sum / n);
                cell.Expanded = 1;
            }
}

bool FillCellAt(SessionState& s, int column, int row) {
    if (column < 1 || column > gridColumns(s) || row < 1 || row > gridRows(s)) return false;
    MapCell& cell = s.MapBuf.at(column, row);
    const int required = s.Prefs.ExpandNeighbours;
    if (cell.Time != Missing || required < 1) return false;
    int64_t sum = 0;
    int n = 0;
    neighbourSum(s, column, row, AllNeighbours, sum, n);
    if (n < required) return false;
    s.Memo1.push_back(" valid = " + std::to_string(n));
    cell.Time = static_cast<int32_t>(sum / n);
    cell.Expanded = 1;
    s.Memo1.push_back(" newtim = " + std::to_string(cell.Time));
    return true;
}

bool FillCell(SessionState& s, int e) {
    if (!IsPlaced(s, e)) return false;
    return FillCellAt(s, s.ElectrodeCol[static_cast<size_t>(e)], s.ElectrodeRow[static_cast<size_t>(e)]);
}

void FillCellKey(Ctx& ctx) {
    SessionState& s = ctx.s;
    ctx.host.beep();
    // The cell under the mouse, whatever cell the last draw visited last.
    int column = 0, row = 0;
    if (MapCellAt(s, s.MouseX, s.MouseY, column, row)) {
        s.CellElectrode = GridElectrode(s, column, row);
        FillCell(s, s.CellElectrode);
    }
    UpdateDisplay(ctx);
}

void ExpandMap1Click(Ctx& ctx) {
    ctx.s.ExpandMap = !ctx.s.ExpandMap;
    if (ctx.s.ExpandMap) UpdateDisplay(ctx);
}

void RemoveExpand1Click(Ctx& ctx) {
    SessionState& s = ctx.s;
    for (int column = 1; column <= MapGridSize; ++column)
        for (int row = 1; row <= MapGridSize; ++row) s.MapBuf.at(column, row).Expanded = 0;
    ctx.host.beep();
    UpdateDisplay(ctx);
}

}  // namespace vk
