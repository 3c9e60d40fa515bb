// Map > "Animate..." in the real window, offscreen: stepping, playing, the
// slider, speed and loop, following RefTime, saving the GIF, and a session
// left as it was.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include "desktop/AnimateWindow.h"
#include "desktop/QtCanvas.h"
#include "support/WindowFixture.h"

namespace vk {
namespace {

TEST(AnimateWindow, StepsPlaysAndSavesWithoutChangingTheSession) {
    test::Window t;
    t.useGrid();
    SessionState& st = *t.s;
    test::addMark(st, 1, 1000);
    test::addMark(st, 10, 2000);
    const auto before = std::tuple(st.RefTime, st.MapTop, st.CellWidth, st.EarliestTime, st.MapBegin, st.MapWindow);
    t.w->action("Animate1")->trigger();
    auto* a = t.w->findChild<AnimateWindow*>("AnimateForm");
    ASSERT_TRUE(a && a->isVisible());
    // The offscreen platform leaves the main window active: the keys go to the player once it is.
    QApplication::setActiveWindow(a);
    ASSERT_EQ(QApplication::activeWindow(), a);
    auto* slider = a->findChild<QSlider*>("TimeSlider");
    auto* play = a->findChild<QPushButton*>("PlayButton");
    // Panel A's 10000 ms in 50 ms steps, paused at the first frame.
    EXPECT_EQ(std::tuple(a->movie()->frames(), slider->maximum(), a->frame(), a->playing(), a->movie()->base()),
              std::tuple(201, 200, 0, false, 1000));

    QTest::keyClick(a, Qt::Key_Right);
    QTest::keyClick(a, Qt::Key_Right);
    QTest::keyClick(a, Qt::Key_Left);
    EXPECT_EQ(std::tuple(a->frame(), slider->value()), std::tuple(1, 1));
    QTest::keyClick(a, Qt::Key_Space);
    EXPECT_EQ(std::tuple(a->playing(), play->text()), std::tuple(true, QString("Pause")));
    a->tick(1000.0);  // a second of real time at 1x: 20 frames on
    EXPECT_EQ(a->frame(), 21);
    QTest::keyClick(a, Qt::Key_Space);
    EXPECT_EQ(std::tuple(a->playing(), play->text()), std::tuple(false, QString("Play")));

    // The slider to 1000 ms: electrode 1's cell is red, electrode 10's white.
    slider->setValue(20);
    const Movie::Cell& e1 = a->movie()->cells()[0];
    const Movie::Cell& e10 = a->movie()->cells()[9];
    EXPECT_EQ(std::tuple(a->frame(), a->picture().pixel(e1.x1 + 5, e1.y1 + 5), a->picture().pixel(e10.x1 + 5, e10.y1 + 5)),
              std::tuple(20, qRgb(255, 0, 0), qRgb(255, 255, 255)));

    // A new step keeps the time shown.
    auto* step = a->findChild<QSpinBox*>("StepBox");
    step->setValue(100);
    EXPECT_EQ(std::tuple(a->frame(), a->movie()->frames(), slider->maximum()), std::tuple(10, 101, 100));
    step->setValue(50);

    // 8x real time: 100 ms later 16 frames on; without looping it stops on the last.
    a->findChild<QComboBox*>("SpeedBox")->setCurrentIndex(5);
    a->findChild<QCheckBox*>("LoopBox")->setChecked(false);
    play->click();
    a->tick(100.0);
    EXPECT_EQ(a->frame(), 36);
    a->tick(60000.0);
    EXPECT_EQ(std::tuple(a->frame(), a->playing()), std::tuple(200, false));

    // It follows RefTime: the bands now count from 500.
    st.RefTime = 500;
    for (int i = 0; i < 40 && a->movie()->base() != 500; ++i) QTest::qWait(50);
    EXPECT_EQ(a->movie()->base(), 500);

    t.host.files.push_back(FileChoice{t.dir.file("movie.gif")});
    a->findChild<QPushButton*>("SaveGifButton")->click();
    EXPECT_EQ(std::tuple(t.host.dialogs.back().title, t.host.errors.size()), std::tuple(std::string("Save as GIF"), size_t{0}));
    EXPECT_EQ(test::TempDir::read(t.dir.file("movie.gif")).substr(0, 6), "GIF89a");

    a->close();
    st.RefTime = 0;
    EXPECT_EQ(std::tuple(st.RefTime, st.MapTop, st.CellWidth, st.EarliestTime, st.MapBegin, st.MapWindow), before);
}

// Frames drawn from the one before are the frames drawn whole, pixel for
// pixel: on a 4 x 3 array with a hole (electrode 6) and two electrodes at
// one position (13 over 1), every frame forward and some jumps back.
TEST(AnimateWindow, FramesDrawnFromTheOneBeforeAreTheWholeFrames) {
    auto s = test::gridSession(4, 3);
    s->ElectrodeCol[6] = s->ElectrodeRow[6] = 0;
    s->ElectrodeCol[13] = s->ElectrodeRow[13] = 1;
    for (int e = 1; e <= 13; ++e) test::addMark(*s, e, 100 + 37 * e);
    test::addMark(*s, 13, 700);
    QtCanvas whole, changes;
    whole.resize(150, 120);
    changes.resize(150, 120);
    const Movie m(*s, {0, 1000, 20, 150, SlowWave}, 150, 120, whole);
    std::vector<int> order;
    for (int k = 0; k < m.frames(); ++k) order.push_back(k);
    for (const int k : {30, 5, 29, 36}) order.push_back(k);
    int shown = -1;
    for (const int k : order) {
        whole.beginDraw();
        m.drawFrame(whole, k);
        whole.endDraw();
        changes.beginDraw();
        m.drawFrame(changes, k, shown);
        changes.endDraw();
        shown = k;
        ASSERT_EQ(changes.image(), whole.image()) << "frame " << k;
    }
}

}  // namespace
}  // namespace vk
