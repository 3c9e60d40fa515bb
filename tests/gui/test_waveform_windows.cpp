// The tool windows of the real main window, offscreen: the waveform grid's
// settings dialog and the analysis window on the demo recording, and the
// map tools.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "desktop/AnalyseElgWindow.h"
#include "desktop/ElectrogramToolsWindow.h"
#include "desktop/MainWindow.h"
#include "desktop/MiniWindows.h"
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

// The Map menu: a map painted through the Qt canvas, the statistics memo
// after each map draw, expansion from the menu, and the mini map window.
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
