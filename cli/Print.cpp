#include "cli/Print.h"

#include "cli/Render.h"

#include <QFile>
#include <QPageSize>
#include <QPrinter>
#include <iostream>

#include "desktop/PrinterPage.h"
#include "desktop/QtCanvas.h"
#include "shell/Display.h"

namespace vk {

std::string PrintToPdf(Ctx& ctx, const PrintRequest& r) {
    const QString file = QString::fromStdString(r.pdf);
    if (QFile out(file); !out.open(QIODevice::WriteOnly)) return "cannot write " + r.pdf;
    const OffscreenQt qt;  // text needs a Qt application

    // The panels as the window would show them: captions, waves and their
    // statistics are what the redraw leaves.
    QtCanvas a, b;
    a.resize(ctx.s.PanelAWidth, ctx.s.PanelAHeight - 25);
    b.resize(ctx.s.PanelAWidth, ctx.s.PanelAHeight - 25);
    Ctx drawing{ctx.s, ctx.host, RedrawPanels, &a, &b};
    RedrawPanels(drawing, 0);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    SetUpPrinter(printer);
    // The sheet at 600 dpi; the PDF's page size is kept in whole points, the
    // canvas has exactly the pixels asked for.
    const bool a4 = r.paperWidth == 4961 && r.paperHeight == 7016;
    printer.setPageSize(a4 ? QPageSize(QPageSize::A4)
                           : QPageSize(QSizeF(r.paperWidth / 600.0, r.paperHeight / 600.0), QPageSize::Inch, QString(),
                                       QPageSize::ExactMatch));
    ApplyPrintChoice(ctx.s, r.choice);
    if (!PrintOnPrinter(drawing, printer, r.primitives ? &std::cout : nullptr, r.paperWidth, r.paperHeight))
        return "cannot write " + r.pdf;
    return {};
}

}  // namespace vk
