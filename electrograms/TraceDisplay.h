// The electrogram panel: a stack of traces over one time window with the
// marks of each trace, the time axis and the amplitude scale bar, drawn on
// the trace geometry of layout/TraceLayout.h.
#pragma once

#include <string>
#include <vector>

#include "layout/TraceLayout.h"
#include "session/Context.h"

namespace vk {

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

// The display options of the Electrograms menu: toggles and their captions.
enum class ElgOption { Marks, Times, SWIntervals, SpikeIntervals, BackgroundColor, AverageOffset, OnlyDots, MarkNr };
void ToggleElgOption(Ctx& ctx, ElgOption option);
// The caption an option's menu item shows after it was toggled at least once.
std::string ElgOptionCaption(const SessionState& s, ElgOption option);

}  // namespace vk
