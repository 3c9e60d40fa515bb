// What the mouse is over: the cursor state of a panel (time, trace,
// electrode or map cell), the live caption of its title bar, and where a
// click on the panel goes (marking or the map).
#pragma once

#include <string>

#include "session/Context.h"

namespace vk {

// The mouse moved over panel 1 (A) or 2 (B): cursor state and the live
// caption follow. Nothing happens over panel A before a recording is open.
void MouseMoved(SessionState& s, int panel, int x, int y);
// The live caption of a panel for the current mouse position.
std::string PanelCaption(SessionState& s, int panel);
// What that caption says without the mouse: what the panel shows and its
// window ("(0-4000)", "Slow Wave (0-8000)", "Wave Map nr: 3 of 5    (Slow Wave)").
// The live caption is this followed by the cursor's part; a printed panel
// bar shows only this.
std::string PanelTitle(const SessionState& s, int panel);

// A click at (x, y) on a panel (1 = A, 2 = B): on electrograms it marks
// (shift: search the downstroke), on a map or wave map the cell's electrode
// becomes the first trace.
void PanelClick(Ctx& ctx, int panel, int x, int y, bool shift);

}  // namespace vk
