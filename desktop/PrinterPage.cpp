#include "desktop/PrinterPage.h"

#include <QPrinter>

#include "desktop/QtCanvas.h"
#include "printing/PrimitiveLog.h"
#include "printing/PrintPage.h"

namespace vk {

void SetUpPrinter(QPrinter& printer) {
    printer.setResolution(600);
    printer.setFullPage(true);
}

bool PrintOnPrinter(Ctx& ctx, QPrinter& printer, std::ostream* primitives, int sheetWidth, int sheetHeight) {
    const bool portrait = ctx.s.PrintOrientation == 1;
    printer.setPageOrientation(portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
    int w = printer.width(), h = printer.height();
    if (sheetWidth > 0 && sheetHeight > 0) {
        w = portrait ? sheetWidth : sheetHeight;
        h = portrait ? sheetHeight : sheetWidth;
    }
    QtCanvas page;
    page.paintOn(&printer, w, h);
    page.beginDraw();
    if (!page.painting()) return false;
    if (primitives) {
        PrimitiveLog log(page, *primitives);
        PrintPage(ctx, log);
    } else {
        PrintPage(ctx, page);
    }
    return true;
}

}  // namespace vk
