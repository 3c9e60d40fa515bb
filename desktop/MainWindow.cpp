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
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "desktop/MenuTable.h"
#include "desktop/PanelWidget.h"
#include "desktop/QtDialogs.h"
#include "marks/MarkFile.h"
#include "marks/MarkStore.h"
#include "shell/Commands.h"
#include "shell/Display.h"
#include "shell/Texts.h"

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
    Answer askYesNoCancel(const std::string& text) override { return d_.askYesNoCancel(text); }
    void error(const std::string& text) override { d_.error(text); }
    std::optional<FileChoice> openFile(const std::string& t, const std::vector<FileFilter>& f, int sel,
                                       const std::string& dir) override {
        return d_.openFile(t, f, sel, dir);
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
    void hideProgress() override {
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
    ctx_ = std::make_unique<Ctx>(Ctx{state_, *host_, &canvasA_, &canvasB_});

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

    // Initialisation and the recent-file list.
    InitSession(state_);
    StartUp(*ctx_);
    syncFromState();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
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
            a = menu->addAction(def.shownKey ? QString(def.caption) + "\t" + def.shownKey : QString(def.caption));
        }
        a->setObjectName(def.name);
        if (def.shortcut) a->setShortcut(QKeySequence(def.shortcut));
        // Shortcuts work in every part of the window, also over the panels.
        a->setShortcutContext(Qt::ApplicationShortcut);
        a->setEnabled(false);  // until a handler is attached
        actions_.insert(def.name, a);
    }
    // The whole "Display B" menu follows the tiling.
    menus_.value("Display B")->setEnabled(false);
}

void MainWindow::buildPanels() {
    mainPanel_ = new QWidget(this);
    mainPanel_->setObjectName("MainPanel");
    setCentralWidget(mainPanel_);

    auto makePanel = [this](const char* name, const char* titleName, QLabel*& title, PanelWidget*& paint,
                            QtCanvas& canvas, const char* paintName) {
        auto* panel = new QWidget(mainPanel_);
        panel->setObjectName(name);
        auto* layout = new QVBoxLayout(panel);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        title = new QLabel(panel);
        title->setObjectName(titleName);
        title->setFixedHeight(25);
        QFont tf = title->font();
        tf.setPixelSize(15);
        tf.setBold(true);
        title->setFont(tf);
        title->setAutoFillBackground(true);
        layout->addWidget(title);
        paint = new PanelWidget(canvas, panel);
        paint->setObjectName(paintName);
        paint->onResized = [this] {
            if (ctx_) UpdateDisplay(*ctx_);
        };
        layout->addWidget(paint, 1);
        return panel;
    };
    panelA_ = makePanel("MainPanelA", "TitleBarA", titleA_, paintA_, canvasA_, "PaintA");
    panelB_ = makePanel("MainPanelB", "TitleBarB", titleB_, paintB_, canvasB_, "PaintB");
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

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == aboutPanel_ && event->type() == QEvent::MouseButtonPress) {
        run(CloseAboutClick);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
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
        statusLabels_ << label;
    }
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(panel, 1);
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
    on("About1", About1Click);
    on("OpenFile1", OpenFile1Click);
    on("SaveMarks1", SaveMarks1Click);
    on("UndoDeletedMarks1", UndoDeletedMarks1Click);
    on("UnhideMarks1", UnhideMarks1Click);
    on("ShowMarkStatistics1", ShowMarkStatistics1Click);
    on("Quit1", Quit1Click);
    for (int i = 1; i <= 10; ++i)
        on(qPrintable(QString("ShowPrevFile%1").arg(i)), [i](Ctx& c) { ShowPrevFileClick(c, i); });
    on("UpdateDisplays1", UpdateDisplays1Click);
    on("FileInfo1", FileInfo1Click);
    on("ChangeMatrixfile1", ChangeMatrixfile1Click);
    on("ChangeNewMatrixfile1", [](Ctx& c) { runCommand(c, [&] { ChangeNewMatrixfile(c, true); }); });
    on("ShowMemoWindow1", ShowMemoWindow1Click);
    on("Smoothing1", Smoothing1Click);
    on("FrequentCommands1", FrequentCommands1Click);
    on("Interpolate1", [](Ctx&) {});  // has no effect
}

QWidget* MainWindow::overlay(Overlay which) const {
    switch (which) {
        case Overlay::Info: return infoPanel_;
        case Overlay::Help: return helpPanel_;
        case Overlay::About: return aboutPanel_;
        case Overlay::Memo: return memo_;
        case Overlay::MarkStatistics: return markStatistics_;
    }
    return nullptr;
}

void MainWindow::layoutPanels() {
    const int w = mainPanel_->width();
    const int h = mainPanel_->height();
    if (!state_.Tiled) {
        panelA_->setGeometry(0, 0, w, h);
    } else if (state_.TileRectangle) {
        panelA_->setGeometry(0, 0, w, h / 2);
        panelB_->setGeometry(0, h / 2, w, h / 2);
    } else {
        panelA_->setGeometry(0, 0, w / 2, h);
        panelB_->setGeometry(w / 2, 0, w / 2, h);
    }
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
    actions_.value("ShowMemoWindow1")->setText(QString::fromStdString(MemoItemCaption(state_)));
    actions_.value("SamplingFrequency1")
        ->setText(QString("Sampling Frequency (%1 Hz)").arg(state_.SamplingFrequency));
    actions_.value("Tile1")->setText(state_.Tiled ? "Tile off" : "Tile on");
    menus_.value("Display B")->setEnabled(state_.Tiled);
    actions_.value("UndoDeletedMarks1")->setEnabled(state_.UndoCount > 0);
    actions_.value("UnhideMarks1")->setEnabled(state_.UnhideEnabled);
    if (state_.MarkStatisticsShown) fillMarkStatistics();
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
