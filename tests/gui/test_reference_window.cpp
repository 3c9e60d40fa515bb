// The reference table window over the real main window, offscreen.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "desktop/MainWindow.h"
#include "desktop/ReferenceTableWindow.h"
#include "marks/MarkStore.h"
#include "marks/ReferenceTable.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace vk {
namespace {

TEST(ReferenceWindow, ChooseByNumberThenApply) {
    test::TempDir dir;
    auto s = std::make_unique<SessionState>();
    test::ScriptedHost host;
    s->DataRoot = dir.file("root");
    MainWindow w(*s, &host);
    w.show();
    s->CurrentElectrode = 40;
    AddMarkRecord(*s, 1234, Reference, 1);
    w.action("ReferenceTable1")->trigger();
    ReferenceTableWindow* r = w.referenceTable();
    ASSERT_TRUE(r->window()->isVisible());
    EXPECT_TRUE(r->window()->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(r->grid()->rowCount(), 2);
    EXPECT_EQ(r->grid()->item(1, 0)->text() + " " + r->grid()->item(1, 1)->text() + " " + r->grid()->item(1, 2)->text(),
              "Nr 2 40 1234");
    // A number out of range beeps and says so; "Insert" waits for an edit.
    r->numberEdit()->selectAll();
    QTest::keyClicks(r->numberEdit(), "3");
    EXPECT_EQ(std::tuple(host.beeps, host.messages.back()), std::tuple(1, std::string(InvalidRefText)));
    EXPECT_FALSE(r->insertButton()->isEnabled());
    QTest::keyClicks(r->timeEdit(), "5");
    EXPECT_TRUE(r->insertButton()->isEnabled());
    // Typing 2 makes entry 2 the candidate; OK applies it and hides the window.
    r->numberEdit()->selectAll();
    QTest::keyClicks(r->numberEdit(), "2");
    EXPECT_EQ(r->currentElectrode()->text() + "/" + r->currentTime()->text(), "40/1234");
    r->window()->findChild<QPushButton*>("OkButton")->click();
    EXPECT_FALSE(r->window()->isVisible());
    EXPECT_EQ(std::tuple(s->RefTime, s->RefElectrode), std::tuple(1234, 40));
    EXPECT_EQ(w.statusLabels()[2]->toolTip(), "Ref electrode =40");
}

}  // namespace
}  // namespace vk
