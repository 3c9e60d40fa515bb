// The import window in the real main window, offscreen: the panel that the
// open dialog's choice sets up, a refused entry, and the import on OK.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "desktop/ImportWindow.h"
#include "desktop/MainWindow.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace vk {
namespace {

TEST(ImportWindow, NashvillePanelRefusesThenLoads) {
    test::TempDir dir;
    auto s = std::make_unique<SessionState>();
    s->DataRoot = dir.file("root");
    test::ScriptedHost host;
    MainWindow w(*s, &host);
    w.show();
    const std::string path = dir.write("n.txt", "a\nb\nc\n1\t2\n3\t4\n");
    host.files = {FileChoice{path, 4}};
    w.action("OpenFile1")->trigger();
    QDialog* d = w.importWindow()->window();
    ASSERT_TRUE(d->isVisible());
    EXPECT_TRUE(w.importWindow()->panel(4)->isVisible() && !w.importWindow()->panel(5)->isVisible());
    for (const QLabel* l : d->findChildren<QLabel*>()) {
        if (l->isVisible() && !l->wordWrap()) {
            EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->contentsRect().width());
        }
    }
    QLineEdit* channels = w.importWindow()->edit(4, 0);
    EXPECT_EQ(channels->text() + w.importWindow()->edit(4, 2)->text(), "4830");
    channels->selectAll();
    QTest::keyClicks(channels, "300");
    QTest::keyClick(channels, Qt::Key_Return);
    EXPECT_EQ(host.beeps, 1);
    EXPECT_TRUE(d->isVisible());
    channels->selectAll();
    QTest::keyClicks(channels, "2");
    QTest::keyClicks(w.importWindow()->edit(4, 1), "2");  // "0" becomes "02"
    d->findChild<QPushButton*>("NashvilleOk")->click();
    EXPECT_FALSE(d->isVisible());
    // 2 samples at 30 Hz last 67 ms.
    EXPECT_EQ(s->NrTraces * 1000 + s->SignalLength * 10 + s->Signals.at(2, 2), 2674);
}

}  // namespace
}  // namespace vk
