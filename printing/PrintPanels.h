// The content of one printed panel: a map or wave map as a line drawing with
// numbers, electrogram traces with their marks and connections, or small
// electrograms laid out in the order of the electrode matrix. Drawing is in
// black only, with lines, circles and text.
#pragma once

#include "session/Context.h"

namespace vk {

// A panel's rectangle on the page (printer pixels).
struct PrintBox {
    int left = 0, top = 0, width = 0, height = 0;
};

// The outline of a rectangle as four lines, clockwise from its top-left corner.
void PrintRectangle(Canvas& page, int x1, int y1, int x2, int y2);
// A small cross: a horizontal and a vertical stroke of half-length `half`.
void PrintCross(Canvas& page, int x, int y, int half);

// The map of `panel` (1 A, 2 B) as its display shows it (MapKind, MapBegin,
// MapWindow set for the panel): outline with ticks and numbers, the circles
// of the traced electrodes when `circles`, the cell values and the
// isochrone lines. The buffer is reloaded for the panel first.
void PrintMapPanel(Ctx& ctx, Canvas& page, const PrintBox& box, int panel, bool circles);

// The electrograms of BeginTime / WindowTime with frame, time axis, trace
// labels, marks and connections.
struct PrintTraceGeometry {
    int32_t first = 0, last = 0;  // sample rows; the trace runs over first+1 .. last
    double px = 1.0;              // pixels per sample
    double spacing = 1.0;         // pixels between traces
    int left = 0, top = 0, plotWidth = 0, plotHeight = 0;
    int baseline(int k) const;
};
PrintTraceGeometry CalcPrintElgSize(const SessionState& s, const PrintBox& box);
void PrintElectrogramPanel(Ctx& ctx, Canvas& page, const PrintBox& box);

// The electrograms of panel A in the cells of the electrode matrix.
void PrintMatrixElectrograms(Ctx& ctx, Canvas& page, const PrintBox& box);

// The connections that start on electrode e, drawn on the trace at position
// k: a line from its first mark to its second and a circle round the end.
void PrintConnections(Ctx& ctx, Canvas& page, const PrintTraceGeometry& g, int k, int32_t e);

}  // namespace vk
