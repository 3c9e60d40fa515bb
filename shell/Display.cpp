#include "shell/Display.h"

#include "electrograms/AnalysisView.h"
#include "electrograms/TraceDisplay.h"
#include "maps/MapBuffer.h"
#include "maps/MapDraw.h"
#include "session/Format.h"
#include "waves/WaveMap.h"
#include "waves/WaveformGrid.h"
#include "session/TextFiles.h"

namespace vk {

namespace {

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
// elgViewMode picks the electrogram view: 0 traces, 1 analysis view,
// 2 waveform grid.
void drawPanel(Ctx& ctx, Canvas* canvas, int displayType, int elgViewMode) {
    if (!canvas) return;
    canvas->beginDraw();
    canvas->setPenMode(PenMode::Copy);
    if (displayType == 1 && elgViewMode == 0) {
        PaintElectrograms(ctx);
    } else if (displayType == 1 && elgViewMode == 1) {
        PaintAnalysisView(ctx);
    } else if (displayType == 1 && elgViewMode == 2) {
        DrawWaveformGrid(ctx);
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

void RedrawPanels(Ctx& ctx, int panel) {
    if (panel == 1 || panel == 2) {
        if (panel == 2) {
            UpdateDisplayB(ctx);
        } else {
            UpdateDisplayA(ctx);
        }
    } else {
        UpdateDisplayA(ctx);
        if (ctx.s.Tiled) {
            const int32_t first = ctx.s.FirstChannel, column = ctx.s.StartCol, row = ctx.s.StartRow;
            UpdateDisplayB(ctx);
            // A new wave on panel B moved the traces (automatic positioning):
            // panel A shows them from there at once.
            const bool moved = first != ctx.s.FirstChannel || column != ctx.s.StartCol || row != ctx.s.StartRow;
            if (moved && ctx.s.DisplayTypeA == 1) UpdateDisplayA(ctx);
        }
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

StatusTexts StatusBarTexts(const SessionState& s) {
    StatusTexts t;
    t.fileName = namePart(RecordingPath(s));
    t.matrix = namePart(s.MatrixFileName);
    t.refTime = " Reference: " + std::to_string(s.RefTime) + " ms";
    t.sigLength = " Signal: " + std::to_string(s.SignalLength) + " ms";
    t.amplitude = " Amplf: " + FormatNumber(s.Amplification, 2, s.Locale, 7);
    return t;
}

}  // namespace vk
