// The redraw that ends nearly every command, and the drawing primitives that
// reach panel A, panel B or both through the DrawOnA / DrawOnB flags.
#pragma once

#include <string>
#include <vector>

#include "shell/Context.h"

namespace vk {

// The full redraw: panel A, then panel B when tiled, then the window's
// labels and menus (through Host::displayUpdated).
void UpdateDisplay(Ctx& ctx);
void UpdateDisplayA(Ctx& ctx);
void UpdateDisplayB(Ctx& ctx);

void FocusDisplayA(SessionState& s);
void FocusDisplayB(SessionState& s);

// Primitives on the panel(s) named by DrawOnA / DrawOnB.
void Line(Ctx& ctx, int x1, int y1, int x2, int y2);
void Rectangle(Ctx& ctx, int x1, int y1, int x2, int y2);
void Ellipse(Ctx& ctx, int x1, int y1, int x2, int y2);
void SetPenColor(Ctx& ctx, Colour c);
void SetPenWidth(Ctx& ctx, int w);
void SetBrushColor(Ctx& ctx, Colour c);
void SetBrushStyle(Ctx& ctx, BrushStyle style);
void TextOut(Ctx& ctx, int x, int y, Colour c, const std::string& text);
void SetFontStyle(Ctx& ctx, unsigned styles);
void Polyline(Ctx& ctx, const std::vector<Point>& points);
// Text measures on the panel being drawn.
int TextWidth(Ctx& ctx, const std::string& text);
int TextHeight(Ctx& ctx, const std::string& text);

// Immediate feedback drawn on one panel (1 = A, 2 = B) between full
// redraws, e.g. on the panel that was clicked rather than the panel drawn
// last: for its lifetime the primitives go to that panel only.
class DrawOnPanel {
public:
    DrawOnPanel(Ctx& ctx, int panel);
    ~DrawOnPanel();
    DrawOnPanel(const DrawOnPanel&) = delete;
    DrawOnPanel& operator=(const DrawOnPanel&) = delete;
    bool ready() const { return canvas_ != nullptr; }

private:
    Ctx& ctx_;
    Canvas* canvas_;
    bool onA_, onB_;
};

// Redraws one panel (1 = A, 2 = B) and brings the window in line.
void RedrawPanel(Ctx& ctx, int panel);

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

// The mouse moved over panel 1 (A) or 2 (B): cursor state and the live
// caption follow. Nothing happens over panel A before a recording is open.
void MouseMoved(SessionState& s, int panel, int x, int y);
// The live caption of a panel for the current mouse position.
std::string PanelCaption(SessionState& s, int panel);

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
