// Printing through Qt: a real PDF of one page at 600 dpi, and the print window.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <filesystem>
#include <regex>

#include "desktop/PrintDialog.h"
#include "desktop/PrinterPage.h"
#include "session/Context.h"
#include "shell/Display.h"
#include "support/GridSession.h"
#include "support/TempDir.h"

namespace vk {
namespace {

TEST(Print, WindowShowsTheGroupOfTheTileTypeAndKeepsTheChoice) {
    QDialog window;
    int runs = 0;
    PrintDialog dialog(&window, [&](const std::function<void(Ctx&)>&) { ++runs; });
    SessionState s;
    s.TileRectangle = false;
    s.PrintPanels = 1;
    s.PrintOrientation = 1;
    s.FileInfo = "info";
    dialog.open(s);
    EXPECT_EQ(std::pair(dialog.panelGroup(0)->isVisible(), dialog.panelGroup(1)->isVisible()), std::pair(false, true));
    EXPECT_EQ(window.windowTitle(), "Print Menu");
    const PrintChoice c = dialog.choice();
    EXPECT_EQ(std::tuple(c.panels, c.orientation, c.onlyMarks, c.caption), std::tuple(1, 1, false, std::string("info")));
    dialog.onlyMarksBox()->setChecked(true);
    dialog.captionEdit()->setText("");
    EXPECT_EQ(std::tuple(dialog.choice().onlyMarks, dialog.choice().caption), std::tuple(true, std::string()));
}

TEST(Print, EachRecordingGetsItsOwnPdfAndAPrinterOneA4PagePortraitOnlyForOrientationOne) {
    test::TempDir dir;
    auto s = test::gridSession(4, 2);
    s->DisplayTypeA = 0;
    QuietHost host;
    Ctx ctx(*s, host, RedrawPanels);
    QDialog window;
    PrintDialog dialog(&window, [&](const std::function<void(Ctx&)>& f) { f(ctx); });
    dialog.printer().setOutputFormat(QPrinter::PdfFormat);
    dialog.printer().setOutputFileName(QString());
    auto* ok = window.findChild<QPushButton*>("OkButton");
    ASSERT_NE(ok, nullptr);
    for (const char* name : {"first.E01", "second.E01"}) {
        s->FileName = dir.write(name, "ELG");
        dialog.open(*s);
        ok->click();
    }
    for (const char* name : {"first.pdf", "second.pdf"})
        EXPECT_EQ(test::TempDir::read(dir.file(name)).substr(0, 5), "%PDF-") << name;
    EXPECT_FALSE(std::filesystem::exists(dir.file("first.E01.pdf")));
    EXPECT_EQ(test::TempDir::read(dir.file("second.E01")), "ELG");
    // On a chosen printer: one page of the whole A4 sheet, portrait only for
    // orientation 1 (the PDF keeps A4 in whole points, 595 x 842, at 600 dpi).
    test::addMark(*s, 1, 100);
    for (int orientation : {2, -1, 1}) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(dir.file("page.pdf")));
        printer.setPageSize(QPageSize(QPageSize::A4));
        SetUpPrinter(printer);
        s->PrintOrientation = orientation;  // as a caller may leave it
        ASSERT_TRUE(PrintOnPrinter(ctx, printer));
        EXPECT_EQ(std::pair(printer.width(), printer.height()), orientation == 1 ? std::pair(4958, 7017) : std::pair(7017, 4958))
            << orientation;
    }
    const std::string pdf = test::TempDir::read(dir.file("page.pdf"));
    const std::regex page("/Type\\s*/Page[^s]");
    EXPECT_EQ(std::tuple(pdf.substr(0, 5), std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator())),
              std::tuple("%PDF-", 1));
}

}  // namespace
}  // namespace vk
