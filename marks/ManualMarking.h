// Marking by hand on the electrogram panels: a click places a mark under the
// cursor, a Shift-click the steepest downstroke near it; keys delete, switch,
// insert reference marks and spread a mark over the electrode grid.
//
// Every one of them acts on the electrode under the mouse. Where the row
// shows none (between rows, past electrode 256, an empty grid position) a
// click, a Shift-click, R and W beep and place nothing, and D, S and K do
// nothing.
//
// Times are milliseconds everywhere a user sees them. Where the signal is
// searched, a time becomes the sample index round(t * rate / 1000) and a
// sample found becomes round(s * 1000 / rate) ms again; at 1000 Hz both are
// the same number.
#pragma once

#include "session/Context.h"
#include "session/SampleTime.h"

namespace vk {

// Searches the signal of `electrode` for the downstroke of a mark of
// `markType` between the times low and high (ms), with the method of the
// preferences. Returns the time found, or Missing (after a beep).
int32_t SearchDownstroke(Ctx& ctx, int32_t electrode, int markType, int32_t low, int32_t high);
// Missing when a mark of this type on this electrode already lies within
// time +- (avoidance width div 2), ends included; otherwise time.
int32_t AvoidDoubleMark(const SessionState& s, int32_t electrode, int markType, int32_t time);

// A click at (x, y) on the electrograms of a panel (1 = A, 2 = B), with the
// cursor state already at the click: the first click on the plot area arms
// marking, later ones place a mark; shift: search the downstroke.
void MarkClick(Ctx& ctx, int panel, int x, int y, bool shift);

// Whether (x, y) lies strictly inside the plot area of an electrogram panel,
// where the marking keys act (shell/KeyMap routes them).
bool InsidePlotArea(const SessionState& s, int panel, int x, int y);

void DeleteMark(Ctx& ctx);
void SwitchMark(Ctx& ctx);
void InsertReferenceMark(Ctx& ctx);
void PropagateMark(Ctx& ctx);

// The up/down buttons beside "Mark nr " of a panel.
void StepMarkNr(Ctx& ctx, int panel, bool up);

}  // namespace vk
