// Electrograms > "Detect Activations..." and "Undo Detection": one run is
// one step taken back, and only while the marks are as it left them.
#include <gtest/gtest.h>

#include <QDialog>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cmath>
#include <cstring>

#include "desktop/DetectPreview.h"
#include "marks/MarkStore.h"
#include "shell/ViewCommands.h"
#include "support/RateSession.h"
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

// Slow waves every `period` ms with their steepest downstroke half a period
// after each multiple of it, on the given channels, `seconds` at `rate`.
void slowWaves(Window& t, int rate, int fromChannel, int toChannel, double period = 2000, int seconds = 10) {
    t.useGrid();
    SetSamplingFrequency(*t.s, rate);
    t.s->SignalLength = 1000 * seconds;
    t.s->NrOfFrames = seconds * rate;
    t.s->NrChannelsInFile = toChannel;
    for (int r = 1; r <= seconds * rate; ++r) {
        const double x = std::fmod(r * 1000.0 / rate, period) - period / 2;
        for (int c = fromChannel; c <= toChannel; ++c)
            t.s->Signals.at(r, c) = static_cast<int32_t>(std::lround(-1500 * std::tanh(x / 25) * std::exp(-(x / 350) * (x / 350))));
    }
}

TEST(DetectDialog, PreviewShowsTheFirstTraceOfPanelAAndFollowsTheFields) {
    for (int rate : Rates) {
        SCOPED_TRACE(rate);
        Window t;
        slowWaves(t, rate, 3, 4, 3000, 30);  // downstrokes at 1500, 4500 .. 28500 ms
        t.s->StartCol = 3;  // the first trace of panel A is electrode 3; channels 1 and 2 stay flat
        t.s->CurrentElectrode = 3;
        t.s->BeginTimeA = 2500;
        t.s->WindowA = 5000;
        std::vector<int32_t> opened, raised;
        QString caption;
        QTimer::singleShot(0, [&] {
            auto* d = t.w->findChild<QDialog*>("DetectF");
            auto* preview = d->findChild<DetectPreview*>("DetectPreview");
            opened = preview->times();
            caption = preview->caption();
            // A threshold no deflection reaches: after the pause, no marks.
            d->findChildren<QDoubleSpinBox*>()[5]->setValue(900);
            QTest::qWait(400);
            raised = preview->times();
            d->reject();
        });
        t.w->action("DetectActivations1")->trigger();
        EXPECT_EQ(opened, (std::vector<int32_t>{4500, 7500}));
        EXPECT_EQ(caption.toStdString(), "Channel 3, 2500-7500 ms: 2 activations");
        EXPECT_EQ(raised, std::vector<int32_t>{});
        EXPECT_EQ(t.s->MarkCount, 0);  // nothing marked before OK
    }
}

TEST(DetectDialog, CancelledRunLeavesTheMarksAsTheyWere) {
    // 20 channels: the run stops after its first group of channels, which
    // has removed and added marks by then; Esc stops it as the button does.
    for (bool byKey : {false, true}) {
        SCOPED_TRACE(byKey);
        Window t;
        slowWaves(t, 1000, 1, 20);
        auto runDialog = [&](bool cancel) {
            QTimer::singleShot(0, [&, cancel] {
                t.w->findChild<QDialog*>("DetectF")->accept();
                if (!cancel) return;
                QTimer::singleShot(0, [&] {
                    auto* button = t.w->findChild<QPushButton*>("DetectCancel");
                    ASSERT_NE(button, nullptr);
                    QTest::mouseClick(t.w.get(), Qt::LeftButton);  // swallowed: not the button
                    if (byKey) QTest::keyClick(t.w.get(), Qt::Key_Escape);
                    else QTest::mouseClick(button, Qt::LeftButton);
                });
            });
            t.w->action("DetectActivations1")->trigger();
        };
        runDialog(false);
        ASSERT_EQ(t.s->MarkCount, 100);
        t.s->MarksChanged = false;
        const std::vector<MarkRecord> before(t.s->MarkTable.begin() + 1, t.s->MarkTable.begin() + 101);
        runDialog(true);
        ASSERT_EQ(t.s->MarkCount, 100);
        EXPECT_EQ(std::memcmp(before.data(), t.s->MarkTable.data() + 1, before.size() * sizeof(MarkRecord)), 0);
        EXPECT_FALSE(t.s->MarksChanged);
        EXPECT_EQ(t.s->Memo1.back(), "Detection cancelled after 16 of 20 channels; the marks are as before the run");
        EXPECT_EQ(t.w->findChild<QPushButton*>("DetectCancel"), nullptr);
        // The earlier, finished run is still the step Undo takes back.
        t.w->action("UndoDetection1")->trigger();
        EXPECT_EQ(t.s->MarkCount, 0);
    }
}

}  // namespace
}  // namespace vk::test
