#include "maps/MiniMap.h"

#include "layout/TraceLayout.h"
#include "maps/MapBuffer.h"
#include "session/Draw.h"

namespace vk {

namespace {

// Dots at every grid position and frames round the electrodes of the traces;
// `framed` says which electrodes get one.
template <typename Framed>
void drawDotsAndFrames(const SessionState& s, Canvas& c, int cell, int dotFrom, int dotTo, int frameOffset,
                       int frameSize, Framed framed) {
    c.setBrushStyle(BrushStyle::Solid);
    c.setBrushColor(clBlack);
    c.setPenColor(clBlack);
    for (int column = 1; column <= s.NrColumns; ++column)
        for (int row = 1; row <= s.NrRows; ++row)
            c.ellipse(column * cell + dotFrom, row * cell + dotFrom, column * cell + dotTo, row * cell + dotTo);
    c.setBrushStyle(BrushStyle::Clear);
    for (int k = 1; k <= s.NrTraces; ++k) {
        const int32_t e = ElectrodeOfRow(s, k);
        // A trace without a placed electrode has nothing to frame.
        if (!IsPlaced(s, e) || !framed(e)) continue;
        const int x1 = (s.ElectrodeCol[static_cast<size_t>(e)] - 1) * cell + frameOffset;
        const int y1 = (s.ElectrodeRow[static_cast<size_t>(e)] - 1) * cell + frameOffset;
        c.rectangle(x1, y1, x1 + frameSize, y1 + frameSize);
    }
}

}  // namespace

namespace {

// A paint box of `cell` pixels per position plus a margin, in a window
// `border` pixels larger each way.
MiniSize miniSize(const SessionState& s, int cell, int extraWidth, int extraHeight, int border) {
    MiniSize m;
    m.paintWidth = s.NrColumns * cell + extraWidth;
    m.paintHeight = s.NrRows * cell + extraHeight;
    m.windowWidth = m.paintWidth + border;
    m.windowHeight = m.paintHeight + border;
    return m;
}

}  // namespace

MiniSize MiniMapSize(const SessionState& s) { return miniSize(s, MiniCell, 11, 21, 20); }
MiniSize MiniGridSize(const SessionState& s) { return miniSize(s, MiniGridCell, 8, 8, 40); }

void DrawMiniMap(const SessionState& s, Canvas& c, Colour face) {
    const MiniSize m = MiniMapSize(s);
    c.setBrushStyle(BrushStyle::Solid);
    c.setBrushColor(face);
    c.setPenColor(face);
    c.rectangle(0, 0, m.windowWidth, m.windowHeight);
    // Dots from (col*10 + 1, row*10 + 1) to (col*10 + 5, row*10 + 5);
    // frames of 10 pixels round them. Electrodes below 17 are channels that carry no frame.
    drawDotsAndFrames(s, c, MiniCell, 1, 5, 8, 10, [](int32_t e) { return e >= 17; });
}

void DisplayMiniGrid(const SessionState& s, Canvas& c) {
    const MiniSize m = MiniGridSize(s);
    c.setBrushStyle(BrushStyle::Solid);
    c.setBrushColor(clWhite);
    c.setPenColor(clBlack);
    c.rectangle(1, 1, m.paintWidth, m.paintHeight);
    drawDotsAndFrames(s, c, MiniGridCell, 0, 2, 4, 9, [](int32_t) { return true; });
}

std::string MiniMapMouse(SessionState& s, int x, int y) {
    const int column = (x - 1 - 5) / MiniCell + 1, row = (y - 1 - 5) / MiniCell + 1;
    if (column > s.NrColumns || row > s.NrRows) {
        s.MiniElectrode = -1;
    } else {
        PositionToElectrode(s, column, row, s.MiniElectrode);
    }
    return "  X = " + std::to_string(column) + "     Y = " + std::to_string(row) +
           "   Ele = " + std::to_string(s.MiniElectrode);
}

void MiniMapClick(Ctx& ctx) {
    SessionState& s = ctx.s;
    if (s.MiniElectrode == -1 || s.MiniElectrode == Missing) return;
    s.FirstChannel = s.MiniElectrode;
    // The grid orders start at the electrode's position, as after a click on a map cell.
    if (IsPlaced(s, s.MiniElectrode)) {
        s.StartCol = s.ElectrodeCol[static_cast<size_t>(s.MiniElectrode)];
        s.StartRow = s.ElectrodeRow[static_cast<size_t>(s.MiniElectrode)];
    }
    ctx.host.beep();
    UpdateDisplay(ctx);
}

void ShowMiniMap1Click(Ctx& ctx) {
    ctx.s.ShowMiniMap = !ctx.s.ShowMiniMap;
    ctx.host.displayUpdated();
}

void ShowMiniWindow1Click(Ctx& ctx) {
    ctx.s.ShowMiniWindow = !ctx.s.ShowMiniWindow;
    if (ctx.s.ShowMiniWindow) {
        ctx.host.displayUpdated();
    } else {
        UpdateDisplay(ctx);
    }
}

std::string MiniMapItemCaption(const SessionState& s) { return s.ShowMiniMap ? "hide MiniMap" : "show MiniMap"; }
std::string MiniWindowItemCaption(const SessionState& s) {
    return s.ShowMiniWindow ? "hide Mini Window" : "show Mini Window";
}

}  // namespace vk
