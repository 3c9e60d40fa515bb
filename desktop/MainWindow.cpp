// The main window: builds its parts (see the MainWindow*.cpp files beside
// this one) and wires the menu items, title-bar buttons and redraws to the
// program's commands.
#include "desktop/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>

#include "desktop/AnalyseElgWindow.h"
#include "desktop/ElectrogramToolsWindow.h"
#include "desktop/MacWindow.h"
#include "desktop/MainWindowHost.h"
#include "desktop/MiniWindows.h"
#include "desktop/PreferencesDialog.h"
#include "desktop/PrintDialog.h"
#include "desktop/QtDialogs.h"
#include "desktop/ReferenceTableWindow.h"
#include "desktop/TitleBar.h"
#include "desktop/DetectDialog.h"
#include "desktop/WaveFormDialog.h"
#include "desktop/WhichElectrodePanel.h"
#include "electrograms/TraceDisplay.h"
#include "maps/MapCommands.h"
#include "marks/Connections.h"
#include "marks/BackgroundJournal.h"
#include "session/Texts.h"
#include "shell/Commands.h"
#include "shell/Display.h"
#include "shell/MenuCommands.h"
#include "shell/ViewCommands.h"

namespace vk {

MainWindow::MainWindow(SessionState& state, Host* dialogs) : state_(state) {
    if (!dialogs) {
        ownDialogs_ = std::make_unique<QtDialogs>(this);
        dialogs = ownDialogs_.get();
    }
    host_ = std::make_unique<WindowHost>(*this, *dialogs);
    ctx_ = std::make_unique<Ctx>(Ctx{state_, *host_, RedrawPanels, &canvasA_, &canvasB_});

    setObjectName("MainF");
    setWindowTitle(QString::fromStdString(MainCaption));
    QFont f = font();
    f.setPixelSize(14);
    setFont(f);

    const QLocale locale = QLocale::system();
    state_.Locale.decimalSeparator = locale.decimalPoint().isEmpty() ? '.' : locale.decimalPoint().at(0).toLatin1();
    state_.Locale.thousandsSeparator =
        locale.groupSeparator().isEmpty() ? '\0' : locale.groupSeparator().at(0).toLatin1();
    if (state_.Locale.decimalSeparator == '\0') state_.Locale.decimalSeparator = '.';

    buildMenus();
    buildPanels();
    buildOverlays();
    buildStatusBar();
    createWindows();
    connectHandlers();
    connectReferencesAndConnections();
    connectExports();

    // The window sees the navigation keys before any of its controls.
    qApp->installEventFilter(this);

    // Initialisation and the recent-file list.
    InitSession(state_);
    StartUp(*ctx_);
    syncFromState();
    startJournal();
}

MainWindow::~MainWindow() { stopJournal(); }

void MainWindow::scheduleRedraw() {
    if (redrawPending_) return;
    redrawPending_ = true;
    QTimer::singleShot(0, this, [this] {
        redrawPending_ = false;
        if (ctx_) UpdateDisplay(*ctx_);
    });
}

void MainWindow::titleButton(int panel, const QString& name, int item) {
    run([&](Ctx& c) { RunTitleButton(c, name.toStdString(), panel, item); });
}

void MainWindow::run(const std::function<void(Ctx&)>& command) { command(*ctx_); }

void MainWindow::connectHandlers() {
    auto on = [this](const char* name, std::function<void(Ctx&)> command) {
        QAction* a = actions_.value(name);
        a->setEnabled(true);
        connect(a, &QAction::triggered, this, [this, command] { run(command); });
    };
    for (const MenuCommand& m : MenuCommands()) on(m.name, m.run);

    // The items whose command needs a window of its own or a caption that
    // follows the toggle.
    on("Preferences1", [this](Ctx& c) { preferences_->open(c.s); });
    on("ElgWaveSettings1", [this](Ctx& c) { waveForm_->open(c.s); });
    on("AnalyseElg1", [this](Ctx& c) { analyseElg_->open(c); });
    // The activation detector's dialog keeps the last run for "Undo Detection".
    auto* detect = new DetectDialog(this);
    on("DetectActivations1", [detect](Ctx& c) { detect->open(c); });
    on("UndoDetection1", [detect](Ctx& c) { detect->undo(c); });
    // The item keeps the menu's own caption until it is first used; then it
    // names what the next use does.
    QAction* memoItem = actions_.value("ShowMemoWindow1");
    on("ShowMemoWindow1", [this, memoItem](Ctx& c) {
        ShowMemoWindow1Click(c);
        memoItem->setText(QString::fromStdString(MemoItemCaption(state_)));
    });
    const std::pair<const char*, ElgOption> options[] = {
        {"HideMarks1", ElgOption::Marks},           {"HideTimes1", ElgOption::Times},
        {"ShowSWIntervals1", ElgOption::SWIntervals}, {"ShowSpikeIntervals1", ElgOption::SpikeIntervals},
        {"HideBackgroundColor1", ElgOption::BackgroundColor}, {"AverageOffsetOff1", ElgOption::AverageOffset},
        {"PlotOnlyDots1", ElgOption::OnlyDots},     {"PlotMarkNr1", ElgOption::MarkNr}};
    for (const auto& [name, option] : options) {
        const ElgOption o = option;
        QAction* a = actions_.value(name);
        on(name, [this, o, a](Ctx& c) {
            ToggleElgOption(c, o);
            a->setText(QString::fromStdString(ElgOptionCaption(state_, o)));
        });
    }
    // The Map menu: display switches with their captions, and two questions.
    const std::pair<const char*, MapOption> mapOptions[] = {{"HideGrid1", MapOption::Grid},
                                                            {"HideColors1", MapOption::Colors},
                                                            {"HideDigits1", MapOption::Digits},
                                                            {"PlotIsochrones1", MapOption::Isochrones},
                                                            {"PlotArrows1", MapOption::Arrows}};
    for (const auto& [name, option] : mapOptions) {
        const MapOption o = option;
        QAction* a = actions_.value(name);
        on(name, [this, o, a](Ctx& c) {
            ToggleMapOption(c, o);
            a->setText(QString::fromStdString(MapOptionCaption(state_, o)));
        });
    }

    connectMapTools();

    for (const char* name : {"TimeDiff1", "WaveModeMarkNr1", "PlotLocalTimes1", "AutomaticPositioning1",
                             "PlotOnlyDots1", "PlotMarkNr1", "TimeMap1", "CountMap1", "ElectrodeMap1", "IntervalMap1",
                             "Amplitude1", "Slope1", "Velocities1", "MarkNr1", "TimeMap2", "CountMap2", "ElectrodeMap2",
                             "IntervalMap2", "Amplitude2", "Slope2", "MarkNr2", "SlowWave2", "Spike2", "MarkType31",
                             "SlowWave3", "Spike3", "MarkType32", "Analyse1", "Rectangle1", "Square1",
                             "ShowStatistics1", "ShowAmplitudeSlope1", "ShowSWsSpikes1"})
        actions_.value(name)->setCheckable(true);
}

void MainWindow::attach(const char* name, std::function<void(Ctx&)> command) {
    QAction* a = actions_.value(name);
    a->setEnabled(true);
    connect(a, &QAction::triggered, this, [this, command] { run(command); });
}

// The exports and the printing that ask first in a window of their own.
void MainWindow::connectExports() {
    attach("ExportAllMarks1", [this](Ctx&) { whichElectrode_->open(); });
    attach("ExportToMac1", [this](Ctx&) { mac_->open(); });
    attach("Print1", [this](Ctx& c) { print_->open(c.s); });
    attach("PrintDialog1", [this](Ctx&) { print_->choosePrinter(); });
}

// Map expansion, the statistics and the mini windows.
void MainWindow::connectMapTools() {
    actions_.value("ExpandMap1")->setCheckable(true);
    // The mini grid needs a matrix: the item waits for one.
    actions_.value("ShowMiniWindow1")->setEnabled(false);
}

void MainWindow::connectReferencesAndConnections() {
    attach("ReferenceTable1", [this](Ctx& c) { referenceTable_->open(c.s); });
    QAction* shown = actions_.value("HideConnections1");
    attach("HideConnections1", [this, shown](Ctx& c) {
        ToggleShowConnections(c);
        shown->setText(QString::fromStdString(ShowConnectionsCaption(state_)));
    });
}

void MainWindow::syncFromState() {
    const StatusTexts t = StatusBarTexts(state_);
    const std::string texts[] = {t.fileName, t.matrix, t.refTime, t.sigLength, t.amplitude};
    for (int i = 0; i < statusLabels_.size(); ++i) statusLabels_[i]->setText(QString::fromStdString(texts[i]));
    statusLabels_[0]->setToolTip(QString::fromStdString(state_.FileName));
    statusLabels_[1]->setToolTip(QString::fromStdString(state_.MatrixFileName));
    statusLabels_[3]->setToolTip("Total length of Signal");

    for (int i = 1; i <= 10; ++i) {
        QAction* a = actions_.value(QString("ShowPrevFile%1").arg(i));
        a->setText(QString::fromStdString(state_.RecentNames[static_cast<size_t>(i)]));
    }
    actions_.value("SamplingFrequency1")->setText(QString::fromStdString(SamplingFrequencyCaption(state_)));
    actions_.value("Tile1")->setText(QString::fromStdString(TileItemCaption(state_)));
    menus_.value("Display B")->setEnabled(state_.Tiled);
    syncMenuChecks();
    titleA_->showState(TitleBarOf(state_, 1), state_.DisplayTypeA, state_.TraceOrderItemA, state_.CurrentMarkNr);
    titleB_->showState(TitleBarOf(state_, 2), state_.DisplayTypeB, state_.TraceOrderItemB, state_.CurrentMarkNr);
    titleA_->button("T")->setToolTip(state_.Tiled ? "Tile one display" : "Tile two displays");
    for (TitleBar* t : {titleA_, titleB_}) {
        t->button("Map")->setToolTip("Display Activation Time Map");
        t->button("Ele")->setToolTip("Display Electrograms");
        t->button("Wav")->setToolTip("Display Wave Map");
    }
    statusLabels_[2]->setToolTip("Ref electrode =" + QString::number(state_.RefElectrode));
    placeStatusLabels();
    if (state_.MarkStatisticsShown) fillMarkStatistics();
    eleTools_->sync(state_);
    miniMap_->sync(state_);
    miniGrid_->sync(state_);
    if (state_.DataPadRequested) {
        dataPad_->show(state_.DataPad);
        state_.DataPadRequested = false;
    }
    panelB_->setVisible(state_.Tiled);
    panelB_->setEnabled(state_.Tiled);
    layoutPanels();

    memo_->setVisible(state_.ShowMemo);
    if (memoLinesShown_ > state_.Memo1.size()) {
        memo_->clear();
        memoLinesShown_ = 0;
    }
    for (; memoLinesShown_ < state_.Memo1.size(); ++memoLinesShown_)
        memo_->appendPlainText(QString::fromStdString(state_.Memo1[memoLinesShown_]));
}

void MainWindow::openFromCommandLine(const QString& matrix, const QString& recording) {
    OpenFromCommandLine(*ctx_, matrix.toStdString(), recording.toStdString());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window manager's close goes through Quit, so unsaved marks are
    // asked about first.
    if (quitApproved_) {
        event->accept();
        return;
    }
    event->ignore();
    run(Quit1Click);
}

}  // namespace vk
