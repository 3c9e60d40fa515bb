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

// Texts of the five status-bar labels, left to right.
struct StatusTexts {
    std::string fileName, matrix, refTime, sigLength, amplitude;
};
StatusTexts StatusBarTexts(const SessionState& s);

}  // namespace vk
