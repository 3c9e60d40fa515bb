// Electrograms > "Detect Activations..." and "Undo Detection": one run is
// one step taken back, and only while the marks are as it left them.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <cmath>

#include "marks/MarkStore.h"
#include "support/WindowFixture.h"

namespace vk::test {
namespace {

TEST(DetectDialog, RunIsOneUndoStepUntilTheNextChange) {
    Window t;
    t.useGrid();
    t.s->NrChannelsInFile = 2;
    // Slow waves every 2 s from 1000 ms on channel 1; channel 2 stays flat.
    for (int r = 1; r <= 10000; ++r) {
        const double x = std::fmod(r, 2000.0) - 1000;
        t.s->Signals.at(r, 1) = static_cast<int32_t>(std::lround(-1500 * std::tanh(x / 25) * std::exp(-(x / 350) * (x / 350))));
    }
    t.s->CurrentElectrode = 1;
    auto runDialog = [&] {
        QString shown;
        QTimer::singleShot(0, [&] {
            auto* d = t.w->findChild<QDialog*>("DetectF");
            shown = d->findChild<QLabel*>("DetectResolved")->text();
            d->accept();
        });
        t.w->action("DetectActivations1")->trigger();
        return shown;
    };
    const QString resolved = runDialog();
    EXPECT_TRUE(resolved.startsWith("On channel 1: rhythm 29.98 cycles/min; band auto 0.2499-2.0000 Hz; minimum interval auto 1401 ms;")) << resolved.toStdString();
    EXPECT_EQ(t.s->MarkCount, 5);  // 1000, 3000 .. 9000 ms
    // Replace is on: a second run takes the first one's marks out.
    runDialog();
    EXPECT_EQ(t.s->MarkCount, 10);
    t.w->action("UndoDetection1")->trigger();
    EXPECT_EQ(t.s->MarkCount, 5);
    EXPECT_EQ(CalcMarkStatistics(*t.s).automaticSlowWaves, 5);
    // A change after the run ends the step: nothing is undone, a beep.
    runDialog();
    t.s->CurrentElectrode = 1;
    AddMarkRecord(*t.s, 500, SlowWave, 1);
    const int beeps = t.host.beeps;
    t.w->action("UndoDetection1")->trigger();
    EXPECT_EQ(t.host.beeps, beeps + 1);
    EXPECT_EQ(CalcMarkStatistics(*t.s).slowWaves, 6);
}

}  // namespace
}  // namespace vk::test
