// Where the traces of an electrogram panel lie and which electrode each row
// shows: the trace geometry for a time window, the mapping from trace rows
// to electrodes, and the commands that change the trace order. Marking, the
// maps, the mouse and the drawing of the traces all read the same geometry
// from here; nothing here draws.
#pragma once

#include "session/Context.h"

namespace vk {

// Where things are on an electrogram panel for one begin time and window.
struct TraceGeometry {
    int32_t left = 30, top = 10, width = 0, height = 0;
    int32_t traceSpacing = 100;
    int32_t firstSample = 0, lastSample = 0;
    double pixelsPerSample = 1.0;

    int32_t rowCentre(int k) const { return top + k * traceSpacing - traceSpacing / 2; }
    int32_t rowTop(int k) const;
    int32_t rowBottom(int k) const;
};

// The geometry for a begin time and window (ms) on the current panel size.
TraceGeometry ComputeGeometry(const SessionState& s, int32_t beginTime, int32_t windowTime);
// The geometry of panel 1 (A) or 2 (B) with that panel's own time window.
TraceGeometry GeometryOfPanel(const SessionState& s, int panel);

// The electrode that trace row k shows, or Missing.
int32_t ElectrodeOfRow(const SessionState& s, int k);

// The arrow and page keys move the start cell of the trace order.
enum class NavKey { Up, Down, Left, Right, PageUp, PageDown };
void MoveStartCell(Ctx& ctx, NavKey key);

// The trace-order box of a panel chose item `item` (0 Horizontal, 1 Vertical,
// 2 Sequential, 3 Free, 4 Bipolar, 5 Opposite).
void ChooseTraceOrder(Ctx& ctx, int panel, int item);
inline const char* const TraceOrderItems[] = {"Horizontal", "Vertical", "Sequential", "Free", "Bipolar", "Opposite"};

// Puts an electrode into the free trace list, or takes it out when present.
void ToggleFreeTrace(SessionState& s, int32_t electrode);

}  // namespace vk
