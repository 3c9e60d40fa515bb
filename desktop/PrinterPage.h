// The printer canvas: a page of a QPrinter drawn on through the same Canvas
// as the panels (QtCanvas painting on the printer). The print window and
// the command-line tool print through here.
#pragma once

#include <ostream>

#include "session/Context.h"

class QPrinter;

namespace vk {

// Sets a printer up for printing pages: 600 dpi, the whole sheet paintable
// with (0, 0) at its top-left corner.
void SetUpPrinter(QPrinter& printer);
// Prints one page on `printer` with the choices already taken: the printer
// is turned to the orientation, then the page is laid out on its size.
// With `primitives`, every call on the page canvas is also written there
// (see printing/PrimitiveLog.h). A sheet of sheetWidth x sheetHeight pixels
// (portrait; 0 for the printer's own size) gives the canvas exactly that
// size, turned for landscape. False when the printer refused the job.
bool PrintOnPrinter(Ctx& ctx, QPrinter& printer, std::ostream* primitives = nullptr, int sheetWidth = 0,
                    int sheetHeight = 0);

}  // namespace vk
