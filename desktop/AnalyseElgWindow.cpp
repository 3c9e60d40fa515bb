#include "desktop/AnalyseElgWindow.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "desktop/PanelWidget.h"
#include "electrograms/SingleElectrogram.h"
#include "session/Ask.h"
#include "session/Draw.h"

namespace vk {

namespace {

constexpr int PaintLeft = 16, PaintTop = 36;
constexpr int BelowPaint = PaintTop + AlyPaintHeight + 10;  // captions under the paint box

// Where each label and edit of the window sits (x, y, width).
struct Place {
    const char* name;
    int x, y, width;
};
constexpr Place ReadOuts[] = {{"SampleLabel", 16, 12, 180},
                              {"TimeLabel", 200, 12, 180},
                              {"AmplitudeLabel", 384, 12, 180},
                              {"VLabel", 568, 12, 190}};
constexpr const char* Captions[] = {"Minimal Differentiated level", "Search Width (msec)", "Diff Dist (samples)"};
constexpr Place Edits[] = {{"MinDiffValEdit1", 16, BelowPaint + 22, 120},
                           {"WidthEdit1", 236, BelowPaint + 22, 120},
                           {"DiffDistEdit1", 436, BelowPaint + 22, 120}};
constexpr int WindowWidth = PaintLeft + AlyPaintWidth + 16;
constexpr int WindowHeight = BelowPaint + 100;

}  // namespace

AnalyseElgWindow::AnalyseElgWindow(QDialog* window, Runner run) : QObject(window), window_(window), run_(std::move(run)) {
    window_->setWindowTitle("Analyse Electrogram");
    window_->setFixedSize(WindowWidth, WindowHeight);
    QPalette white = window_->palette();
    white.setColor(QPalette::Window, Qt::white);
    window_->setPalette(white);
    window_->setAutoFillBackground(true);
    canvas_.resize(AlyPaintWidth, AlyPaintHeight);
    paint_ = new PanelWidget(canvas_, window_);
    paint_->setObjectName("AlyPaint");
    paint_->setGeometry(PaintLeft, PaintTop, AlyPaintWidth, AlyPaintHeight);
    paint_->onMouseMove = [this](int x, int) { mouseMoved(x); };
    for (const Place& p : ReadOuts) {
        auto* l = new QLabel(window_);
        l->setObjectName(p.name);
        l->setGeometry(p.x, p.y, p.width, 20);
    }
    for (int i = 0; i < 3; ++i) {
        auto* caption = new QLabel(Captions[i], window_);
        caption->move(Edits[i].x, BelowPaint);
        caption->adjustSize();
        edits_[i] = new QLineEdit(window_);
        edits_[i]->setObjectName(Edits[i].name);
        edits_[i]->setGeometry(Edits[i].x, Edits[i].y, Edits[i].width, 24);
    }
    typeLabel_ = new QLabel("Slow Waves:", window_);
    typeLabel_->setObjectName("TypeLabel1");
    typeLabel_->setGeometry(620, BelowPaint, 140, 20);
    up_ = new QToolButton(window_);
    down_ = new QToolButton(window_);
    up_->setObjectName("UpDown1Up");
    down_->setObjectName("UpDown1Down");
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setGeometry(620, BelowPaint + 22, 24, 24);
    down_->setGeometry(646, BelowPaint + 22, 24, 24);
    auto* update = new QPushButton("Update", window_);
    auto* quit = new QPushButton("Quit", window_);
    update->setObjectName("Update1");
    quit->setObjectName("Quit1");
    update->setDefault(true);
    update->setGeometry(WindowWidth - 200, WindowHeight - 40, 88, 28);
    quit->setGeometry(WindowWidth - 104, WindowHeight - 40, 88, 28);

    auto step = [this](bool upward) {
        run_([this, upward](Ctx& c) {
            StepAnalysisElectrode(c, upward);
            display(c);
        });
    };
    connect(up_, &QToolButton::clicked, this, [step] { step(true); });
    connect(down_, &QToolButton::clicked, this, [step] { step(false); });
    connect(update, &QPushButton::clicked, this, [this] {
        const std::string level = edits_[0]->text().toStdString(), width = edits_[1]->text().toStdString(),
                          diff = edits_[2]->text().toStdString();
        run_([&](Ctx& c) {
            bool taken = false;
            runCommand(c, [&] { taken = UpdateAnalysisSettings(c, level, width, diff); });
            // A refused value leaves every edit as the user typed it, to be
            // corrected; only a taken update shows the settings again.
            display(c, taken);
        });
    });
    // "Quit", Escape and the frame's close hide the window and redraw the panels.
    connect(quit, &QPushButton::clicked, window_, &QDialog::reject);
    connect(window_, &QDialog::rejected, this, [this] { run_([](Ctx& c) { UpdateDisplay(c); }); });
}

QLabel* AnalyseElgWindow::label(const char* name) const { return window_->findChild<QLabel*>(name); }

void AnalyseElgWindow::open(Ctx& ctx) {
    state_ = &ctx.s;
    InitialiseAnalysis(ctx.s, AlyPaintWidth);
    window_->show();
    window_->raise();
    display(ctx);
}

void AnalyseElgWindow::display(Ctx& ctx, bool fillEdits) {
    state_ = &ctx.s;
    const AnalysisFields f = AnalysisFieldsOf(ctx.s, typeLabel_->text().toStdString());
    typeLabel_->setText(QString::fromStdString(f.typeLabel));
    if (fillEdits) {
        edits_[0]->setText(QString::fromStdString(f.level));
        edits_[1]->setText(QString::fromStdString(f.width));
        edits_[2]->setText(QString::fromStdString(f.diffDist));
    }
    canvas_.beginDraw();
    PaintAnalysis(ctx.s, canvas_);
    canvas_.endDraw();
}

void AnalyseElgWindow::mouseMoved(int x) {
    if (!state_) return;
    const AnalysisCursor r = AnalysisCursorAt(*state_, x);
    const std::string* texts[] = {&r.sample, &r.time, &r.amplitude, &r.volts};
    for (size_t i = 0; i < 4; ++i) label(ReadOuts[i].name)->setText(QString::fromStdString(*texts[i]));
}

}  // namespace vk
