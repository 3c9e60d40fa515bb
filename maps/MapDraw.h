// Drawing a map panel: the colour bands, the digits of the cells, the grid,
// crossed-out cells, the outlines of the electrodes shown as traces, and the
// isochrone lines.
//
// The cells are coloured in bands of IsochroneWidth; the colours repeat
// after ColourCount bands. For the time map the bands start at the multiple
// of the width at or below the earliest time of the load, so that the
// earliest activation is always red.
#pragma once

#include <string>

#include "session/Context.h"

namespace vk {

inline constexpr int ColourCount = 10;
// The size of the panels' text, and the smallest size cell digits shrink
// to in cells too narrow for them.
inline constexpr int PanelTextPixels = 14;
inline constexpr int MinDigitPixels = 8;

// The colour band of a cell value of the current MapKind.
int32_t ValueToBand(const SessionState& s, int64_t value);
// The colour of a band ($00BBGGRR); grey outside 0..12.
Colour BandColour(int32_t band);
inline Colour MapColour(const SessionState& s, int64_t value) { return BandColour(ValueToBand(s, value)); }

// Time digits in TimeDigitFormat `format`: 0 (and any unknown format) the
// milliseconds as they are; 1..4 seconds with 3, 2, 1 or 0 decimals.
std::string TimeDigits(int64_t value, int format, char decimalSeparator);
// The text of a cell: integer kinds by TimeDigitFormat, the amplitude,
// slope and velocity kinds by ValueDigitFormat.
std::string CellValueText(const SessionState& s, int64_t value, double realValue, bool realKind);
// Writes the text of a cell centred in the cell whose top-left corner is
// (x1, y1), in a smaller size when the cell is too narrow for it.
void DrawCellValue(Ctx& ctx, int x1, int y1, int64_t value, double realValue, bool realKind);

// Sizes the cells of a map or wave map on a paint box of this size so that
// the grid's closing lines (one pixel past the last cell) stay on the box.
void SizeCellsInPanel(SessionState& s, int width, int height);
// White over the whole paint box.
void ClearMapPanel(Ctx& ctx, int width, int height);
// A black cross over the cell of electrode e (drawing only; the next redraw
// removes it).
void CrossCell(Ctx& ctx, int e);
// The isochrone lines of the buffer's Time values. A cell takes part when
// its time plus `timeOffset` lies in MapBegin..MapBegin+MapWindow (the time
// map's cells are relative to RefTime, so it passes RefTime).
void DrawIsochrones(Ctx& ctx, int32_t timeOffset);

// Sizes, loads and draws the map of the panel being drawn (ActiveDisplay,
// on the canvas named by DrawOnA / DrawOnB) for MapBegin, MapWindow, MapKind.
void DisplayMap(Ctx& ctx);
// The grid of the placed cells, and the outlines of the electrodes that the
// other panel shows as traces.
void DrawMapGrid(Ctx& ctx);
void DrawTraceOutlines(Ctx& ctx);

// The background of a trace's time label: when the label's time (relative
// to RefTime) is the time in the map cell of electrode e, the colour the map
// gives that time.
bool MapLabelColour(const SessionState& s, int e, int64_t relativeTime, Colour& colour);

}  // namespace vk
