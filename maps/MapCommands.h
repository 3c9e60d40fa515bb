// What the user does to a map: the switches and questions of the Map menu,
// clicks and double clicks on the cells, and the keys over the map area.
#pragma once

#include <string>

#include "session/Context.h"

namespace vk {

// The toggles of the Map menu.
enum class MapOption { Grid, Colors, Digits, Isochrones, SWsAndSpikes, Arrows };
void ToggleMapOption(Ctx& ctx, MapOption option);
// The caption an option's menu item shows once it has been toggled.
std::string MapOptionCaption(const SessionState& s, MapOption option);

// Map > "change Isochrones": the width of the isochrones and colour bands;
// 0 and below are refused with a beep and the message below, and asked
// again. Throws ConversionError for text that is not a number.
inline constexpr const char* IsochroneRefusalText = "The isochrone width must be at least 1 msec !";
void ChangeIsochrones1Click(Ctx& ctx);
// Map > "Reference Time": the time subtracted from every mark time in maps;
// negative values are refused with a beep.
void ReferenceTime1Click(Ctx& ctx);

// A click on a map (or wave map) cell of panel 1 (A) or 2 (B) at pixel
// (x, y): the cell's electrode becomes the first trace (and is put into or
// taken out of the free trace list when the traces are in free order).
void MapClick(Ctx& ctx, int panel, int x, int y);
// A double click on a map cell: crosses the cell until the next redraw.
void MapDoubleClick(Ctx& ctx, int panel, int x, int y);
// A letter key with the mouse (MouseX, MouseY) inside the map area:
// H hides the marks that give the cell under the mouse its time, U shows
// all marks of that cell's electrode again, E fills the cell from its
// neighbours (map expansion).
void MapKey(Ctx& ctx, int panel, char key);

}  // namespace vk
