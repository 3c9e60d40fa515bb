#include "shell/Display.h"

#include "electrograms/AnalysisView.h"
#include "electrograms/TraceDisplay.h"
#include "maps/MapBuffer.h"
#include "maps/MapDraw.h"
#include "shell/Format.h"
#include "waves/WaveMap.h"
#include "shell/TextFiles.h"

namespace vk {

namespace {

template <typename F>
void onTargets(Ctx& ctx, F&& f) {
    if (ctx.s.DrawOnA && ctx.canvasA) f(*ctx.canvasA);
    if (ctx.s.DrawOnB && ctx.canvasB) f(*ctx.canvasB);
}

// Clears a panel whose kind of display is drawn by a later part of the
// program (maps, wave maps, the other electrogram views).
void clearPanel(Ctx& ctx) {
    SetPenColor(ctx, clWhite);
    SetBrushStyle(ctx, BrushStyle::Solid);
    SetBrushColor(ctx, clWhite);
    Rectangle(ctx, 0, 0, ctx.s.PanelAWidth, ctx.s.PanelAHeight);
    SetPenColor(ctx, clBlack);
}

// Draws the display of one panel between the canvas's begin and end.
// elgViewMode picks the electrogram view: 0 traces, 1 analysis view.
void drawPanel(Ctx& ctx, Canvas* canvas, int displayType, int elgViewMode) {
    if (!canvas) return;
    canvas->beginDraw();
    canvas->setPenMode(PenMode::Copy);
    if (displayType == 1 && elgViewMode == 0) {
        PaintElectrograms(ctx);
    } else if (displayType == 1 && elgViewMode == 1) {
        PaintAnalysisView(ctx);
    } else if (displayType == 0) {
        DisplayMap(ctx);
    } else if (displayType == 2) {
        DrawWaveMap(ctx, ctx.s.DrawOnB && !ctx.s.DrawOnA ? 2 : 1);
    } else {
        clearPanel(ctx);
    }
    canvas->endDraw();
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

void UpdateDisplayA(Ctx& ctx) {
    auto& s = ctx.s;
    FocusDisplayA(s);
    s.ActiveDisplay = 1;
    s.BeginTime = s.BeginTimeA;
    s.WindowTime = s.WindowA;
    if (s.DisplayTypeA == 0) SetMapWindowOfPanel(s, 1);
    if (s.DisplayTypeA == 2) s.MapKind = s.MapKindA;
    drawPanel(ctx, ctx.canvasA, s.DisplayTypeA, s.ElgViewMode);
    s.CaptionA = PanelCaption(s, 1);
}

void UpdateDisplayB(Ctx& ctx) {
    auto& s = ctx.s;
    FocusDisplayB(s);
    s.ActiveDisplay = 2;
    s.BeginTime = s.BeginTimeB;
    s.WindowTime = s.WindowB;
    if (s.DisplayTypeB == 0) SetMapWindowOfPanel(s, 2);
    if (s.DisplayTypeB == 2) s.MapKind = s.MapKindB;
    drawPanel(ctx, ctx.canvasB, s.DisplayTypeB, 0);
    s.CaptionB = PanelCaption(s, 2);
}

void UpdateDisplay(Ctx& ctx) {
    UpdateDisplayA(ctx);
    if (ctx.s.Tiled) UpdateDisplayB(ctx);
    ctx.host.displayUpdated();
}

void RedrawPanel(Ctx& ctx, int panel) {
    if (panel == 2) {
        UpdateDisplayB(ctx);
    } else {
        UpdateDisplayA(ctx);
    }
    ctx.host.displayUpdated();
}

PanelLayout SetPanels(const SessionState& s, int w, int h) {
    PanelLayout l;
    if (!s.Tiled) {
        l.a = {0, 0, w, h};
    } else if (!s.TileRectangle) {
        l.a = {0, 0, w / 2, h};
        l.b = {w / 2, 0, w / 2, h};
    } else {
        l.a = {0, 0, w, h / 2};
        l.b = {0, h / 2, w, h / 2};
    }
    return l;
}

Colour TitleBarColour(int markType) {
    return markType == Spike ? clBlue : markType == Type3 ? clFuchsia : clRed;
}

TitleBarState TitleBarOf(const SessionState& s, int panel) {
    TitleBarState t;
    const int type = panel == 2 ? s.DisplayTypeB : s.DisplayTypeA;
    t.traceOrder = t.amplify = t.markNr = type == 1;
    t.paging = type != 2;
    t.waveNav = type == 2;
    t.colour = TitleBarColour(s.CurrentMarkType[panel == 2 ? 2 : 1]);
    t.caption = panel == 2 ? s.CaptionB : s.CaptionA;
    return t;
}

void MouseMoved(SessionState& s, int panel, int x, int y) {
    if (panel == 1 && !s.FileLoaded) return;
    s.MouseX = x;
    s.MouseY = y;
    s.ActiveDisplay = panel;
    if (!s.SignalsLoaded) return;
    (panel == 2 ? s.CaptionB : s.CaptionA) = PanelCaption(s, panel);
}

std::string PanelCaption(SessionState& s, int panel) {
    const bool b = panel == 2;
    const int type = b ? s.DisplayTypeB : s.DisplayTypeA;
    const int32_t begin = b ? s.BeginTimeB : s.BeginTimeA;
    const int32_t window = b ? s.WindowB : s.WindowA;
    const int markType = s.CurrentMarkType[b ? 2 : 1];
    const std::string range = "(" + std::to_string(begin) + "-" + std::to_string(int64_t{begin} + window) + ")";
    if (type == 1) {
        if (!s.SignalsLoaded) return {};
        // The panel's own time window decides the time under the mouse.
        const TraceGeometry g = GeometryOfPanel(s, panel);
        const double perMs = std::max(1, s.SamplingFrequency) * g.pixelsPerSample / 1000.0;
        s.CursorTime = static_cast<int32_t>(roundHalfEven((s.MouseX - g.left) / perMs) + begin);
        const int64_t row = roundHalfEven(((s.MouseY - g.top) - roundHalfEven(g.traceSpacing / 2.0)) /
                                          static_cast<double>(g.traceSpacing)) + 1;
        if (row >= 1 && row <= s.NrTraces) {
            s.CurrentTrace = static_cast<int32_t>(row);
            s.CurrentElectrode = ElectrodeOfRow(s, s.CurrentTrace);
        } else {
            s.CurrentTrace = -1;
            s.CurrentElectrode = 0;
        }
        return range + " " + std::to_string(s.CursorTime) + " msec    " + " Elenr = " + std::to_string(s.CurrentElectrode);
    }
    const int mapKind = b ? s.MapKindB : s.MapKindA;
    const int column = s.CellWidth > 0 ? static_cast<int>((s.MouseX - s.MapLeft) / s.CellWidth) + 1 : 0;
    const int row = s.CellHeight > 0 ? static_cast<int>((s.MouseY - s.MapTop) / s.CellHeight) + 1 : 0;
    s.CellElectrode = (column >= 1 && column <= MaxGrid && row >= 1 && row <= MaxGrid)
                          ? s.MatrixGrid[static_cast<size_t>(column)][static_cast<size_t>(row)]
                          : Missing;
    const std::string cursor = std::to_string(column) + "x" + std::to_string(row) + " (Cell = " +
                               std::to_string(s.CellElectrode) + ")";
    if (type == 0) {
        std::string title = markType == Spike ? "Spikes" : markType == Type3 ? "Peristaltic Wave" : "Slow Wave";
        if (markType == SlowWave && mapKind == 3) title = "Slow Wave Intervals";
        if (markType == SlowWave && mapKind == 4) title = "Slow Wave Amplitude";
        if (markType == SlowWave && mapKind == 5) title = "Slow Wave Slope";
        if (mapKind == 2) title = "Electrode Matrix";
        const int32_t t = MapCellTime(s, panel, column, row);
        const std::string cellTime = "( t = " + (t == Missing ? std::string(" ") : std::to_string(t)) + ")";
        return title + " " + range + " " + cursor + " " + cellTime;
    }
    const std::string title = markType == Spike ? "(Spikes)" : markType == Type3 ? "(Peristaltic Wave)" : "(Slow Wave)";
    const std::string waves = "Wave Map nr: " + std::to_string(b ? s.WaveNrB : s.WaveNrA) + " of " +
                              std::to_string(s.WaveCount) + "   ";
    return waves + " " + title + " " + cursor;
}

MenuChecks UpdateChecks(const SessionState& s) {
    MenuChecks m;
    m.mapKindA = s.MapKindA;
    m.mapKindB = s.MapKindB;
    m.markTypeA = s.CurrentMarkType[1];
    m.markTypeB = s.CurrentMarkType[2];
    m.waveStatistics = s.ShowWaveStatistics;
    m.amplitudes = s.ShowAmplitudes;
    m.analyse = s.AnalyseChecked;
    m.swsAndSpikes = s.ShowSWsAndSpikes;
    m.undoEnabled = s.UndoCount > 0;
    m.unhideEnabled = s.UnhideEnabled;
    m.plotOnlyDots = s.PlotOnlyDots;
    m.plotMarkNr = s.PlotMarkNr;
    m.rectangle = s.TileRectangle;
    return m;
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
