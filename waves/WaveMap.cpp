#include "waves/WaveMap.h"

#include <algorithm>

#include "maps/MapBuffer.h"
#include "maps/MapDraw.h"
#include "maps/MapStatistics.h"
#include "maps/Velocity.h"
#include "session/Draw.h"
#include "waves/WaveDetection.h"
#include "waves/WaveformGrid.h"

namespace vk {

void LoadMapBuf(SessionState& s, int w) {
    const int columns = std::clamp(s.NrColumns, 0, MapGridSize), rows = std::clamp(s.NrRows, 0, MapGridSize);
    int32_t earliest = 64999;
    for (int c = 1; c <= columns; ++c)
        for (int r = 1; r <= rows; ++r) {
            const int32_t e = ElectrodeAt(s, c, r);
            const int32_t t = e == Missing ? Missing : WaveTimeAt(s, e, w);
            s.MapBuf.at(c, r).Time = t;
            if (t != Missing) earliest = std::min(earliest, t);
        }
    if (!s.PlotLocalTimes) return;
    // The wave starts at 0: every time becomes the delay after its earliest one.
    for (int c = 1; c <= columns; ++c)
        for (int r = 1; r <= rows; ++r) {
            int32_t& t = s.MapBuf.at(c, r).Time;
            if (t != Missing) t -= earliest;
        }
}

void LoadTim2(SessionState& s, int n, int markType) {
    for (int e = 1; e <= MaxChannels; ++e) {
        if (!IsPlaced(s, e)) continue;
        MapCell& c = s.MapBuf.at(s.ElectrodeCol[static_cast<size_t>(e)], s.ElectrodeRow[static_cast<size_t>(e)]);
        c.Time = Missing;
        c.Electrode = Missing;
        c.Amplitude = c.Slope = c.Velocity = Missing;
        c.Count = 0;
    }
    s.WaveCount = 0;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Time == Missing || !IsPlaced(s, m.Electrode)) continue;
        s.WaveCount = std::max<int32_t>(s.WaveCount, m.MarkNr);
        if (m.Time < s.RefTime || m.MarkType != markType || m.MarkNr != n) continue;
        MapCell& c = s.MapBuf.at(s.ElectrodeCol[m.Electrode], s.ElectrodeRow[m.Electrode]);
        if (s.MapKind == CountMapKind) c.Count += 1;
        // The earliest mark of the number sets the cell (the absolute time).
        if (c.Time != Missing && c.Time <= m.Time) continue;
        c.Time = m.Time;
        if (s.MapKind == ElectrodeMapKind) c.Electrode = m.Electrode;
    }
}

namespace {

// The statistics line above the map.
void drawWaveStats(Ctx& ctx) {
    SessionState& s = ctx.s;
    const WaveStatistics w = CalcWaveStats(s, [&](int c, int r) { return s.MapBuf.at(c, r).Time; });
    s.WaveSites = w.sites;
    s.WaveXSize = w.xSize;
    s.WaveYSize = w.ySize;
    if (!w.any) return;
    s.WaveCentreCol = w.centreCol;
    s.WaveCentreRow = w.centreRow;
    const auto texts = WaveStatsTexts(s, w);
    SetBrushColor(ctx, clWhite);
    TextOut(ctx, 4, 4, clBlack, texts[0]);
    TextOut(ctx, 140, 4, clBlack, texts[1]);
    TextOut(ctx, 280, 4, clBlack, texts[2]);
}

void displayWave(Ctx& ctx, int panel, int32_t isochroneOffset) {
    SessionState& s = ctx.s;
    Canvas* canvas = panel == 2 ? ctx.canvasB : ctx.canvasA;
    const int width = canvas ? canvas->width() : s.PanelAWidth;
    const int height = canvas ? canvas->height() : s.PanelAHeight;
    s.MapTop = s.ShowWaveStatistics ? 20 : 0;
    SizeCellsInPanel(s, width, height);
    ClearMapPanel(ctx, width, height);
    for (int e = 1; e <= MaxChannels; ++e) {
        if (!IsPlaced(s, e)) continue;
        const int column = s.ElectrodeCol[static_cast<size_t>(e)], row = s.ElectrodeRow[static_cast<size_t>(e)];
        const MapCell& c = s.MapBuf.at(column, row);
        if (c.Time == Missing) continue;
        const int x1 = (column - 1) * s.CellWidth + s.MapLeft, y1 = (row - 1) * s.CellHeight + s.MapTop;
        int64_t value = c.Time;
        if (s.MapKind == ElectrodeMapKind) value = c.Electrode;
        if (s.MapKind == CountMapKind) value = c.Count;
        const bool realKind = s.MapKind == AmplitudeMapKind || s.MapKind == SlopeMapKind || s.MapKind == VelocityMapKind;
        const double real = s.MapKind == AmplitudeMapKind ? c.Amplitude : s.MapKind == SlopeMapKind ? c.Slope : c.Velocity;
        if (value == Missing) continue;
        // The colour follows the time; the digits show the map kind's value.
        const Colour colour = MapColour(s, realKind ? c.Time : value);
        SetBrushColor(ctx, colour);
        SetPenColor(ctx, colour);
        if (s.ShowMapColors) Rectangle(ctx, x1, y1, x1 + s.CellWidth, y1 + s.CellHeight);
        if (s.ShowMapDigits) DrawCellValue(ctx, x1, y1, value, real, realKind);
    }
    if (s.ShowGrid) DrawMapGrid(ctx);
    if (s.PlotIsochrones) {
        // A wave is drawn whole, whatever the panel's time window.
        s.MapBegin = 0;
        s.MapWindow = INT32_MAX / 2;
        DrawIsochrones(ctx, isochroneOffset);
    }
    if (s.Tiled) DrawTraceOutlines(ctx);
    if (s.ShowWaveStatistics) drawWaveStats(ctx);
    RememberPanelMap(s, panel);
}

}  // namespace

void DrawWaveMap(Ctx& ctx, int panel) {
    SessionState& s = ctx.s;
    const int32_t wave = panel == 2 ? s.WaveNrB : s.WaveNrA;
    const int markType = s.CurrentMarkType[static_cast<size_t>(panel == 2 ? 2 : 1)];
    if (s.NrColumns < 1 || s.NrRows < 1) {
        Canvas* canvas = panel == 2 ? ctx.canvasB : ctx.canvasA;
        ClearMapPanel(ctx, canvas ? canvas->width() : s.PanelAWidth, canvas ? canvas->height() : s.PanelAHeight);
        return;
    }
    if (s.WaveMode == 1) {
        if (s.WavesOutdated) CalculateWaves(ctx, markType);
        LoadMapBuf(s, wave);
        if (s.AutoPositioning && wave != s.PrevWaveNr) AutoPositionElectrograms(s);
        // Wave times are relative to the reference time.
        displayWave(ctx, panel, s.PlotLocalTimes ? 0 : s.RefTime);
        if (s.PlotArrows) DrawVelocities(ctx);
        if (s.ShowMapStatistics) CalcMapStats(s);
        s.PrevWaveNr = wave;
    } else {
        LoadTim2(s, wave, markType);
        displayWave(ctx, panel, 0);
    }
}

}  // namespace vk
