#include "session/Draw.h"

namespace vk {

namespace {

template <typename F>
void onTargets(Ctx& ctx, F&& f) {
    if (ctx.s.DrawOnA && ctx.canvasA) f(*ctx.canvasA);
    if (ctx.s.DrawOnB && ctx.canvasB) f(*ctx.canvasB);
}

}  // namespace

DrawOnPanel::DrawOnPanel(Ctx& ctx, int panel)
    : ctx_(ctx), canvas_(panel == 2 ? ctx.canvasB : ctx.canvasA), onA_(ctx.s.DrawOnA), onB_(ctx.s.DrawOnB) {
    if (panel == 2) {
        FocusDisplayB(ctx.s);
    } else {
        FocusDisplayA(ctx.s);
    }
    if (canvas_) canvas_->beginDraw();
}

DrawOnPanel::~DrawOnPanel() {
    if (canvas_) canvas_->endDraw();
    ctx_.s.DrawOnA = onA_;
    ctx_.s.DrawOnB = onB_;
}

void FocusDisplayA(SessionState& s) {
    s.DrawOnA = true;
    s.DrawOnB = false;
}

void FocusDisplayB(SessionState& s) {
    s.DrawOnA = false;
    s.DrawOnB = true;
}

void UpdateDisplay(Ctx& ctx) {
    if (ctx.redraw) ctx.redraw(ctx, 0);
}

void RedrawPanel(Ctx& ctx, int panel) {
    if (ctx.redraw) ctx.redraw(ctx, panel == 2 ? 2 : 1);
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
void Polyline(Ctx& ctx, const std::vector<Point>& points) {
    onTargets(ctx, [&](Canvas& c) { c.polyline(points); });
}
int TextWidth(Ctx& ctx, const std::string& text) {
    Canvas* c = ctx.s.DrawOnB && !ctx.s.DrawOnA ? ctx.canvasB : ctx.canvasA;
    return c ? c->textWidth(text) : 0;
}
int TextHeight(Ctx& ctx, const std::string& text) {
    Canvas* c = ctx.s.DrawOnB && !ctx.s.DrawOnA ? ctx.canvasB : ctx.canvasA;
    return c ? c->textHeight(text) : 0;
}

}  // namespace vk
