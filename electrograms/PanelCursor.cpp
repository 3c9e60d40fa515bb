#include "electrograms/PanelCursor.h"

#include <algorithm>

#include "layout/TraceLayout.h"
#include "maps/MapBuffer.h"
#include "maps/MapCommands.h"
#include "marks/ManualMarking.h"
#include "session/Numbers.h"

namespace vk {

void MouseMoved(SessionState& s, int panel, int x, int y) {
    if (panel == 1 && !s.FileLoaded) return;
    s.MouseX = x;
    s.MouseY = y;
    s.ActiveDisplay = panel;
    if (!s.SignalsLoaded) return;
    (panel == 2 ? s.CaptionB : s.CaptionA) = PanelCaption(s, panel);
}

std::string PanelTitle(const SessionState& s, int panel) {
    const bool b = panel == 2;
    const int type = b ? s.DisplayTypeB : s.DisplayTypeA;
    const int32_t begin = b ? s.BeginTimeB : s.BeginTimeA;
    const int32_t window = b ? s.WindowB : s.WindowA;
    const int markType = s.CurrentMarkType[b ? 2 : 1];
    const std::string range = "(" + std::to_string(begin) + "-" + std::to_string(int64_t{begin} + window) + ")";
    if (type == 1) return range;
    if (type == 0) {
        const int mapKind = b ? s.MapKindB : s.MapKindA;
        std::string title = markType == Spike ? "Spikes" : markType == Type3 ? "Peristaltic Wave" : "Slow Wave";
        if (markType == SlowWave && mapKind == 3) title = "Slow Wave Intervals";
        if (markType == SlowWave && mapKind == 4) title = "Slow Wave Amplitude";
        if (markType == SlowWave && mapKind == 5) title = "Slow Wave Slope";
        if (mapKind == 2) title = "Electrode Matrix";
        return title + " " + range;
    }
    const std::string title = markType == Spike ? "(Spikes)" : markType == Type3 ? "(Peristaltic Wave)" : "(Slow Wave)";
    const std::string waves = "Wave Map nr: " + std::to_string(b ? s.WaveNrB : s.WaveNrA) + " of " +
                              std::to_string(s.WaveCount) + "   ";
    return waves + " " + title;
}

std::string PanelCaption(SessionState& s, int panel) {
    const bool b = panel == 2;
    const int type = b ? s.DisplayTypeB : s.DisplayTypeA;
    const int32_t begin = b ? s.BeginTimeB : s.BeginTimeA;
    const std::string title = PanelTitle(s, panel);
    if (type == 1) {
        if (!s.SignalsLoaded) return {};
        // The panel's own time window decides the time under the mouse.
        const TraceGeometry g = GeometryOfPanel(s, panel);
        const double perMs = std::max(1, s.SamplingFrequency) * g.pixelsPerSample / 1000.0;
        s.CursorTime = static_cast<int32_t>(roundHalfEven((s.MouseX - g.left) / perMs) + begin);
        const int64_t row = roundHalfEven(((s.MouseY - g.top) - roundHalfEven(g.traceSpacing / 2.0)) /
                                          static_cast<double>(g.traceSpacing)) + 1;
        if (row >= 1 && row <= s.NrTraces) {
            s.CurrentTrace = static_cast<int32_t>(row);
            s.CurrentElectrode = ElectrodeOfRow(s, s.CurrentTrace);
        } else {
            s.CurrentTrace = -1;
            s.CurrentElectrode = 0;
        }
        return title + " " + std::to_string(s.CursorTime) + " msec    " + " Elenr = " + std::to_string(s.CurrentElectrode);
    }
    const int column = s.CellWidth > 0 ? static_cast<int>((s.MouseX - s.MapLeft) / s.CellWidth) + 1 : 0;
    const int row = s.CellHeight > 0 ? static_cast<int>((s.MouseY - s.MapTop) / s.CellHeight) + 1 : 0;
    s.CellElectrode = (column >= 1 && column <= MaxGrid && row >= 1 && row <= MaxGrid)
                          ? s.MatrixGrid[static_cast<size_t>(column)][static_cast<size_t>(row)]
                          : Missing;
    const std::string cursor = std::to_string(column) + "x" + std::to_string(row) + " (Cell = " +
                               std::to_string(s.CellElectrode) + ")";
    if (type == 0) {
        const int32_t t = MapCellTime(s, panel, column, row);
        const std::string cellTime = "( t = " + (t == Missing ? std::string(" ") : std::to_string(t)) + ")";
        return title + " " + cursor + " " + cellTime;
    }
    return title + " " + cursor;
}

void PanelClick(Ctx& ctx, int panel, int x, int y, bool shift) {
    SessionState& s = ctx.s;
    if (!s.FileLoaded) return;
    MouseMoved(s, panel, x, y);
    const int type = panel == 2 ? s.DisplayTypeB : s.DisplayTypeA;
    if (type != 1) {
        // A map or wave map: the cell's electrode becomes the first trace.
        if (type == 0) s.MarkingArmed = false;
        MapClick(ctx, panel, x, y);
        return;
    }
    MarkClick(ctx, panel, x, y, shift);
}

}  // namespace vk
