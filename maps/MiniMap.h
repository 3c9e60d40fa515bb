// The two small stay-on-top windows of the electrode array: a dot per grid
// position, and a frame around each electrode whose trace the electrogram
// panel shows, so the user sees where on the array the traces come from.
// The mini map also names the position and electrode under the mouse and
// moves the traces to an electrode on a click; the mini grid is a smaller,
// passive version.
#pragma once

#include <string>

#include "session/Context.h"

namespace vk {

inline constexpr int MiniCell = 10;      // mini map pixels per grid position
inline constexpr int MiniGridCell = 8;   // mini grid pixels per grid position
inline constexpr Colour ButtonFace = 0x00F0F0F0;

struct MiniSize {
    int paintWidth = 0, paintHeight = 0;    // the paint box
    int windowWidth = 0, windowHeight = 0;  // the window's client area
};
MiniSize MiniMapSize(const SessionState& s);
MiniSize MiniGridSize(const SessionState& s);

// Draws the mini map or the mini grid on a canvas of the paint box's size.
// `face` is the window background of the mini map (the system's button colour).
void DrawMiniMap(const SessionState& s, Canvas& canvas, Colour face = ButtonFace);
void DisplayMiniGrid(const SessionState& s, Canvas& canvas);

// The mouse at (x, y) on the mini map: sets MiniElectrode (-1 beyond the
// grid, Missing on an empty position) and returns the window caption.
std::string MiniMapMouse(SessionState& s, int x, int y);
// A click on the mini map: an electrode under the mouse becomes the first
// trace; beeps and redraws. Nothing happens beyond the grid.
void MiniMapClick(Ctx& ctx);

// Map > "Show MiniMap" and General > "show Mini Window": toggle the windows
// (redrawing the main window when the mini grid goes away), and the
// captions the items show afterwards.
void ShowMiniMap1Click(Ctx& ctx);
void ShowMiniWindow1Click(Ctx& ctx);
std::string MiniMapItemCaption(const SessionState& s);
std::string MiniWindowItemCaption(const SessionState& s);

}  // namespace vk
