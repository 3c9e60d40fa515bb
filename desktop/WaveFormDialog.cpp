#include "desktop/WaveFormDialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "session/Ask.h"
#include "session/Draw.h"
#include "waves/WaveformGrid.h"

namespace vk {

namespace {

struct BoxDef {
    const char* caption;
    const char* name;
};
constexpr BoxDef Boxes[] = {{"Grid?", "GridCheckBox"},
                            {"Mark align?", "MarkAlignCheckBox"},
                            {"Plot Elg nr?", "PlotElgNrCheckBox"},
                            {"Grid label?", "GridLabelCheckBox"}};

}  // namespace

WaveFormDialog::WaveFormDialog(QDialog* window, Runner run) : QObject(window), window_(window), run_(std::move(run)) {
    window_->setWindowTitle("WaveF");
    auto* grid = new QGridLayout(window_);
    auto* heading = new QLabel("Wave Form Settings:", window_);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    grid->addWidget(heading, 0, 0, 1, 2);
    grid->addWidget(new QLabel("Signal length:", window_), 1, 0);
    length_ = new QLineEdit(window_);
    length_->setObjectName("SignalLengthEdit");
    grid->addWidget(length_, 1, 1);
    for (size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i] = new QCheckBox(Boxes[i].caption, window_);
        boxes_[i]->setObjectName(Boxes[i].name);
        grid->addWidget(boxes_[i], static_cast<int>(i) + 2, 0, 1, 2);
    }
    auto* okButton = new QPushButton("OK", window_);
    auto* cancelButton = new QPushButton("Cancel", window_);
    okButton->setObjectName("OKButton");
    cancelButton->setObjectName("CancelButton");
    okButton->setDefault(true);
    grid->addWidget(okButton, 6, 0);
    grid->addWidget(cancelButton, 6, 1);
    connect(okButton, &QPushButton::clicked, this, [this] { ok(); });
    // "Cancel", Escape and the window frame's close all hide the window and redraw.
    connect(cancelButton, &QPushButton::clicked, window_, &QDialog::reject);
    connect(window_, &QDialog::rejected, this, [this] { run_([](Ctx& c) { UpdateDisplay(c); }); });
}

void WaveFormDialog::open(const SessionState& s) {
    const WaveFormSettings w = WaveFormSettingsOf(s);
    length_->setText(QString::fromStdString(w.signalLength));
    const bool on[] = {w.grid, w.markAlign, w.plotElgNr, w.gridLabel};
    for (size_t i = 0; i < boxes_.size(); ++i) boxes_[i]->setChecked(on[i]);
    window_->show();
    window_->raise();
}

void WaveFormDialog::ok() {
    WaveFormSettings w;
    w.signalLength = length_->text().toStdString();
    w.grid = boxes_[0]->isChecked();
    w.markAlign = boxes_[1]->isChecked();
    w.plotElgNr = boxes_[2]->isChecked();
    w.gridLabel = boxes_[3]->isChecked();
    bool taken = false;
    run_([&](Ctx& c) {
        runCommand(c, [&] { taken = ApplyWaveFormSettings(c, w); });
    });
    if (taken) window_->hide();
}

}  // namespace vk
