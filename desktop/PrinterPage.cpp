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

bool PrintOnPrinter(Ctx& ctx, QPrinter& printer, std::ostream* primitives) {
    printer.setPageOrientation(ctx.s.PrintOrientation == 1 ? QPageLayout::Portrait : QPageLayout::Landscape);
    QtCanvas page;
    page.paintOn(&printer, printer.width(), printer.height());
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
