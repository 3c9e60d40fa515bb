#include "waves/WaveformGrid.h"

#include <algorithm>

#include "maps/MapBuffer.h"
#include "session/Draw.h"
#include "session/SampleTime.h"
#include "session/Ask.h"
#include "waves/WaveDetection.h"

namespace vk {

namespace {

constexpr int GridMargin = 50;  // pixels of the paint box outside the cells
constexpr int GridTop = 20;

// One cell: the stretch of electrode e from WaveSegmentStart, its number
// when asked for, in green on the cell's middle line.
void drawCell(Ctx& ctx, int column, int row, int32_t e) {
    SessionState& s = ctx.s;
    const int32_t cellTime = s.WaveMarkAlign ? s.MapBuf.at(column, row).Time : Missing;
    const int32_t start = WaveSegmentOf(s, cellTime);
    if (start == Missing) return;
    s.WaveSegmentStart = start;
    const int cw = s.WaveCellWidth, ch = s.WaveCellHeight;
    const int x0 = s.PlotLeft + (column - 1) * cw;
    const int ym = static_cast<int>(roundHalfEven(s.PlotTop + row * ch - ch / 2.0));
    SetBrushColor(ctx, clWhite);
    if (s.WavePlotElgNr)
        TextOut(ctx, x0 + 1, static_cast<int>(roundHalfEven(ym + 1 - ch / 2.0)), DarkGreen, std::to_string(e));
    SetPenColor(ctx, DarkGreen);

    // The samples drawn: the stretch, never outside the rows of the recording.
    const int32_t first = std::max(start + 1, 1);
    const int32_t last = std::min<int64_t>(int64_t{start} + SampleOfTime(s, s.WaveSignalLength), RecordingRows(s));
    if (first > last) return;
    double mean = 0.0;
    if (s.AverageOffsetOn) {
        int64_t sum = 0;
        for (int32_t i = first; i <= last; ++i) sum += s.Signals.at(i, e);
        mean = static_cast<double>(sum) / (last - first + 1);
    }
    auto y = [&](int32_t i) { return clampPixel(ym - roundHalfEven((s.Signals.at(i, e) - mean) * s.Amplification)); };
    // Sample start + k at k cell-widths / length: the last sample lands on the
    // cell's right edge, never in the next cell.
    auto x = [&](int32_t i) { return clampPixel(x0 + roundHalfEven((int64_t{i} - start) * s.WaveXScale)); };
    if (s.PlotOnlyDots) {
        for (int32_t i = first; i <= last; ++i) Line(ctx, x(i), y(i), x(i) + 1, y(i) + 1);
        return;
    }
    std::vector<Point>& points = s.TracePoints;
    points.clear();
    points.push_back({x0, y(first)});
    for (int32_t i = first; i <= last; ++i) points.push_back({x(i), y(i)});
    Polyline(ctx, points);
}

// Every electrode of the array in its cell; with "Mark align?" each cell
// first gets its electrode's activation time in the panel's window.
void drawCells(Ctx& ctx, int columns, int rows) {
    SessionState& s = ctx.s;
    if (s.WaveMarkAlign) {
        SetMapWindowOfPanel(s, 1);
        s.MapKind = 0;
        LoadMap(s, s.CurrentMarkType[1]);
    }
    for (int column = 1; column <= columns; ++column)
        for (int row = 1; row <= rows; ++row) {
            int32_t e = Missing;
            if (PositionToElectrode(s, column, row, e) && e != Missing) drawCell(ctx, column, row, e);
        }
}

}  // namespace

void LayoutWaveformGrid(SessionState& s, int width, int height) {
    s.WaveSignalLength = std::max(1, s.WindowTime);
    const int columns = std::max(1, s.NrColumns), rows = std::max(1, s.NrRows);
    s.WaveCellHeight = std::max(0, (height - GridMargin) / rows);
    s.WaveCellWidth = std::max(0, (width - GridMargin) / columns);
    s.PlotLeft = (width - columns * s.WaveCellWidth) / 2;
    s.PlotTop = GridTop;
    s.WaveXScale = static_cast<double>(s.WaveCellWidth) / SampleOfTime(s, s.WaveSignalLength);
}

int32_t WaveSegmentOf(const SessionState& s, int32_t cellTime) {
    if (!s.WaveMarkAlign) return SampleOfTime(s, s.BeginTime);
    if (cellTime == Missing) return Missing;
    // The map holds times relative to the reference; the window is absolute.
    const int64_t t = int64_t{cellTime} + s.RefTime;
    if (t <= s.BeginTime || t >= int64_t{s.BeginTime} + s.WindowTime) return Missing;
    const int64_t length = SampleOfTime(s, s.WaveSignalLength);
    int64_t start = std::max<int64_t>(SampleOfTime(s, t) - length / 2, 1);
    if (start + length > RecordingRows(s)) start = std::max<int64_t>(RecordingRows(s) - length, 0);
    return static_cast<int32_t>(start);
}

void DrawWaveformGrid(Ctx& ctx) {
    SessionState& s = ctx.s;
    Canvas* canvas = s.DrawOnB && !s.DrawOnA ? ctx.canvasB : ctx.canvasA;
    // The paint box, below the panel's title bar: the labels under the grid
    // stay inside it.
    const int width = canvas ? canvas->width() : s.PanelAWidth;
    const int height = canvas ? canvas->height() : s.PanelAHeight;
    LayoutWaveformGrid(s, width, height);
    SetPenColor(ctx, clWhite);
    SetBrushStyle(ctx, BrushStyle::Solid);
    SetBrushColor(ctx, clWhite);
    Rectangle(ctx, 0, 0, width, height);
    SetPenColor(ctx, clBlack);
    const int columns = std::min(s.NrColumns, MaxGrid), rows = std::min(s.NrRows, MaxGrid);
    if (columns < 1 || rows < 1) return;
    const int l = s.PlotLeft, t = s.PlotTop, cw = s.WaveCellWidth, ch = s.WaveCellHeight;
    // Labels and electrode numbers before the grid lines: their white
    // background never covers a line.
    if (s.WaveGridLabel) {
        SetBrushColor(ctx, clWhite);
        for (int i = 1; i <= columns; ++i) {
            const int x = l + (i - 1) * cw + cw / 2;
            TextOut(ctx, x, t - 15, clBlack, std::to_string(i));
            TextOut(ctx, x, t + rows * ch + 8, clBlack, std::to_string(i));
        }
        for (int j = 1; j <= rows; ++j) {
            const int y = t + (j - 1) * ch + ch / 2;
            TextOut(ctx, l - 15, y, clBlack, std::to_string(j));
            TextOut(ctx, l + columns * cw + 8, y, clBlack, std::to_string(j));
        }
    }
    if (s.SignalsLoaded && cw >= 1 && ch >= 1) drawCells(ctx, columns, rows);
    SetPenColor(ctx, clBlack);
    if (s.WaveGrid) {
        for (int i = 1; i <= columns + 1; ++i) Line(ctx, l + (i - 1) * cw, t, l + (i - 1) * cw, t + rows * ch);
        for (int j = 1; j <= rows + 1; ++j) Line(ctx, l, t + (j - 1) * ch, l + columns * cw, t + (j - 1) * ch);
    }
}

WaveFormSettings WaveFormSettingsOf(const SessionState& s) {
    return {std::to_string(s.WaveSignalLength), s.WaveGrid, s.WaveMarkAlign, s.WavePlotElgNr, s.WaveGridLabel};
}

bool ApplyWaveFormSettings(Ctx& ctx, const WaveFormSettings& w) {
    const int32_t length = ParseTypedInteger(w.signalLength);
    if (length < 1) {
        ctx.host.beep();
        return false;
    }
    SessionState& s = ctx.s;
    // The grid draws the window of panel A (the layout takes the length from
    // it at every draw), so the length typed becomes that window, as panel
    // A's "W" would set it.
    s.WaveSignalLength = s.WindowA = s.WindowAll = length;
    s.WaveGrid = w.grid;
    s.WaveMarkAlign = w.markAlign;
    s.WavePlotElgNr = w.plotElgNr;
    s.WaveGridLabel = w.gridLabel;
    UpdateDisplay(ctx);
    return true;
}

void AutoPositionElectrograms(SessionState& s) {
    const WaveStatistics w = CalcWaveStats(s, [&](int c, int r) { return s.MapBuf.at(c, r).Time; });
    if (w.any) {
        s.WaveCentreCol = w.centreCol;
        s.WaveCentreRow = w.centreRow;
    }
    if (!s.Tiled) return;
    int32_t column = s.WaveCentreCol, row = s.WaveCentreRow;
    if (s.TraceOrder == 1) column -= s.NrTraces / 2;
    if (s.TraceOrder == 2) row -= s.NrTraces / 2;
    column = std::max(column, 1);
    row = std::max(row, 1);
    const int32_t e = ElectrodeAt(s, column, row);
    if (e == Missing) return;
    // The grid orders count from the start cell, the others from FirstChannel.
    s.FirstChannel = e;
    s.StartCol = column;
    s.StartRow = row;
}

}  // namespace vk
