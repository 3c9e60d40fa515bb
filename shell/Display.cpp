#include "shell/Display.h"

#include "shell/Format.h"
#include "shell/TextFiles.h"

namespace vk {

namespace {

template <typename F>
void onTargets(Ctx& ctx, F&& f) {
    if (ctx.s.DrawOnA && ctx.canvasA) f(*ctx.canvasA);
    if (ctx.s.DrawOnB && ctx.canvasB) f(*ctx.canvasB);
}

// Clears a panel to its background before it is drawn again.
void clearPanel(Canvas& c) {
    c.setPenMode(PenMode::Copy);
    c.setPenColor(clWhite);
    c.setBrushStyle(BrushStyle::Solid);
    c.setBrushColor(clWhite);
    c.rectangle(0, 0, c.width(), c.height());
    c.setPenColor(clBlack);
}

void drawPanel(Canvas* canvas) {
    if (!canvas) return;
    canvas->beginDraw();
    clearPanel(*canvas);
    canvas->endDraw();
}

}  // namespace

void FocusDisplayA(SessionState& s) {
    s.DrawOnA = true;
    s.DrawOnB = false;
}

void FocusDisplayB(SessionState& s) {
    s.DrawOnA = false;
    s.DrawOnB = true;
}

void UpdateDisplayA(Ctx& ctx) {
    auto& s = ctx.s;
    FocusDisplayA(s);
    s.ActiveDisplay = 1;
    if (s.DisplayTypeA == 1) {
        s.BeginTime = s.BeginTimeA;
        s.WindowTime = s.WindowA;
    }
    drawPanel(ctx.canvasA);
}

void UpdateDisplayB(Ctx& ctx) {
    auto& s = ctx.s;
    FocusDisplayB(s);
    s.ActiveDisplay = 2;
    if (s.DisplayTypeB == 1) {
        s.BeginTime = s.BeginTimeB;
        s.WindowTime = s.WindowB;
    }
    drawPanel(ctx.canvasB);
}

void UpdateDisplay(Ctx& ctx) {
    UpdateDisplayA(ctx);
    if (ctx.s.Tiled) UpdateDisplayB(ctx);
    ctx.host.displayUpdated();
}

void Line(Ctx& ctx, int x1, int y1, int x2, int y2) {
    onTargets(ctx, [&](Canvas& c) { c.line(x1, y1, x2, y2); });
}
void Rectangle(Ctx& ctx, int x1, int y1, int x2, int y2) {
    onTargets(ctx, [&](Canvas& c) { c.rectangle(x1, y1, x2, y2); });
}
void Ellipse(Ctx& ctx, int x1, int y1, int x2, int y2) {
    onTargets(ctx, [&](Canvas& c) { c.ellipse(x1, y1, x2, y2); });
}
void SetPenColor(Ctx& ctx, Colour col) {
    onTargets(ctx, [&](Canvas& c) { c.setPenColor(col); });
}
void SetPenWidth(Ctx& ctx, int w) {
    onTargets(ctx, [&](Canvas& c) { c.setPenWidth(w); });
}
void SetBrushColor(Ctx& ctx, Colour col) {
    onTargets(ctx, [&](Canvas& c) { c.setBrushColor(col); });
}
void SetBrushStyle(Ctx& ctx, BrushStyle style) {
    onTargets(ctx, [&](Canvas& c) { c.setBrushStyle(style); });
}
void TextOut(Ctx& ctx, int x, int y, Colour col, const std::string& text) {
    onTargets(ctx, [&](Canvas& c) { c.textOut(x, y, col, text); });
}
void SetFontStyle(Ctx& ctx, unsigned styles) {
    onTargets(ctx, [&](Canvas& c) { c.setFontStyle(styles); });
}

StatusTexts StatusBarTexts(const SessionState& s) {
    StatusTexts t;
    t.fileName = namePart(s.FileName);
    t.matrix = namePart(s.MatrixFileName);
    t.refTime = " Reference: " + std::to_string(s.RefTime) + " ms";
    t.sigLength = " Signal: " + std::to_string(s.SignalLength) + " ms";
    t.amplitude = " Amplf: " + FormatNumber(s.Amplification, 2, s.Locale, 7);
    return t;
}

}  // namespace vk
