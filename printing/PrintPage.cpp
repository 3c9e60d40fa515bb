#include "printing/PrintPage.h"

#include <algorithm>

#include "electrograms/PanelCursor.h"
#include "maps/MapBuffer.h"
#include "printing/PrintPanels.h"
#include "session/Draw.h"
#include "session/Format.h"
#include "session/RecordingFiles.h"
#include "session/TextFiles.h"
#include "waves/WaveDetection.h"

namespace vk {

namespace {

// Offsets of the status box's columns from the content's left edge.
constexpr int StatusColumns[] = {50, 800, 2500, 3800, 5000};

int markTypeOf(const SessionState& s, int panel) { return std::clamp(s.CurrentMarkType[panel == 2 ? 2 : 1], 1, 3); }

// The time difference of the wave detection for the active display's mark type.
int32_t waveDifference(const SessionState& s) {
    return s.WaveDifference[static_cast<size_t>(markTypeOf(s, s.ActiveDisplay == 2 ? 2 : 1))];
}

// A bar over a panel: its outline and the caption of the panel's title bar
// without what the mouse happened to point at on screen.
void printBar(Canvas& page, const SessionState& s, const PrintPageLayout& l, int panel) {
    const int top = panel == 2 ? l.barBTop : l.barATop;
    PrintRectangle(page, l.left, top, l.left + l.contentWidth, top + PrintBarHeight);
    page.textOut(l.left + 50, top + 20, clBlack, PanelTitle(s, panel));
}

void printStatisticsBar(Canvas& page, const SessionState& s, const PrintPageLayout& l) {
    const int top = l.statisticsTop, y = top + 30;
    PrintRectangle(page, l.left, top, l.left + l.contentWidth, top + PrintStatisticsHeight);
    const double d = s.ElectrodeDistance;
    auto mm = [&](double v) { return FormatNumber(v, 1, s.Locale); };
    page.textOut(300, y, clBlack, "Spike nr: " + std::to_string(s.SpikeNr));
    page.textOut(1000, y, clBlack, "Area    : " + std::to_string(s.WaveSites) + "  (" + mm(s.WaveSites * d * d) + " mm2)");
    page.textOut(1700, y, clBlack, "X-length  : " + std::to_string(s.WaveXSize) + "  (" + mm(s.WaveXSize * d) + " mm)");
    page.textOut(2400, y, clBlack, "Y-length   : " + std::to_string(s.WaveYSize) + "  (" + mm(s.WaveYSize * d) + " mm)");
}

void printStatusBox(Canvas& page, const SessionState& s, const PrintPageLayout& l) {
    const int top = l.statusTop, y1 = top + 60, y2 = top + 140, y3 = top + 220;
    PrintRectangle(page, l.left, top + 40, l.left + l.contentWidth, top + PrintStatusHeight);
    auto at = [&](int column, int y, const std::string& text) {
        page.textOut(l.left + StatusColumns[column], y, clBlack, text);
    };
    auto ms = [](int64_t v) { return std::to_string(v) + " msec"; };
    // Begin and end of one panel: the one the caption describes (A when
    // it was printed, else B).
    const bool b = s.PrintPanels == 1;
    const int64_t begin = b ? s.BeginTimeB : s.BeginTimeA, window = b ? s.WindowB : s.WindowA;
    at(0, y1, s.PrintPanelCaption + namePart(RecordingPath(s)));
    at(0, y2, namePart(s.MatrixFileName));
    at(1, y2, "Begin Time:  " + ms(begin));
    at(1, y3, "End   Time:  " + ms(begin + window));
    at(2, y2, "Ref  Time:  " + ms(s.RefTime));
    at(2, y3, "Signal: " + ms(s.SignalLength));
    at(3, y2, "Isochrone:  " + ms(s.IsochroneWidth));
    at(3, y3, "Amplf:  " + FormatNumber(s.Amplification, 2, s.Locale));
    if (s.PrintPanels == 0 && s.DisplayTypeA == 2) at(4, y2, "Tim Diff:  " + ms(waveDifference(s)));
}

void printTitle(Canvas& page, const SessionState& s, const PrintPageLayout& l) {
    if (s.PrintCaption.empty()) return;
    page.textOut(l.left + l.contentWidth / 2 - page.textWidth(s.PrintCaption) / 2, PrintMargin, clBlack, s.PrintCaption);
}

// The content of panel 1 (A) or 2 (B), with the per-draw copies of its
// window set as a redraw of that panel sets them.
void printPanel(Ctx& ctx, Canvas& page, const PrintPageLayout& l, int panel) {
    SessionState& s = ctx.s;
    const bool b = panel == 2;
    s.ActiveDisplay = panel;
    s.BeginTime = b ? s.BeginTimeB : s.BeginTimeA;
    s.WindowTime = b ? s.WindowB : s.WindowA;
    const int type = b ? s.DisplayTypeB : s.DisplayTypeA;
    const PrintBox box{l.left, b ? l.panelBTop : l.panelATop, l.contentWidth, b ? l.panelBHeight : l.panelAHeight};
    if (type == 0 || type == 2) {
        if (type == 0) SetMapWindowOfPanel(s, panel);
        s.MapKind = b ? s.MapKindB : s.MapKindA;
        PrintMapPanel(ctx, page, box, panel, s.PrintPanels == 2);
        if (s.ShowWaveStatistics) printStatisticsBar(page, s, l);
    } else if (type == 1 && !b && s.ElgViewMode == 2) {
        PrintMatrixElectrograms(ctx, page, box);
    } else if (type == 1) {
        PrintElectrogramPanel(ctx, page, box);
    }
}

}  // namespace

PrintPageLayout CalcPrintPage(const SessionState& s, int pageWidth, int pageHeight) {
    PrintPageLayout l;
    l.contentWidth = pageWidth - 2 * PrintMargin;
    l.statisticsHeight = s.ShowWaveStatistics ? PrintStatisticsHeight : 0;
    // One panel bar is counted, also when both panels are printed.
    const int h = pageHeight - 2 * PrintMargin - PrintBarHeight - PrintTitleHeight - PrintStatusHeight - l.statisticsHeight;
    const bool top = s.PrintPanels == 0 || s.PrintPanels == 2, bottom = s.PrintPanels == 1 || s.PrintPanels == 2;
    l.panelAHeight = !top ? 0 : bottom ? h / 2 : h;
    l.panelBHeight = !bottom ? 0 : top ? h / 2 : h;
    l.barAHeight = top ? PrintBarHeight : 0;
    l.barBHeight = bottom ? PrintBarHeight : 0;
    l.barATop = PrintMargin + PrintTitleHeight;
    l.panelATop = l.barATop + l.barAHeight;
    l.barBTop = l.panelATop + l.panelAHeight;
    l.panelBTop = l.barBTop + l.barBHeight;
    l.statisticsTop = l.panelBTop + l.panelBHeight;
    l.statusTop = l.statisticsTop + l.statisticsHeight;
    return l;
}

PrintChoice PrintChoiceOf(const SessionState& s) {
    return {s.PrintPanels, s.PrintOrientation, s.PrintOnlyMarks, s.FileInfo};
}

bool ApplyPrintChoice(SessionState& s, const PrintChoice& c) {
    s.PrintPanels = std::clamp(c.panels, 0, 2);
    s.PrintOrientation = c.orientation == 1 ? 1 : 0;
    s.PrintOnlyMarks = c.onlyMarks;
    s.PrintCaption = c.caption;
    return s.PrintOrientation == 1;
}

std::string DefaultPdfFileName(const SessionState& s) {
    const std::string recording = RecordingPath(s);
    return WithExtension(recording.empty() ? "vorelkant" : recording, ".pdf");
}

std::string PrintPdfFile(const SessionState& s, const std::string& chosen) {
    const std::string file = chosen.empty() ? DefaultPdfFileName(s) : chosen;
    RefuseRecordingFiles(s, file);
    return file;
}

std::string PanelPrintCaption(const SessionState& s, int panel, const std::string& previous) {
    const bool b = panel == 2;
    const int type = b ? s.DisplayTypeB : s.DisplayTypeA;
    const int kind = b ? s.MapKindB : s.MapKindA;
    if (type == 0) {
        static const char* const maps[] = {"Time Map: ", "Count Map: ", "Electrode Map: "};
        return kind >= 0 && kind <= 2 ? maps[kind] : previous;
    }
    if (type != 2) return previous;
    static const char* const waves[] = {"Wave Map[",      "Count Wave Map[", "Electrode Wave Map[", "Wave Map[",
                                        "Amplitude Wave Map[", "Slope Wave Map[", "Velocity Wave Map["};
    const std::string head = kind >= 0 && kind <= 6 ? waves[kind] : "Wave Map[";
    return head + std::to_string(b ? s.WaveNrB : s.WaveNrA) + "]: " + " T = " + std::to_string(waveDifference(s));
}

void PrintPage(Ctx& ctx, Canvas& page) {
    SessionState& s = ctx.s;
    const PrintPageLayout l = CalcPrintPage(s, page.width(), page.height());
    page.beginDraw();
    if (s.PrintPanels == 0 || s.PrintPanels == 2) {
        printBar(page, s, l, 1);
        s.ActiveDisplay = 1;
        s.PrintPanelCaption = PanelPrintCaption(s, 1, s.PrintPanelCaption);
        printPanel(ctx, page, l, 1);
    }
    if (s.PrintPanels == 1 || s.PrintPanels == 2) {
        printBar(page, s, l, 2);
        s.ActiveDisplay = 2;
        if (s.PrintPanels == 1) s.PrintPanelCaption = PanelPrintCaption(s, 2, s.PrintPanelCaption);
        printPanel(ctx, page, l, 2);
    }
    printStatusBox(page, s, l);
    printTitle(page, s, l);
    page.endDraw();
    UpdateDisplay(ctx);
}

}  // namespace vk
