// The electrogram panel: a stack of traces over one time window with the
// marks of each trace, the time axis and the amplitude scale bar; and the
// mapping between trace rows and electrodes that marking and the mouse use.
#pragma once

#include <string>
#include <vector>

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

// Colour of a mark type ($00BBGGRR); black for references and deleted slots.
Colour MarkColour(int markType);

// Paints the electrogram panel for BeginTime / WindowTime on the panel(s)
// named by DrawOnA / DrawOnB, and leaves its geometry in the session.
void PaintElectrograms(Ctx& ctx);

// The pieces of that painting which the other electrogram views share.
// The geometry (kept in the session), the white background and, once a
// recording is loaded, the baselines of NrTraces rows and the time axis.
TraceGeometry BeginElectrogramPanel(Ctx& ctx);
void DrawTimeAxis(Ctx& ctx, const TraceGeometry& g);
// Trace and marks of electrodes[k - 1] in row k, for every row, and the
// connections that start on each row but the last.
void DrawTraceRows(Ctx& ctx, const TraceGeometry& g, const std::vector<int32_t>& electrodes);
// The line of electrode e on row k through every drawn point, read from
// the samples point by point, with the mean of the last drawing: the
// trace as it was drawn before pixel columns were reduced to their
// extremes, which the drawn trace must match pixel for pixel.
std::vector<Point> EveryPointOfTrace(const SessionState& s, const TraceGeometry& g, int k, int32_t e);
// Whether the other panel shows a map now. Only then do the time labels
// take the map's colours: the map buffer may still hold a map that is no
// longer shown (another display type, another recording opened since).
bool MapShownBeside(const SessionState& s);
// The marks of electrode e on row k.
void DrawMarksOfRow(Ctx& ctx, const TraceGeometry& g, int k, int32_t e);

// The interval of every mark in the time window to the previous mark on its
// electrode (slow waves to slow waves, other marks to any mark).
void CalcIntervals(SessionState& s);

// The arrow and page keys move the start cell of the trace order.
enum class NavKey { Up, Down, Left, Right, PageUp, PageDown };
void MoveStartCell(Ctx& ctx, NavKey key);

// The trace-order box of a panel chose item `item` (0 Horizontal, 1 Vertical,
// 2 Sequential, 3 Free, 4 Bipolar, 5 Opposite).
void ChooseTraceOrder(Ctx& ctx, int panel, int item);
inline const char* const TraceOrderItems[] = {"Horizontal", "Vertical", "Sequential", "Free", "Bipolar", "Opposite"};

// Puts an electrode into the free trace list, or takes it out when present.
void ToggleFreeTrace(SessionState& s, int32_t electrode);

// The display options of the Electrograms menu: toggles and their captions.
enum class ElgOption { Marks, Times, SWIntervals, SpikeIntervals, BackgroundColor, AverageOffset, OnlyDots, MarkNr };
void ToggleElgOption(Ctx& ctx, ElgOption option);
// The caption an option's menu item shows after it was toggled at least once.
std::string ElgOptionCaption(const SessionState& s, ElgOption option);

}  // namespace vk
