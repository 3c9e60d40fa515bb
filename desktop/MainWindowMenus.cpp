// The menu bar built from the menu table, and the check marks and captions
// that follow the session state.
#include "desktop/MainWindow.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "desktop/AnimateWindow.h"
#include "desktop/MenuTable.h"
#include "maps/MiniMap.h"
#include "shell/Display.h"
#include "waves/WaveDetection.h"

namespace vk {

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    const std::vector<bool> owners = ShortcutOwners(MainMenuTable());
    auto owner = owners.begin();
    for (const MenuItemDef& def : MainMenuTable()) {
        QAction* a = nullptr;
        if (!def.menu) {
            a = bar->addAction(def.caption);
        } else {
            QMenu* menu = menus_.value(def.menu);
            if (!menu) {
                menu = bar->addMenu(def.menu);
                menu->setObjectName(def.menu);
                menus_.insert(def.menu, menu);
            }
            if (def.submenu) {
                const QString key = QString(def.menu) + "/" + def.submenu;
                QMenu* sub = menus_.value(key);
                if (!sub) {
                    sub = menu->addMenu(def.submenu);
                    sub->setObjectName(key);
                    menus_.insert(key, sub);
                }
                menu = sub;
            }
            // A key taken by an earlier item is only shown beside the caption.
            a = menu->addAction(def.shortcut && !*owner ? QString(def.caption) + "\t" + def.shortcut
                                                        : QString(def.caption));
        }
        a->setObjectName(def.name);
        if (def.shortcut && *owner) a->setShortcut(QKeySequence(def.shortcut));
        // Shortcuts work in every part of the window, also over the panels.
        a->setShortcutContext(Qt::ApplicationShortcut);
        a->setEnabled(false);  // until a handler is attached
        actions_.insert(def.name, a);
        ++owner;
    }
    // The whole "Display B" menu follows the tiling.
    menus_.value("Display B")->setEnabled(false);
    // The propagation movie plays in a window of its own.
    QAction* animate = actions_.value("Animate1");
    animate->setEnabled(true);
    connect(animate, &QAction::triggered, this, [this] { run([this](Ctx& c) { OpenAnimateWindow(this, c); }); });
}

void MainWindow::syncMenuChecks() {
    const MenuChecks m = UpdateChecks(state_);
    const char* const mapA[] = {"TimeMap1", "CountMap1", "ElectrodeMap1", "IntervalMap1", "Amplitude1", "Slope1", "Velocities1", "MarkNr1"};
    const char* const mapB[] = {"TimeMap2", "CountMap2", "ElectrodeMap2", "IntervalMap2", "Amplitude2", "Slope2", nullptr, "MarkNr2"};
    for (int k = 0; k < 8; ++k) {
        if (mapA[k]) actions_.value(mapA[k])->setChecked(m.mapKindA == k);
        if (mapB[k]) actions_.value(mapB[k])->setChecked(m.mapKindB == k);
    }
    const char* const typesA[] = {"SlowWave2", "Spike2", "MarkType31"};
    const char* const typesB[] = {"SlowWave3", "Spike3", "MarkType32"};
    for (int t = 0; t < 3; ++t) {
        actions_.value(typesA[t])->setChecked(m.markTypeA == t + 1);
        actions_.value(typesB[t])->setChecked(m.markTypeB == t + 1);
    }
    actions_.value("ShowStatistics1")->setChecked(m.waveStatistics);
    actions_.value("ShowAmplitudeSlope1")->setChecked(m.amplitudes);
    actions_.value("Analyse1")->setChecked(m.analyse);
    actions_.value("ShowSWsSpikes1")->setChecked(m.swsAndSpikes);
    actions_.value("UndoDeletedMarks1")->setEnabled(m.undoEnabled);
    actions_.value("UnhideMarks1")->setEnabled(m.unhideEnabled);
    actions_.value("PlotOnlyDots1")->setChecked(m.plotOnlyDots);
    actions_.value("PlotMarkNr1")->setChecked(m.plotMarkNr);
    actions_.value("Rectangle1")->setChecked(m.rectangle);
    actions_.value("Square1")->setChecked(!m.rectangle);
    actions_.value("TimeDiff1")->setChecked(state_.WaveMode == 1);
    actions_.value("WaveModeMarkNr1")->setChecked(state_.WaveMode == 2);
    actions_.value("PlotLocalTimes1")->setChecked(state_.PlotLocalTimes);
    actions_.value("AutomaticPositioning1")->setChecked(state_.AutoPositioning);
    actions_.value("ExpandMap1")->setChecked(state_.ExpandMap);
    // The item keeps the menu's own caption until the mini map is first shown.
    QAction* miniMapItem = actions_.value("ShowMiniMap1");
    if (state_.ShowMiniMap || miniMapItem->text() != "Show MiniMap")
        miniMapItem->setText(QString::fromStdString(MiniMapItemCaption(state_)));
    actions_.value("ShowMiniWindow1")->setText(QString::fromStdString(MiniWindowItemCaption(state_)));
    actions_.value("ShowMiniWindow1")->setEnabled(state_.NrColumns >= 1 && state_.NrRows >= 1);
    menus_.value("Waves/Wave mode (2)")->setTitle(QString::fromStdString(WaveModeCaption(state_)));
}

}  // namespace vk
