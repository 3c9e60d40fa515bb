// The map tools of the real window, offscreen: expansion in italics,
// the statistics memo after each map draw, and the two mini windows.
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

TEST(MapToolsWindows, StatisticsMemoAndMiniWindowsFollowTheMenu) {
    test::TempDir dir;
    SessionState st;
    st.DataRoot = dir.file("root");
    test::ScriptedHost host;
    MainWindow w(st, &host);
    w.resize(1000, 700);
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

    // The statistics follow every map draw, expansion included.
    w.action("ShowMapStatistics1")->trigger();
    QPlainTextEdit* memo = w.electrogramTools()->memo();
    ASSERT_TRUE(memo->window()->isVisible());
    EXPECT_EQ(memo->toPlainText().split('\n').mid(3, 2).join("|"), "N = 2|Avg = 200.00");
    st.Prefs.NrNeighbours = 1;
    w.action("ExpandMap1")->trigger();
    EXPECT_TRUE(w.action("ExpandMap1")->isChecked());
    EXPECT_EQ(std::tuple(st.MapBuf.at(1, 2).Time, int{st.MapBuf.at(1, 2).Expanded}), std::tuple(200, 1));
    EXPECT_TRUE(memo->toPlainText().contains("N = 32"));

    // Spike Stats appends its table to the memo.
    w.action("SpikeStats1")->trigger();
    EXPECT_TRUE(memo->toPlainText().endsWith("8               "));

    // The mini map: 111 x 81 for 8 x 4, caption from the mouse; off hides it.
    QAction* mini = w.action("ShowMiniMap1");
    EXPECT_EQ(mini->text(), "Show MiniMap");
    mini->trigger();
    QDialog* map = w.miniMap()->window();
    ASSERT_TRUE(map->isVisible());
    // 81 high for 4 rows; wider than the described 111 so that the caption shows whole.
    EXPECT_EQ(std::tuple(map->width(), map->height(), mini->text()), std::tuple(320, 81, QString("hide MiniMap")));
    w.miniMap()->paintBox()->onMouseMove(33, 23);
    EXPECT_EQ(map->windowTitle(), "  X = 3     Y = 2   Ele = 11");
    mini->trigger();
    EXPECT_FALSE(map->isVisible());
    ASSERT_TRUE(w.action("ShowMiniWindow1")->isEnabled());
    w.action("ShowMiniWindow1")->trigger();
    EXPECT_EQ(std::tuple(w.miniGrid()->window()->width(), w.action("ShowMiniWindow1")->text()),
              std::tuple(112, QString("hide Mini Window")));
}

}  // namespace
}  // namespace vk
