// The two display panels with their title bars and paint boxes, the memo
// window under panel A, and the status bar labels.
#include "desktop/MainWindow.h"

#include <QPlainTextEdit>
#include <QStatusBar>
#include <QVBoxLayout>

#include "desktop/PanelWidget.h"
#include "desktop/TitleBar.h"
#include "electrograms/TraceDisplay.h"
#include "marks/ManualMarking.h"
#include "maps/MapCommands.h"
#include "shell/Display.h"

namespace vk {

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

}  // namespace vk
