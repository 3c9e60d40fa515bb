// The Map menu of the real window, offscreen, and a map painted through the
// Qt canvas.
#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <memory>

#include "desktop/MainWindow.h"
#include "support/GridSession.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace vk {
namespace {

TEST(MapWindow, MapMenuCaptionsQuestionsAndAPaintedMap) {
    test::TempDir dir;
    auto s = std::make_unique<SessionState>();
    s->DataRoot = dir.file("root");
    test::ScriptedHost host;
    auto w = std::make_unique<MainWindow>(*s, &host);
    w->resize(1000, 700);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    // The window's start-up gave every variable its default: the matrix again.
    SessionState& st = *s;
    st.NrColumns = st.NrRows = 2;
    for (int e = 1; e <= 4; ++e) {
        st.ElectrodeCol[static_cast<size_t>(e)] = 1 + (e - 1) % 2;
        st.ElectrodeRow[static_cast<size_t>(e)] = 1 + (e - 1) / 2;
    }
    st.FileLoaded = st.SignalsLoaded = true;
    st.WindowA = 10000;
    test::addMark(st, 1, 1234);
    test::addMark(st, 4, 1600);

    // "Time Map" of Display A shows the map: cell 1 is red, cell 4 orange.
    w->action("TimeMap1")->trigger();
    ASSERT_EQ(st.DisplayTypeA, 0);
    const QImage& image = w->canvasA().image();
    const int c = st.CellWidth;
    ASSERT_GT(c, 10);
    EXPECT_EQ(image.pixel(st.MapLeft + 3, st.MapTop + 3), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(st.MapLeft + c + 3, st.MapTop + c + 3), qRgb(255, 136, 68));
    EXPECT_EQ(image.pixel(st.MapLeft + c + 3, st.MapTop + 3), qRgb(255, 255, 255));  // no mark

    QAction* colours = w->action("HideColors1");
    colours->trigger();
    EXPECT_EQ(colours->text(), "show map colors");
    EXPECT_EQ(image.pixel(st.MapLeft + 3, st.MapTop + 3), qRgb(255, 255, 255));
    colours->trigger();
    EXPECT_EQ(colours->text(), "hide map colors");
    w->action("PlotIsochrones1")->trigger();
    EXPECT_EQ(w->action("PlotIsochrones1")->text(), "hide Isochrones");
    w->action("HideGrid1")->trigger();
    EXPECT_EQ(w->action("HideGrid1")->text(), "show Grid");

    // Text that is not a number stops the question with the error message.
    host.inputs = {std::string("abc")};
    w->action("ChangeIsochrones1")->trigger();
    EXPECT_EQ(host.errors.size(), 1u);
    host.inputs = {std::string("1000")};
    w->action("ReferenceTime1")->trigger();
    EXPECT_EQ(st.RefTime, 1000);
    w->action("ShowSWsSpikes1")->trigger();
    EXPECT_TRUE(st.ShowSWsAndSpikes);
    EXPECT_TRUE(w->action("ShowSWsSpikes1")->isChecked());
}

}  // namespace
}  // namespace vk
