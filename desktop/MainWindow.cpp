#include "desktop/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QAbstractSpinBox>
#include <QTextEdit>
#include <QKeyEvent>
#include <QTimer>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "desktop/AnalyseElgWindow.h"
#include "desktop/MacWindow.h"
#include "desktop/WhichElectrodePanel.h"
#include "exchange/DataExports.h"
#include "exchange/MacExport.h"
#include "exchange/MarkText.h"
#include "desktop/ElectrogramToolsWindow.h"
#include "desktop/MiniWindows.h"
#include "maps/MiniMap.h"
#include "desktop/ImportWindow.h"
#include "desktop/MenuTable.h"
#include "desktop/PanelWidget.h"
#include "desktop/PreferencesDialog.h"
#include "desktop/QtDialogs.h"
#include "desktop/ReferenceTableWindow.h"
#include "desktop/TitleBar.h"
#include "desktop/PrintDialog.h"
#include "desktop/WaveFormDialog.h"
#include "electrograms/TraceDisplay.h"
#include "input/TextImport.h"
#include "marks/ManualMarking.h"
#include "marks/Connections.h"
#include "waves/WaveDetection.h"
#include "maps/MapCommands.h"
#include "shell/ViewCommands.h"
#include "marks/MarkStore.h"
#include "shell/Commands.h"
#include "shell/Display.h"
#include "shell/KeyMap.h"
#include "shell/MenuCommands.h"
#include "session/Texts.h"

namespace vk {

// The Host the commands talk to: dialogs go to the dialog host, everything
// about this window is answered here.
class MainWindow::WindowHost : public Host {
public:
    WindowHost(MainWindow& w, Host& dialogs) : w_(w), d_(dialogs) {}

    void beep() override { d_.beep(); }
    std::optional<std::string> inputBox(const std::string& c, const std::string& p, const std::string& v) override {
        return d_.inputBox(c, p, v);
    }
    void information(const std::string& text) override { d_.information(text); }
    void warning(const std::string& text) override { d_.warning(text); }
    void message(const std::string& title, const std::string& text) override { d_.message(title, text); }
    Answer askYesNoCancel(const std::string& text) override { return d_.askYesNoCancel(text); }
    void error(const std::string& text) override { d_.error(text); }
    std::optional<FileChoice> openFile(const std::string& t, const std::vector<FileFilter>& f, int sel,
                                       const std::string& dir) override {
        return d_.openFile(t, f, sel, dir);
    }
    std::optional<FileChoice> saveFile(const std::string& t, const std::vector<FileFilter>& f,
                                       const std::string& name) override {
        return d_.saveFile(t, f, name);
    }

    void showProgress(const std::string& caption, const std::string& fileName, const std::string& matrixName,
                      int maximum) override {
        w_.messageCaption_->setText(QString::fromStdString(caption));
        w_.inputFileName_->setText(QString::fromStdString(fileName));
        w_.inputMatrixName_->setText(QString::fromStdString(matrixName));
        // A long file name widens the panel so that it stays readable.
        const int textWidth = w_.inputFileName_->fontMetrics().horizontalAdvance(w_.inputFileName_->text());
        if (textWidth + 30 > w_.messagePanel_->width()) w_.messagePanel_->resize(textWidth + 30, w_.messagePanel_->height());
        w_.progress_->setRange(0, maximum);
        w_.progress_->setValue(0);
        w_.placeOverlay(w_.messagePanel_);
        w_.messagePanel_->show();
        w_.messagePanel_->raise();
        d_.showProgress(caption, fileName, matrixName, maximum);
    }
    void setProgressCaption(const std::string& caption) override {
        w_.messageCaption_->setText(QString::fromStdString(caption));
        d_.setProgressCaption(caption);
    }
    void stepProgress() override {
        w_.progress_->setValue(std::min(w_.progress_->maximum(), w_.progress_->value() + 1));
        d_.stepProgress();
    }
    void setProgressDetail(const std::string& text) override {
        w_.progressDetail_->setText(QString::fromStdString(text));
        d_.setProgressDetail(text);
    }
    void hideProgress() override {
        w_.progressDetail_->clear();
        w_.messagePanel_->hide();
        d_.hideProgress();
    }
    void processMessages() override {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        d_.processMessages();
    }
    void displayUpdated() override {
        w_.syncFromState();
        d_.displayUpdated();
    }
    void showOverlay(Overlay which, bool shown) override {
        if (which == Overlay::MarkStatistics) {
            if (shown) w_.fillMarkStatistics();
            w_.markStatistics_->setVisible(shown);
        } else if (which == Overlay::Import) {
            w_.import_->sync(shown);
        } else if (which == Overlay::Memo) {
            w_.memo_->setVisible(shown);
        } else if (QWidget* o = w_.overlay(which)) {
            if (which == Overlay::Info) w_.fileInfoEdit_->setText(QString::fromStdString(w_.state_.FileInfo));
            w_.placeOverlay(o);
            o->setVisible(shown);
            if (shown) o->raise();
        }
        d_.showOverlay(which, shown);
    }
    void closeMainWindow() override {
        w_.quitApproved_ = true;
        d_.closeMainWindow();
        w_.close();
    }

private:
    MainWindow& w_;
    Host& d_;
};

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
}

MainWindow::~MainWindow() = default;

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
}

void MainWindow::buildPanels() {
    mainPanel_ = new QWidget(this);
    mainPanel_->setObjectName("MainPanel");
    setCentralWidget(mainPanel_);

    auto makePanel = [this](int number, const char* name, TitleBar*& title, PanelWidget*& paint, QtCanvas& canvas,
                            const char* paintName) {
        auto* panel = new QWidget(mainPanel_);
        panel->setObjectName(name);
        auto* layout = new QVBoxLayout(panel);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        title = new TitleBar(number, panel);
        title->onButton = [this, number](const QString& button, int item) { titleButton(number, button, item); };
        layout->addWidget(title);
        paint = new PanelWidget(canvas, panel);
        paint->setObjectName(paintName);
        paint->onResized = [this] { scheduleRedraw(); };
        paint->onMouseMove = [this, number](int x, int y) {
            MouseMoved(state_, number, x, y);
            titleBar(number)->setCaption(QString::fromStdString(number == 2 ? state_.CaptionB : state_.CaptionA));
        };
        paint->onDoubleClick = [this, number](int x, int y) {
            if ((number == 2 ? state_.DisplayTypeB : state_.DisplayTypeA) == 0)
                run([&](Ctx& c) { MapDoubleClick(c, number, x, y); });
        };
        paint->onClick = [this, number, paint](int x, int y, bool shift) {
            run([&](Ctx& c) { PanelClick(c, number, x, y, shift || state_.SearchMarking); });
            if ((number == 2 ? state_.DisplayTypeB : state_.DisplayTypeA) == 1 && InsidePlotArea(state_, number, x, y))
                paint->setCursor(Qt::IBeamCursor);
        };
        layout->addWidget(paint, 1);
        return panel;
    };
    panelA_ = makePanel(1, "MainPanelA", titleA_, paintA_, canvasA_, "PaintA");
    panelB_ = makePanel(2, "MainPanelB", titleB_, paintB_, canvasB_, "PaintB");
    memo_ = new QPlainTextEdit(panelA_);
    memo_->setObjectName("Memo1");
    memo_->setReadOnly(true);
    memo_->setMaximumHeight(160);
    memo_->hide();
    panelA_->layout()->addWidget(memo_);
    panelB_->hide();
    panelB_->setEnabled(false);
}

void MainWindow::placeOverlay(QWidget* w) {
    w->move(std::max(0, (mainPanel_->width() - w->width()) / 2), std::max(0, (mainPanel_->height() - w->height()) / 3));
}

void MainWindow::buildOverlays() {
    auto frame = [this](const char* name, int w, int h) {
        auto* f = new QFrame(mainPanel_);
        f->setObjectName(name);
        f->setFrameShape(QFrame::Panel);
        f->setFrameShadow(QFrame::Raised);
        f->setAutoFillBackground(true);
        f->resize(w, h);
        f->hide();
        return f;
    };

    messagePanel_ = frame("MessagePanel", 420, 150);
    {
        auto* l = new QVBoxLayout(messagePanel_);
        messageCaption_ = new QLabel(messagePanel_);
        messageCaption_->setAlignment(Qt::AlignCenter);
        l->addWidget(messageCaption_);
        progressDetail_ = new QLabel(messagePanel_);
        progressDetail_->setObjectName("LabelWaveNr");
        progressDetail_->setAlignment(Qt::AlignCenter);
        l->addWidget(progressDetail_);
        auto row = [&](const char* label, QLabel*& value, const char* name) {
            auto* h = new QHBoxLayout();
            h->addWidget(new QLabel(label, messagePanel_));
            value = new QLabel(messagePanel_);
            value->setObjectName(name);
            h->addWidget(value, 1);
            l->addLayout(h);
        };
        row("File  Name:", inputFileName_, "InputFileName1");
        row("Matrix Name:", inputMatrixName_, "InputMatrixName1");
        progress_ = new QProgressBar(messagePanel_);
        progress_->setObjectName("ProgressBar1");
        l->addWidget(progress_);
    }

    infoPanel_ = frame("InfoPanel", 520, 110);
    {
        auto* l = new QVBoxLayout(infoPanel_);
        l->addWidget(new QLabel("File  Information: ", infoPanel_));
        fileInfoEdit_ = new QLineEdit(infoPanel_);
        fileInfoEdit_->setObjectName("FileInfoEdit1");
        fileInfoEdit_->setMaxLength(255);  // what the mark file can keep
        l->addWidget(fileInfoEdit_);
        auto* h = new QHBoxLayout();
        auto* ok = new QPushButton("Ok", infoPanel_);
        ok->setObjectName("OkButton1");
        auto* cancel = new QPushButton("Cancel", infoPanel_);
        cancel->setObjectName("CancelButton1");
        h->addStretch();
        h->addWidget(ok);
        h->addWidget(cancel);
        l->addLayout(h);
        connect(fileInfoEdit_, &QLineEdit::textEdited, this,
                [this](const QString& t) { state_.FileInfo = t.toStdString(); });
        connect(ok, &QPushButton::clicked, this, [this] {
            state_.FileInfo = fileInfoEdit_->text().toStdString();
            run(InfoOkClick);
        });
        connect(cancel, &QPushButton::clicked, this, [this] { run(InfoCancelClick); });
    }

    auto textPanel = [&](const char* name, const char* memoName, const char* buttonName,
                         const std::vector<std::string>& lines, QFrame*& panel) {
        panel = frame(name, 420, 520);
        auto* l = new QVBoxLayout(panel);
        auto* text = new QPlainTextEdit(panel);
        text->setObjectName(memoName);
        text->setReadOnly(true);
        QStringList all;
        for (const auto& line : lines) all << QString::fromStdString(line);
        text->setPlainText(all.join('\n'));
        l->addWidget(text);
        auto* close = new QPushButton("close", panel);
        close->setObjectName(buttonName);
        l->addWidget(close, 0, Qt::AlignHCenter);
        return close;
    };
    QPushButton* closeHelp = textPanel("HelpPanel", "HelpMemo", "CloseHelp", HelpLines, helpPanel_);
    connect(closeHelp, &QPushButton::clicked, this, [this] { run(CloseHelpClick); });
    QPushButton* closeAbout = textPanel("AboutPanel", "MemoAbout", "CloseAbout", AboutLines, aboutPanel_);
    aboutPanel_->resize(420, 320);
    connect(closeAbout, &QPushButton::clicked, this, [this] { run(CloseAboutClick); });
    aboutPanel_->installEventFilter(this);
}

namespace {

// A field the user types into keeps its own caret and page keys.
bool isTextField(const QObject* o) {
    return qobject_cast<const QLineEdit*>(o) || qobject_cast<const QTextEdit*>(o) ||
           qobject_cast<const QPlainTextEdit*>(o) || qobject_cast<const QAbstractSpinBox*>(o);
}

}  // namespace

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == aboutPanel_ && event->type() == QEvent::MouseButtonPress) {
        run(CloseAboutClick);
        return true;
    }
    if (event->type() == QEvent::KeyRelease && QApplication::activeWindow() == this && watched->isWidgetType()) {
        state_.SearchMarking = false;
    }
    if (event->type() == QEvent::KeyPress && QApplication::activeWindow() == this && watched->isWidgetType()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Shift && key->modifiers() == Qt::ShiftModifier) state_.SearchMarking = true;
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return QMainWindow::eventFilter(watched, event);
        // Navigation and letters go to the panels only while no text field
        // has the keyboard.
        if (isTextField(watched) || isTextField(QApplication::focusWidget()))
            return QMainWindow::eventFilter(watched, event);
        std::optional<NavKey> nav;
        switch (key->key()) {
            case Qt::Key_Up: nav = NavKey::Up; break;
            case Qt::Key_Down: nav = NavKey::Down; break;
            case Qt::Key_Left: nav = NavKey::Left; break;
            case Qt::Key_Right: nav = NavKey::Right; break;
            case Qt::Key_PageUp: nav = NavKey::PageUp; break;
            case Qt::Key_PageDown: nav = NavKey::PageDown; break;
            default: break;
        }
        if (nav) {
            run([&](Ctx& c) { MoveStartCell(c, *nav); });
            return true;
        }
        // Letters act on the electrogram or map under the mouse, and only
        // while the mouse is inside its drawing area.
        const QString text = key->text();
        if (text.size() == 1 && text[0].isLetterOrNumber() && text[0].unicode() < 128) {
            const char c = static_cast<char>(text[0].toUpper().unicode());
            bool used = false;
            run([&](Ctx& ctx) { used = CharacterKey(ctx, c); });
            if (used) return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

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

void MainWindow::buildStatusBar() {
    auto* panel = new QWidget(this);
    panel->setObjectName("StatusPanel");
    panel->setFixedHeight(24);
    const std::pair<const char*, int> labels[] = {{"FileNameLabel", 14},
                                                  {"MatrixLabel", 370},
                                                  {"RefTime1", 512},
                                                  {"SigLengthLabel", 644},
                                                  {"AmplitudeLabel", 812}};
    for (const auto& [name, left] : labels) {
        auto* label = new QLabel(panel);
        label->setObjectName(name);
        label->move(left, 4);
        label->resize(left == 14 ? 350 : 160, 18);
        label->setProperty("left", left);
        statusLabels_ << label;
    }
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(panel, 1);
}

void MainWindow::placeStatusLabels() {
    // Each label at its own place, unless the text before it (a long
    // reference time, say) reaches that far: then just after that text.
    int end = 0;
    for (QLabel* label : statusLabels_) {
        const int left = std::max(label->property("left").toInt(), end);
        const int text = label->fontMetrics().horizontalAdvance(label->text()) + 6;
        label->move(left, label->y());
        // The file name keeps its width (its tooltip holds the whole path).
        if (label != statusLabels_.first()) label->resize(std::max(160, text), label->height());
        end = left + std::min(text, label->width()) + 4;
    }
}

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

QWidget* MainWindow::overlay(Overlay which) const {
    switch (which) {
        case Overlay::Info: return infoPanel_;
        case Overlay::Help: return helpPanel_;
        case Overlay::About: return aboutPanel_;
        case Overlay::Memo: return memo_;
        case Overlay::MarkStatistics: return markStatistics_;
        case Overlay::Import: return import_ ? import_->window() : nullptr;
    }
    return nullptr;
}

void MainWindow::layoutPanels() {
    const int w = mainPanel_->width();
    const int h = mainPanel_->height();
    const PanelLayout l = SetPanels(state_, w, h);
    panelA_->setGeometry(l.a.left, l.a.top, l.a.width, l.a.height);
    if (state_.Tiled) panelB_->setGeometry(l.b.left, l.b.top, l.b.width, l.b.height);
    const bool changed = state_.PanelAWidth != l.a.width || state_.PanelAHeight != l.a.height;
    state_.MainAreaWidth = w;
    state_.MainAreaHeight = h;
    state_.PanelAWidth = l.a.width;
    state_.PanelAHeight = l.a.height;
    if (changed) scheduleRedraw();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutPanels();
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
