// Drawing on the panels: the primitives that reach panel A, panel B or
// both through the DrawOnA / DrawOnB flags, feedback on one panel between
// redraws, and the redraw that ends nearly every command.
#pragma once

#include <string>
#include <vector>

#include "session/Context.h"

namespace vk {

// The full redraw: panel A, then panel B when tiled, then the window's
// labels and menus (through Host::displayUpdated).
void UpdateDisplay(Ctx& ctx);
// Redraws one panel (1 = A, 2 = B) and brings the window in line.
void RedrawPanel(Ctx& ctx, int panel);

// Which panel the primitives below reach.
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

}  // namespace vk
