// The program's windows besides the main one, created once at start, and
// the mark statistics window.
#include "desktop/MainWindow.h"

#include <QDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "desktop/AnalyseElgWindow.h"
#include "desktop/ElectrogramToolsWindow.h"
#include "desktop/ImportWindow.h"
#include "desktop/MacWindow.h"
#include "desktop/MiniWindows.h"
#include "desktop/PreferencesDialog.h"
#include "desktop/PrintDialog.h"
#include "desktop/ReferenceTableWindow.h"
#include "desktop/WaveFormDialog.h"
#include "desktop/WhichElectrodePanel.h"
#include "marks/MarkStore.h"
#include "session/Draw.h"
#include "shell/Commands.h"

namespace vk {

void MainWindow::createWindows() {
    // The program's windows, created once at start in this order and kept
    // for the whole run; all but the main window start hidden.
    static const char* const names[] = {"Init",        "E00Form",    "MapF",        "EleF",       "DspF",
                                        "PrefF",       "WaveForm",   "DataPadForm", "MiniWindowF", "NewMarkForm",
                                        "MacForm",     "PrintForm",  "RefForm",     "AlyElgForm", "StatsForm",
                                        "WaveF",       "ConnectF",   "ImportF"};
    windows_.push_back(this);
    for (const char* name : names) {
        auto* w = new QDialog(this);
        w->setObjectName(name);
        w->hide();
        windows_.push_back(w);
    }
    buildMarkStatistics(static_cast<QDialog*>(windows_[10]));
    auto runner = [this](const std::function<void(Ctx&)>& command) { run(command); };
    dataPad_ = std::make_unique<DataPadWindow>(static_cast<QDialog*>(windows_[8]), [this] { run(UpdateDisplay); });
    mac_ = std::make_unique<MacWindow>(static_cast<QDialog*>(windows_[11]), runner);
    whichElectrode_ = std::make_unique<WhichElectrodePanel>(this, runner);
    analyseElg_ = new AnalyseElgWindow(findChild<QDialog*>("AlyElgForm", Qt::FindDirectChildrenOnly), runner);
    waveForm_ = new WaveFormDialog(findChild<QDialog*>("WaveF", Qt::FindDirectChildrenOnly), runner);
    preferences_ = new PreferencesDialog(findChild<QDialog*>("PrefF", Qt::FindDirectChildrenOnly), runner);
    print_ = new PrintDialog(findChild<QDialog*>("PrintForm", Qt::FindDirectChildrenOnly), runner);
    eleTools_ = new ElectrogramToolsWindow(findChild<QDialog*>("EleF", Qt::FindDirectChildrenOnly), runner);
    miniMap_ = std::make_unique<MiniMapWindow>(findChild<QDialog*>("MapF", Qt::FindDirectChildrenOnly), runner);
    miniGrid_ = std::make_unique<MiniGridWindow>(findChild<QDialog*>("MiniWindowF", Qt::FindDirectChildrenOnly));
    import_ = new ImportWindow(findChild<QDialog*>("ImportF", Qt::FindDirectChildrenOnly), state_, runner);
    referenceTable_ = new ReferenceTableWindow(findChild<QDialog*>("RefForm", Qt::FindDirectChildrenOnly), runner);
}

void MainWindow::buildMarkStatistics(QDialog* w) {
    markStatistics_ = w;
    w->setWindowTitle("Mark Statistics");
    auto* l = new QVBoxLayout(w);
    marksGrid_ = new QTableWidget(5, 4, w);
    marksGrid_->setObjectName("MarksGrid");
    marksGrid_->horizontalHeader()->hide();
    marksGrid_->verticalHeader()->hide();
    marksGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    l->addWidget(marksGrid_);
    auto* ok = new QPushButton("OK", w);
    l->addWidget(ok, 0, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, [this] { run(MarkStatisticsOkClick); });
    // Closing the window by its frame acts as "OK".
    connect(w, &QDialog::rejected, this, [this] {
        if (state_.MarkStatisticsShown) run(MarkStatisticsOkClick);
    });
    w->resize(460, 220);
}

void MainWindow::fillMarkStatistics() {
    const auto grid = MarkStatisticsGrid(CalcMarkStatistics(state_));
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c)
            marksGrid_->setItem(r, c, new QTableWidgetItem(QString::fromStdString(grid[static_cast<size_t>(r)][static_cast<size_t>(c)])));
}

}  // namespace vk
