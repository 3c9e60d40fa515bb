// The full redraw of the panels, and what the window shows around them:
// panel layout, title bars, live captions, menu checks and status bar.
#pragma once

#include <string>

#include "electrograms/PanelCursor.h"
#include "session/Draw.h"

namespace vk {

// The redraw every command context carries (see RedrawFn): panel 1 or 2
// alone, or with 0 panel A, then panel B when tiled, then the window's
// labels and menus (through Host::displayUpdated).
void RedrawPanels(Ctx& ctx, int panel);
void UpdateDisplayA(Ctx& ctx);
void UpdateDisplayB(Ctx& ctx);

// Panel rectangles in the main area.
struct PanelRect {
    int left = 0, top = 0, width = 0, height = 0;
};
struct PanelLayout {
    PanelRect a, b;
};
PanelLayout SetPanels(const SessionState& s, int mainWidth, int mainHeight);

// What a panel's title bar shows.
struct TitleBarState {
    bool traceOrder = false, amplify = false, markNr = false;  // electrogram controls
    bool paging = false, waveNav = false;                      // "<" ">" or "W+" "W-"
    Colour colour = clRed;
    std::string caption;
};
TitleBarState TitleBarOf(const SessionState& s, int panel);
Colour TitleBarColour(int markType);

// Menu check marks and enabled states that follow the session.
struct MenuChecks {
    int mapKindA = 0, mapKindB = 0;       // the checked map item (6 checks none)
    int markTypeA = 1, markTypeB = 1;     // the checked mark-type item
    bool waveStatistics = false, amplitudes = false, analyse = false, swsAndSpikes = false;
    bool undoEnabled = false, unhideEnabled = false;
    bool plotOnlyDots = false, plotMarkNr = false;
    bool rectangle = true;                // tile type
};
MenuChecks UpdateChecks(const SessionState& s);

// Texts of the five status-bar labels, left to right.
struct StatusTexts {
    std::string fileName, matrix, refTime, sigLength, amplitude;
};
StatusTexts StatusBarTexts(const SessionState& s);

}  // namespace vk
