// One printed page: a title line, for each printed panel a bar with that
// panel's caption and the panel's content, an optional wave statistics bar
// and a status box with the file names and the main settings.
//
// Everything is placed in printer device pixels computed from the page size
// the printer reports (the size of the page canvas), never scaled from the
// screen. The page is monochrome: once drawing has started only pen widths
// and font styles change; outlines are drawn as four lines.
#pragma once

#include <string>

#include "session/Context.h"

namespace vk {

// Fixed parts of the page layout, in printer pixels.
inline constexpr int PrintMargin = 200;
inline constexpr int PrintTitleHeight = 200;
inline constexpr int PrintBarHeight = 100;
inline constexpr int PrintStatusHeight = 300;
inline constexpr int PrintStatisticsHeight = 100;  // when wave statistics are shown
inline constexpr int PrintMapReserve = 200;        // kept free under a map or the traces

// Where everything goes on a page of the given size.
struct PrintPageLayout {
    int left = PrintMargin, contentWidth = 0;
    int statisticsHeight = 0;
    int barATop = 0, barAHeight = 0, panelATop = 0, panelAHeight = 0;
    int barBTop = 0, barBHeight = 0, panelBTop = 0, panelBHeight = 0;
    int statisticsTop = 0, statusTop = 0;
};
PrintPageLayout CalcPrintPage(const SessionState& s, int pageWidth, int pageHeight);

// What the print window shows and returns.
struct PrintChoice {
    int panels = 0;       // 0 top (left), 1 bottom (right), 2 both
    int orientation = 0;  // 0 landscape, 1 portrait
    bool onlyMarks = false;
    std::string caption;
};
// The print window's fields as "Print" fills them: the kept settings and
// the recording's file information as caption.
PrintChoice PrintChoiceOf(const SessionState& s);
// "OK", first step: keeps the choices. Returns true when the printer is to
// be set to portrait (any orientation other than 1 is landscape).
bool ApplyPrintChoice(SessionState& s, const PrintChoice& c);
// The PDF file a page goes to when no printer was chosen: beside the
// recording, its name with ".pdf" ("dir/REC.E01" -> "dir/REC.pdf"), taken
// afresh for every print so that each recording gets its own.
std::string DefaultPdfFileName(const SessionState& s);
// The PDF file of a print without a printer: `chosen` (the file picked in
// "Print dialog ...") or, when none was, DefaultPdfFileName. Throws IoError
// when it is one of the open recording's files: a page never replaces them.
std::string PrintPdfFile(const SessionState& s, const std::string& chosen);

// The rest of "OK": lays the page out on `page` (whose size is the printer's
// page in device pixels), prints between page.beginDraw() and page.endDraw()
// (the print job), then redraws the main window.
void PrintPage(Ctx& ctx, Canvas& page);

// The description of what panel 1 (A) or 2 (B) shows, put in front of the
// file name in the status box ("Time Map: ", "Wave Map[3]:  T = 500", ...);
// a display it does not describe keeps the previous text.
std::string PanelPrintCaption(const SessionState& s, int panel, const std::string& previous);

}  // namespace vk
