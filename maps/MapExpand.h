// Map expansion: filling the holes of a map (cells without a time) with the
// mean of their valued neighbours, so that a map can be completed before it
// is coloured and its isochrones and arrows are drawn.
//
// Filled cells are flagged Expanded: the map load leaves them alone, so a
// filled value stays (in italic digits) when the window or the map kind
// changes, until the user removes the expansion. Every grid position takes
// part, also one that holds no electrode: it stays empty until it is filled,
// and from then on counts as a neighbour and enters the statistics.
#pragma once

#include "session/Context.h"

namespace vk {

// ExpandCycles passes over the grid, column by column; a hole with at
// least ExpandNeighbours valued side neighbours (up, left, down, right) gets
// their truncated mean. Cells filled earlier in a pass count for the cells
// after them. Does nothing when ExpandNeighbours is below 1.
void ExpandMapCells(SessionState& s);

// Fills the hole at (column, row) from its eight neighbours when at least
// ExpandNeighbours of them hold a time, and writes " valid = " n and
// " newtim = " the new time into the memo. False when nothing was filled.
bool FillCellAt(SessionState& s, int column, int row);
// FillCellAt for the cell of electrode e; false for an unplaced electrode.
bool FillCell(SessionState& s, int e);

// The key E over a map: beeps, fills the cell under the mouse and redraws.
void FillCellKey(Ctx& ctx);

// Map > "Expand Map": toggles ExpandMap; redraws only when it was switched on.
void ExpandMap1Click(Ctx& ctx);
// Map > "remove Expand": every cell loses its Expanded flag (the values stay
// until the next load resets them); beeps and redraws.
void RemoveExpand1Click(Ctx& ctx);

}  // namespace vk
