// The key E over a map hole in the real window: the filled cell shows its
// colour band at once, in italics beside the cells it came from.
#include <gtest/gtest.h>

#include <QAction>

#include "desktop/PanelWidget.h"
#include "support/GridSession.h"
#include "support/WindowFixture.h"

namespace vk {
namespace {

TEST(MapWindow, AHoleFilledByKeyEIsPaintedInItsBandAtOnce) {
    test::Window t;
    SessionState& s = *t.s;
    s.NrColumns = s.NrRows = 2;
    for (int e = 1; e <= 4; ++e) {
        const int column = 1 + (e - 1) % 2, row = 1 + (e - 1) / 2;
        s.ElectrodeCol[static_cast<size_t>(e)] = column;
        s.ElectrodeRow[static_cast<size_t>(e)] = row;
        s.MatrixGrid[static_cast<size_t>(column)][static_cast<size_t>(row)] = e;
    }
    s.FileLoaded = s.SignalsLoaded = true;
    s.WindowA = 10000;
    s.Prefs.ExpandNeighbours = 2;
    test::addMark(s, 1, 1234);  // red (band 1 from the base 1000)
    test::addMark(s, 4, 2600);  // light green (band 4)
    t.w->action("TimeMap1")->trigger();
    const QImage& image = t.w->canvasA().image();
    const int c = s.CellWidth;
    ASSERT_GT(c, 10);
    auto corner = [&](int column, int row) { return image.pixel(s.MapLeft + (column - 1) * c + 3, s.MapTop + (row - 1) * c + 3); };
    ASSERT_EQ(corner(2, 1), qRgb(255, 255, 255));
    QTest::mouseMove(t.w->paintBox(1), QPoint(s.MapLeft + c + c / 2, s.MapTop + c / 2));
    QTest::keyClick(t.w->paintBox(1), Qt::Key_E);
    // (1234 + 2600) div 2 = 1917: orange, band 2.
    EXPECT_EQ(std::tuple(s.MapBuf.at(2, 1).Time, t.host.beeps), std::tuple(1917, 1));
    EXPECT_EQ(corner(2, 1), qRgb(255, 136, 68));
    EXPECT_EQ(std::tuple(corner(1, 1), corner(2, 2), corner(1, 2)),
              std::tuple(qRgb(255, 0, 0), qRgb(136, 255, 136), qRgb(255, 255, 255)));
}

}  // namespace
}  // namespace vk
