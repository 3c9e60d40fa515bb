// The main window: menu bar, the two display panels, the status bar, the
// overlay panels (progress, file information, help, about) and the tool
// windows created at start. It turns Qt events into calls of the program's
// commands and shows the session state after each redraw.
//
// MainWindow.cpp wires the menu items, title-bar buttons and redraws to the
// commands; the parts live beside it: MainWindowMenus.cpp (the menu bar and
// its check marks), MainWindowPanels.cpp (panels, memo, status bar),
// MainWindowOverlays.cpp (progress, file information, help, about),
// MainWindowKeys.cpp (keys over the panels), MainWindowTools.cpp (the tool
// windows and mark statistics), MainWindowJournal.cpp (the journal of
// unsaved mark changes) and MainWindowHost.h (the Host of commands).
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <functional>
#include <memory>
#include <vector>

#include "desktop/DataPadWindow.h"
#include "desktop/QtCanvas.h"
#include "session/Context.h"

class QAction;
class QDialog;
class QTableWidget;
class QFrame;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;

namespace vk {

class AnalyseElgWindow;
class MacWindow;
class WhichElectrodePanel;
class ElectrogramToolsWindow;
class MiniGridWindow;
class MiniMapWindow;
class ImportWindow;
class PanelWidget;
class PreferencesDialog;
class ReferenceTableWindow;
class BackgroundJournal;
class TitleBar;
class PrintDialog;
class WaveFormDialog;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // dialogs: who answers the user's questions (the Qt dialogs when null;
    // tests pass a scripted host).
    explicit MainWindow(SessionState& state, Host* dialogs = nullptr);
    ~MainWindow() override;

    Ctx& ctx() { return *ctx_; }
    QAction* action(const QString& name) const { return actions_.value(name, nullptr); }
    // The windows created at start, in order (the main window first).
    const std::vector<QWidget*>& windows() const { return windows_; }
    QWidget* overlay(Overlay which) const;
    QFrame* messagePanel() const { return messagePanel_; }
    QPlainTextEdit* memo() const { return memo_; }
    QList<QLabel*> statusLabels() const { return statusLabels_; }
    QLineEdit* fileInfoEdit() const { return fileInfoEdit_; }
    QtCanvas& canvasA() { return canvasA_; }
    QtCanvas& canvasB() { return canvasB_; }
    TitleBar* titleBar(int panel) const { return panel == 2 ? titleB_ : titleA_; }
    QWidget* panel(int panel) const { return panel == 2 ? panelB_ : panelA_; }
    PanelWidget* paintBox(int panel) const { return panel == 2 ? paintB_ : paintA_; }
    WaveFormDialog* waveFormDialog() const { return waveForm_; }
    PrintDialog* printDialog() const { return print_; }
    AnalyseElgWindow* analyseElgWindow() const { return analyseElg_; }
    PreferencesDialog* preferencesDialog() const { return preferences_; }
    DataPadWindow* dataPadWindow() const { return dataPad_.get(); }
    MacWindow* macWindow() const { return mac_.get(); }
    WhichElectrodePanel* whichElectrodePanel() const { return whichElectrode_.get(); }
    ElectrogramToolsWindow* electrogramTools() const { return eleTools_; }
    MiniMapWindow* miniMap() const { return miniMap_.get(); }
    MiniGridWindow* miniGrid() const { return miniGrid_.get(); }
    ImportWindow* importWindow() const { return import_; }
    ReferenceTableWindow* referenceTable() const { return referenceTable_; }

    // Opens what the command line named, after the window is shown.
    void openFromCommandLine(const QString& matrix, const QString& recording);

    // Brings labels, menus and panels in line with the session state.
    void syncFromState();

    // Hands the changes made since the last entry to the journal's thread
    // now (the timer does it within a second), and tells in the memo window
    // when the journal could not be written.
    void journalChanges();
    // Waits until the journal's thread wrote what it was handed (tests).
    void waitForJournal();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class WindowHost;
    friend class WindowHost;

    void buildMenus();
    void buildPanels();
    void buildOverlays();
    void buildStatusBar();
    void placeStatusLabels();
    void createWindows();
    void buildMarkStatistics(QDialog* w);
    void fillMarkStatistics();
    void connectHandlers();
    // The reference table and the Connections menu.
    void connectReferencesAndConnections();
    // Enables the menu item `name` and runs the command when it is chosen.
    void attach(const char* name, std::function<void(Ctx&)> command);
    void connectExports();
    void layoutPanels();
    void placeOverlay(QWidget* w);
    void run(const std::function<void(Ctx&)>& command);
    void titleButton(int panel, const QString& name, int item);
    void scheduleRedraw();
    void syncMenuChecks();

    SessionState& state_;
    std::unique_ptr<Host> ownDialogs_;
    std::unique_ptr<WindowHost> host_;
    std::unique_ptr<Ctx> ctx_;
    QtCanvas canvasA_, canvasB_;

    QMap<QString, QAction*> actions_;
    QMap<QString, QMenu*> menus_;
    std::vector<QWidget*> windows_;
    QWidget* mainPanel_ = nullptr;
    QWidget* panelA_ = nullptr;
    QWidget* panelB_ = nullptr;
    TitleBar* titleA_ = nullptr;
    TitleBar* titleB_ = nullptr;
    bool redrawPending_ = false;
    PanelWidget* paintA_ = nullptr;
    PanelWidget* paintB_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    size_t memoLinesShown_ = 0;
    QFrame* messagePanel_ = nullptr;
    QLabel* messageCaption_ = nullptr;
    QLabel* progressDetail_ = nullptr;
    QLabel* inputFileName_ = nullptr;
    QLabel* inputMatrixName_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QFrame* infoPanel_ = nullptr;
    QLineEdit* fileInfoEdit_ = nullptr;
    QFrame* helpPanel_ = nullptr;
    QFrame* aboutPanel_ = nullptr;
    QList<QLabel*> statusLabels_;
    QDialog* markStatistics_ = nullptr;
    std::unique_ptr<DataPadWindow> dataPad_;
    WaveFormDialog* waveForm_ = nullptr;
    PrintDialog* print_ = nullptr;
    AnalyseElgWindow* analyseElg_ = nullptr;
    PreferencesDialog* preferences_ = nullptr;
    std::unique_ptr<MacWindow> mac_;
    std::unique_ptr<WhichElectrodePanel> whichElectrode_;
    ElectrogramToolsWindow* eleTools_ = nullptr;
    std::unique_ptr<MiniMapWindow> miniMap_;
    std::unique_ptr<MiniGridWindow> miniGrid_;
    void connectMapTools();
    ImportWindow* import_ = nullptr;
    ReferenceTableWindow* referenceTable_ = nullptr;
    QTableWidget* marksGrid_ = nullptr;
    bool quitApproved_ = false;

    // The journal of unsaved mark changes, offered by a timer in batches
    // and written on a thread of its own.
    void startJournal();
    void stopJournal();
    void reportJournal();
    std::unique_ptr<BackgroundJournal> journal_;
    bool journalFailing_ = false;  // told once, until an entry is written again
    int eventsNested_ = 0;         // a command lets the window repaint
};

}  // namespace vk
