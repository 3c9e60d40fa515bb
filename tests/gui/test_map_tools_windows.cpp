// The map tools of the real window, offscreen: the statistics memo after
// each map draw, expansion from the menu, and the mini map window.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QPlainTextEdit>
#include <QTest>

#include "desktop/ElectrogramToolsWindow.h"
#include "desktop/MainWindow.h"
#include "desktop/MiniWindows.h"
#include "desktop/PanelWidget.h"
#include "support/GridSession.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace vk {
namespace {

TEST(MapToolsWindows, StatisticsMemoAndMiniMapFollowTheMenu) {
    test::TempDir dir;
    SessionState st;
    st.DataRoot = dir.file("root");
    test::ScriptedHost host;
    MainWindow w(st, &host);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto grid = test::gridSession(8, 4);
    std::tie(st.NrColumns, st.NrRows, st.ElectrodeCol, st.ElectrodeRow, st.MatrixGrid) =
        std::tie(grid->NrColumns, grid->NrRows, grid->ElectrodeCol, grid->ElectrodeRow, grid->MatrixGrid);
    st.FileLoaded = st.SignalsLoaded = true;
    st.WindowA = 10000;
    test::addMark(st, 1, 100);
    test::addMark(st, 10, 300);
    w.action("TimeMap1")->trigger();
    w.action("ShowMapStatistics1")->trigger();
    QPlainTextEdit* memo = w.electrogramTools()->memo();
    ASSERT_TRUE(memo->window()->isVisible());
    EXPECT_EQ(memo->toPlainText().split('\n').mid(3, 2).join("|"), "N = 2|Avg = 200.00");
    st.Prefs.ExpandNeighbours = 1;
    w.action("ExpandMap1")->trigger();  // the next draw fills every position, and counts them
    EXPECT_TRUE(w.action("ExpandMap1")->isChecked() && memo->toPlainText().contains("N = 32"));

    // 81 high for 4 rows; wider than the described 111 so that the caption shows whole.
    QAction* mini = w.action("ShowMiniMap1");
    mini->trigger();
    QDialog* map = w.miniMap()->window();
    EXPECT_EQ(std::tuple(map->isVisible(), map->width(), map->height(), mini->text()),
              std::tuple(true, 320, 81, QString("hide MiniMap")));
    w.miniMap()->paintBox()->onMouseMove(33, 23);
    EXPECT_EQ(map->windowTitle(), "  X = 3     Y = 2   Ele = 11");
}

}  // namespace
}  // namespace vk
