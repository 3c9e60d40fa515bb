// The Map menu of the real window, offscreen: a map painted through the Qt
// canvas, the statistics memo after each map draw, expansion from the menu,
// and the mini map window.
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

TEST(MapToolsWindows, TheMapMenuPaintsTheMapAndItsCaptionsFollow) {
    test::Window t;
    t.useGrid();
    SessionState& st = *t.s;
    test::addMark(st, 1, 1234);
    test::addMark(st, 10, 1600);
    // "Time Map" of Display A shows the map: cell (1, 1) is red, cell (2, 2) orange.
    t.w->action("TimeMap1")->trigger();
    ASSERT_EQ(st.DisplayTypeA, 0);
    const QImage& image = t.w->canvasA().image();
    const int c = st.CellWidth, x = st.MapLeft + 3, y = st.MapTop + 3;
    ASSERT_GT(c, 10);
    EXPECT_EQ(std::tuple(image.pixel(x, y), image.pixel(x + c, y + c), image.pixel(x + c, y)),
              std::tuple(qRgb(255, 0, 0), qRgb(255, 136, 68), qRgb(255, 255, 255)));  // the last: no mark
    QAction* colours = t.w->action("HideColors1");
    colours->trigger();
    EXPECT_EQ(std::tuple(colours->text(), image.pixel(x, y)), std::tuple(QString("show map colors"), qRgb(255, 255, 255)));
    colours->trigger();
    EXPECT_EQ(colours->text(), "hide map colors");
    t.w->action("ShowSWsSpikes1")->trigger();
    EXPECT_EQ(std::tuple(st.ShowSWsAndSpikes, t.w->action("ShowSWsSpikes1")->isChecked()), std::tuple(true, true));
}

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
