// Loading the map buffer from the marks, and where the cells lie on a panel.
//
// A map cell belongs to the grid position of an electrode (ElectrodeCol,
// ElectrodeRow). The activation time of a cell is the earliest visible mark
// of the electrode in the panel's time window, relative to RefTime. Cells
// crossed out (Excluded) or filled by map expansion survive every reload.
#pragma once

#include "session/SessionState.h"

namespace vk {

// True when electrode e (1..256) has a position on the grid.
bool IsPlaced(const SessionState& s, int e);

// The map window and kind of panel 1 (A) or 2 (B) become the per-draw
// MapBegin, MapWindow and MapKind.
void SetMapWindowOfPanel(SessionState& s, int panel);

// Cell size and the map's extent for a paint box of this size: square cells
// anchored at MapLeft, MapTop; fills CellWidth, CellHeight, MapRight,
// MapBottom. Needs NrColumns and NrRows of at least 1.
void SizeMapCells(SessionState& s, int paintWidth, int paintHeight);

// Resets the cells and loads them for MapKind from the marks of `markType`
// (the mark type of the panel being drawn) in MapBegin..MapBegin+MapWindow.
void LoadMap(SessionState& s, int markType);
// The time load alone (time, interval and mark-number maps): fills Time and
// MarkNr, MinMapTime, MaxMapTime, MapTimeCount and EarliestTime.
void LoadTimeMap(SessionState& s, int markType);

// The interval of every mark in the window of the electrogram display drawn
// last (BeginTime, WindowTime) to the next mark of its electrode (slow waves
// to the next slow wave, other marks to the next mark of any type), into
// MarkMeasures; Missing for the others.
void CalcNextIntervals(SessionState& s);

// When panel `panel` shows electrograms beside a map in the other panel,
// loads the buffer as that map's next draw will, so that the trace labels
// are coloured by the map the user sees. Does nothing otherwise.
void LoadMapShownBeside(SessionState& s, int panel);

// The outline rectangle of an electrode's cell (left, top, right, bottom).
struct CellBox {
    int left = 0, top = 0, right = 0, bottom = 0;
};
CellBox CellRect(const SessionState& s, int e);
// The centre of the cell at (column, row), used by isochrones and arrows.
Point CellCentre(const SessionState& s, int column, int row);

// The highest-numbered electrode placed at (column, row), or Missing when
// none is; false (and `electrode` unchanged) outside the grid.
bool PositionToElectrode(const SessionState& s, int column, int row, int32_t& electrode);

// The grid cell under a pixel of the map drawn last; false when the pixel
// lies outside the cells.
bool MapCellAt(const SessionState& s, int x, int y, int& column, int& row);
// The electrode of a grid position as the matrix file gave it (-1 or Missing
// when none).
int32_t GridElectrode(const SessionState& s, int column, int row);

// Strictly inside the map area of the map drawn last.
bool InsideMapArea(const SessionState& s, int x, int y);

// The time that cell (column, row) showed on panel 1 (A) or 2 (B) when that
// panel's map was drawn last, or Missing.
int32_t MapCellTime(const SessionState& s, int panel, int column, int row);
// Keeps the cell times just drawn as the map of `panel`.
void RememberPanelMap(SessionState& s, int panel);

}  // namespace vk
