// The waveform grid's settings dialog and the analysis window in the real
// main window, offscreen, on the demo recording.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "desktop/AnalyseElgWindow.h"
#include "desktop/MainWindow.h"
#include "desktop/PanelWidget.h"
#include "desktop/WaveFormDialog.h"
#include "input/DemoRecording.h"
#include "shell/Commands.h"
#include "support/WindowFixture.h"

namespace vk {
namespace {

struct DemoWindow : test::Window {
    DemoWindow() {
        w->resize(1280, 800);
        const DemoFiles demo = WriteDemoRecording(dir.file("demo"));
        EXPECT_TRUE(OpenFromCommandLine(w->ctx(), demo.matrix, demo.recording));
    }
    QDialog* window(const char* name) const { return w->findChild<QDialog*>(name); }
};

// Every label of a window shows its text whole.
void expectLabelsFit(const QWidget* window) {
    for (const QLabel* l : window->findChildren<QLabel*>()) {
        const QFontMetrics m(l->font());
        EXPECT_LE(m.horizontalAdvance(l->text()), l->contentsRect().width()) << l->text().toStdString();
    }
}

TEST(WaveformWindows, ElgWaveformsAndItsSettingsDialog) {
    DemoWindow t;
    t.w->action("ElgWaveforms1")->trigger();
    EXPECT_EQ(t.s->ElgViewMode, 2);
    // Green traces inside the grid: the first cell's middle line has ink.
    const QImage& image = t.w->canvasA().image();
    int green = 0;
    for (int x = t.s->PlotLeft; x <= t.s->PlotLeft + t.s->WaveCellWidth; ++x)
        for (int y = t.s->PlotTop; y <= t.s->PlotTop + t.s->WaveCellHeight; ++y)
            green += image.pixel(x, y) == qRgb(0, 128, 0);
    EXPECT_GT(green, 50);

    t.w->action("ElgWaveSettings1")->trigger();
    QDialog* d = t.window("WaveF");
    ASSERT_TRUE(d->isVisible());
    EXPECT_EQ(d->windowTitle(), "WaveF");
    EXPECT_NE(d->findChild<QLabel*>()->text(), "");
    expectLabelsFit(d);
    WaveFormDialog* dialog = t.w->waveFormDialog();
    EXPECT_EQ(dialog->lengthEdit()->text().toInt(), t.s->WindowA);
    EXPECT_TRUE(dialog->box(0)->isChecked());
    dialog->box(0)->setChecked(false);
    dialog->box(2)->setChecked(true);
    d->findChild<QPushButton*>("OKButton")->click();
    EXPECT_EQ(std::tuple(d->isVisible(), t.s->WaveGrid, t.s->WavePlotElgNr), std::tuple(false, false, true));
    // Text that is not a number keeps the dialog open with the message.
    t.w->action("ElgWaveSettings1")->trigger();
    dialog->lengthEdit()->setText("4x");
    d->findChild<QPushButton*>("OKButton")->click();
    EXPECT_EQ(std::tuple(d->isVisible(), t.host.errors.size()), std::tuple(true, 1u));
    d->findChild<QPushButton*>("CancelButton")->click();
    EXPECT_FALSE(d->isVisible());
}

TEST(WaveformWindows, AnalyseElectrogramWindow) {
    DemoWindow t;
    t.s->FirstChannel = 17;
    t.w->action("AnalyseElg1")->trigger();
    QDialog* d = t.window("AlyElgForm");
    ASSERT_TRUE(d->isVisible());
    EXPECT_EQ(d->windowTitle(), "Analyse Electrogram");
    AnalyseElgWindow* a = t.w->analyseElgWindow();
    auto typed = [&] { return a->edit(0)->text() + "|" + a->edit(1)->text() + "|" + a->edit(2)->text(); };
    EXPECT_EQ(std::tuple(t.s->AlyElectrode, typed(), a->label("TypeLabel1")->text()), std::tuple(17, QString("-100|300|100"), QString("Slow Waves")));
    a->stepButton(false)->click();
    EXPECT_EQ(t.s->AlyElectrode, 16);
    // Update keeps what was typed when it refuses it, and takes it otherwise.
    QPushButton* update = d->findChild<QPushButton*>("Update1");
    for (const char* width : {"3OO", "-5"}) {
        a->edit(0)->setText("-150");
        a->edit(1)->setText(width);
        update->click();
        EXPECT_EQ(std::tuple(typed(), t.s->Prefs.MinDiffLevel[1]), std::tuple(QString("-150|") + width + "|100", -100));
    }
    a->edit(1)->setText(" 250");
    update->click();
    EXPECT_EQ(std::tuple(typed(), t.s->Prefs.MinDiffLevel[1], t.s->Prefs.SearchWidth[1]), std::tuple(QString("-150|250|100"), -150, 250));
    a->paintBox()->onMouseMove(300, 50);
    EXPECT_EQ(a->label("SampleLabel")->text(), " Sample nr: 290");
    EXPECT_TRUE(a->label("VLabel")->text().endsWith(" mV"));
    expectLabelsFit(d);
    d->findChild<QPushButton*>("Quit1")->click();
    EXPECT_FALSE(d->isVisible());
}

}  // namespace
}  // namespace vk
