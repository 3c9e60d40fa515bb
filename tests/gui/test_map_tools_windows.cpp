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
#include "support/WindowFixture.h"

namespace vk {
namespace {

TEST(MapToolsWindows, StatisticsMemoAndMiniMapFollowTheMenu) {
    test::Window t;
    t.useGrid();
    SessionState& st = *t.s;
    MainWindow& w = *t.w;
    test::addMark(st, 1, 100);
    test::addMark(st, 10, 300);
    st.VelocityBuf.at(1, 1).Speed = 2.0;
    st.VelocityBuf.at(3, 2).Speed = 5.0;
    w.action("TimeMap1")->trigger();
    w.action("ShowMapStatistics1")->trigger();
    QPlainTextEdit* memo = w.electrogramTools()->memo();
    ASSERT_TRUE(memo->window()->isVisible());
    EXPECT_EQ(memo->toPlainText().split('\n').mid(1, 4).join("|"), "Times| |N = 2|Avg = 200.00");
    // Choosing another map redraws panel A: the memo follows at once.
    w.action("Velocities1")->trigger();
    EXPECT_EQ(memo->toPlainText().split('\n').join("|"), " |Velocities| |N = 2|Avg = 3.50|SD = 1.50|Max= 5.00|Min= 2.00");
    w.action("Amplitude1")->trigger();
    EXPECT_EQ(memo->toPlainText().split('\n').join("|"), " |Amplitudes");
    w.action("TimeMap1")->trigger();
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
