#include "desktop/PreferencesDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstring>

#include "session/Draw.h"
#include "shell/Preferences.h"

namespace vk {

namespace {

// One cell of a tab page: a label (text) or the control of a setting
// (control), at a grid position. A frame cell draws a frame around the
// cells it spans, which it lays out in a grid of its own.
struct Cell {
    const char* tab;
    int row, column;
    const char* text;
    const char* control = nullptr;
    int columns = 1, rows = 1;
    bool frame = false;
};

const Cell Cells[] = {
    {"Automatic Markings", 0, 1, "Minimal Differentiated level"},
    {"Automatic Markings", 0, 2, "Search Width (msec)"},
    {"Automatic Markings", 0, 3, "Diff Dist (samples)"},
    {"Automatic Markings", 1, 0, "Slow Waves:"},
    {"Automatic Markings", 1, 1, nullptr, "MinDiffValEdit1"},
    {"Automatic Markings", 1, 2, nullptr, "WidthEdit1"},
    {"Automatic Markings", 1, 3, nullptr, "DiffDistEdit1"},
    {"Automatic Markings", 2, 0, "Spikes:"},
    {"Automatic Markings", 2, 1, nullptr, "MinDiffValEdit2"},
    {"Automatic Markings", 2, 2, nullptr, "WidthEdit2"},
    {"Automatic Markings", 2, 3, nullptr, "DiffDistEdit2"},
    {"Automatic Markings", 3, 0, "Type 3:"},
    {"Automatic Markings", 3, 1, nullptr, "MinDiffValEdit3"},
    {"Automatic Markings", 3, 2, nullptr, "WidthEdit3"},
    {"Automatic Markings", 3, 3, nullptr, "DiffDistEdit3"},
    {"Automatic Markings", 4, 0, nullptr, "SearchCriteria1", 4},
    {"Automatic Markings", 5, 0, nullptr, nullptr, 4, 2, true},
    {"Automatic Markings", 5, 0, nullptr, "AvoidTwice1", 2},
    {"Automatic Markings", 6, 0, "Avoidance width:"},
    {"Automatic Markings", 6, 1, nullptr, "DoubleWidth1"},
    {"Automatic Markings", 6, 2, "(msec)"},

    {"Electrograms", 0, 0, nullptr, "PlotOnlyPoints1", 3},
    {"Electrograms", 1, 0, nullptr, "SmoothElectrograms1", 3},
    {"Electrograms", 2, 0, nullptr, "IntervalRange1"},
    {"Electrograms", 2, 1, nullptr, "MinIntervalRange1"},
    {"Electrograms", 2, 2, nullptr, "maxIntervalRange1"},

    {"Map", 0, 0, "Digit Display:"},
    {"Map", 0, 1, nullptr, "EditDigitType"},
    {"Map", 1, 0, "current Digit Display:"},
    {"Map", 1, 1, "0 = xxxxxx msec"},
    {"Map", 2, 1, "1 = x.xxx sec"},
    {"Map", 3, 1, "2 = x.xx sec"},
    {"Map", 4, 1, "3 = x.x sec"},
    {"Map", 5, 1, "4 = x sec"},
    {"Map", 6, 0, "Expand:"},
    {"Map", 7, 0, "Nr of Expand Cycles: "},
    {"Map", 7, 1, nullptr, "NrExpCyclesEdit"},
    {"Map", 8, 0, "Nr of Neighbours required "},
    {"Map", 8, 1, nullptr, "NrNeighbours1"},

    {"Velocities", 0, 0, nullptr, "MaxCondVelCheckBox1", 2},
    {"Velocities", 1, 0, "Maximum Conduction Velocity allowed (cm/sec):"},
    {"Velocities", 1, 1, nullptr, "MaxCondVelEdit"},
    {"Velocities", 2, 0, "Arrow size for plotting:"},
    {"Velocities", 2, 1, nullptr, "EditArrowSize"},
    {"Velocities", 3, 0, "Calc to next electrode:"},
    {"Velocities", 3, 1, nullptr, "EditIncVel"},

    {"Animation", 0, 0, "Step Time:"},
    {"Animation", 0, 1, nullptr, "StepTimeEdit"},
    {"Animation", 1, 0, "BegTime:"},
    {"Animation", 1, 1, nullptr, "begSimEdit"},
    {"Animation", 2, 0, "SW duration:"},
    {"Animation", 2, 1, nullptr, "SWDurationEdit"},
    {"Animation", 3, 0, "EndTime:"},
    {"Animation", 3, 1, nullptr, "EndSimEdit"},

    {"Intervals", 0, 0, nullptr, "CheckLimitIntervals", 2},
    {"Intervals", 1, 0, "Maximal Interval Value"},
    {"Intervals", 1, 1, nullptr, "EditMaxIntervalVal"},
};

constexpr const char* Tabs[] = {"Automatic Markings", "Electrograms", "Map", "Velocities", "Animation", "Intervals"};

QWidget* makeControl(const PrefField& f, QWidget* parent) {
    QWidget* w = nullptr;
    if (f.kind == PrefKind::Check) {
        w = new QCheckBox(f.caption, parent);
    } else if (f.kind == PrefKind::Choice) {
        auto* box = new QGroupBox(f.caption, parent);
        auto* l = new QVBoxLayout(box);
        auto* group = new QButtonGroup(box);
        int id = 0;
        for (const QString& item : QString(f.items).split('|')) {
            auto* b = new QRadioButton(item, box);
            group->addButton(b, id++);
            l->addWidget(b);
        }
        w = box;
    } else {
        auto* edit = new QLineEdit(parent);
        edit->setMinimumWidth(90);
        w = edit;
    }
    w->setObjectName(f.control);
    return w;
}

}  // namespace

PreferencesDialog::PreferencesDialog(QDialog* window, Runner run)
    : QObject(window), window_(window), run_(std::move(run)) {
    window_->setWindowTitle("Preference Settings for Vorelkant2");
    auto* layout = new QVBoxLayout(window_);
    tabs_ = new QTabWidget(window_);
    tabs_->tabBar()->setUsesScrollButtons(false);  // every tab caption shows whole
    layout->addWidget(tabs_);
    QMap<QString, QGridLayout*> grids;
    for (const char* tab : Tabs) {
        auto* page = new QWidget(tabs_);
        auto* grid = new QGridLayout(page);
        grid->setRowStretch(20, 1);
        grid->setColumnStretch(4, 1);
        grids.insert(tab, grid);
        tabs_->addTab(page, tab);
    }
    const auto& fields = PreferenceFields();
    controls_.assign(fields.size(), nullptr);
    // A frame holds the cells it spans in a grid of its own.
    struct Frame {
        const Cell* cell;
        QGridLayout* grid;
    };
    std::vector<Frame> frames;
    for (const Cell& c : Cells) {
        QGridLayout* grid = grids.value(c.tab);
        int row = c.row, column = c.column;
        for (const Frame& f : frames) {
            const Cell& fc = *f.cell;
            if (std::strcmp(fc.tab, c.tab) == 0 && row >= fc.row && row < fc.row + fc.rows && column >= fc.column &&
                column < fc.column + fc.columns) {
                grid = f.grid;
                row -= fc.row;
                column -= fc.column;
            }
        }
        QWidget* page = grid->parentWidget();
        QWidget* w = nullptr;
        if (c.frame) {
            auto* frame = new QFrame(page);
            frame->setFrameShape(QFrame::Box);
            frames.push_back({&c, new QGridLayout(frame)});
            frames.back().grid->setColumnStretch(c.columns - 1, 1);
            w = frame;
        } else if (c.control) {
            for (size_t i = 0; i < fields.size(); ++i) {
                if (std::strcmp(fields[i].control, c.control) != 0) continue;
                w = controls_[i] = makeControl(fields[i], page);
                w->setVisible(!fields[i].hidden);
            }
        } else {
            w = new QLabel(c.text, page);
        }
        grid->addWidget(w, row, column, c.rows, c.columns);
    }
    // The type 3 row is kept but not shown.
    for (QLabel* l : tabs_->widget(0)->findChildren<QLabel*>())
        if (l->text() == "Type 3:") l->hide();

    auto* buttons = new QHBoxLayout();
    auto* okButton = new QPushButton("OK", window_);
    auto* cancelButton = new QPushButton("Cancel", window_);
    okButton->setObjectName("OKButton");
    cancelButton->setObjectName("CancelButton");
    okButton->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);
    connect(okButton, &QPushButton::clicked, this, [this] { ok(); });
    // "Cancel", Escape and the frame's close hide the window and redraw.
    connect(cancelButton, &QPushButton::clicked, window_, &QDialog::reject);
    connect(window_, &QDialog::rejected, this, [this] { run_([](Ctx& c) { UpdateDisplay(c); }); });
}

void PreferencesDialog::open(SessionState& s) {
    const auto texts = PreferenceTexts(s);
    for (size_t i = 0; i < controls_.size(); ++i) {
        const QString t = QString::fromStdString(texts[i]);
        if (auto* edit = qobject_cast<QLineEdit*>(controls_[i])) edit->setText(t);
        if (auto* box = qobject_cast<QCheckBox*>(controls_[i])) box->setChecked(t == "1");
        if (auto* group = controls_[i]->findChild<QButtonGroup*>())
            if (QAbstractButton* b = group->button(t.toInt())) b->setChecked(true);
    }
    window_->show();
    window_->raise();
}

std::vector<std::string> PreferencesDialog::texts() const {
    std::vector<std::string> texts;
    for (QWidget* w : controls_) {
        QString t;
        if (auto* edit = qobject_cast<QLineEdit*>(w)) t = edit->text();
        if (auto* box = qobject_cast<QCheckBox*>(w)) t = box->isChecked() ? "1" : "0";
        if (auto* group = w->findChild<QButtonGroup*>()) t = QString::number(group->checkedId());
        texts.push_back(t.toStdString());
    }
    return texts;
}

void PreferencesDialog::ok() {
    int stopped = -1;
    const auto t = texts();
    run_([&](Ctx& c) { stopped = ApplyPreferences(c, t); });
    if (stopped < 0) {
        window_->hide();
        return;
    }
    // The field that stopped the reading takes the keyboard.
    QWidget* bad = controls_[static_cast<size_t>(stopped)];
    tabs_->setCurrentWidget(bad->parentWidget());
    bad->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(bad)) edit->selectAll();
}

}  // namespace vk
