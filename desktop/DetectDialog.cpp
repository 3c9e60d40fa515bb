#include "desktop/DetectDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <cstdio>
#include <sstream>

#include "session/Draw.h"
#include "session/TextFiles.h"

namespace vk {

namespace {

QDoubleSpinBox* number(QWidget* parent, double low, double high, int decimals, double value, bool autoAtLow) {
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(low, high);
    box->setDecimals(decimals);
    box->setValue(value);
    // The lowest value stands for "auto": resolved from the rhythm.
    if (autoAtLow) box->setSpecialValueText("auto");
    return box;
}

std::string fixed(double v, int places) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", places, v);
    return text;
}

}  // namespace

DetectDialog::DetectDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("DetectF");
    setWindowTitle("Detect Activations");
    auto* form = new QFormLayout;
    channels_ = new QLineEdit(this);
    channels_->setPlaceholderText("all channels");
    channels_->setToolTip("for example 1-8,17");
    form->addRow("Channels", channels_);
    type_ = new QComboBox(this);
    type_->addItems({"Slow wave", "Spike", "Type 3"});
    form->addRow("Mark type", type_);
    rhythmLow_ = number(this, 0.01, 600, 2, DefaultRhythmLowCpm, false);
    rhythmHigh_ = number(this, 0.02, 30000, 2, DefaultRhythmHighCpm, false);
    form->addRow("Rhythm from (cycles/min)", rhythmLow_);
    form->addRow("Rhythm to (cycles/min)", rhythmHigh_);
    bandLow_ = number(this, 0, 1000, 4, 0, true);
    bandHigh_ = number(this, 0, 1000, 4, 0, true);
    form->addRow("Band from (Hz)", bandLow_);
    form->addRow("Band to (Hz)", bandHigh_);
    interval_ = number(this, 0, 600000, 0, 0, true);
    form->addRow("Minimum interval (ms)", interval_);
    threshold_ = number(this, 0, 1000, 2, DefaultThresholdK, false);
    form->addRow("Threshold (x noise)", threshold_);
    polarity_ = new QComboBox(this);
    polarity_->addItems({"negative (downstroke)", "positive (upstroke)"});
    form->addRow("Polarity", polarity_);
    replace_ = new QCheckBox("Replace this type's automatic marks in the window", this);
    replace_->setChecked(true);
    resolved_ = new QLabel(this);
    resolved_->setObjectName("DetectResolved");
    resolved_->setWordWrap(true);
    problem_ = new QLabel(this);
    problem_->setStyleSheet("color: #b00000");
    problem_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(replace_);
    layout->addWidget(resolved_);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
}

std::string DetectDialog::options(const SessionState& s, DetectOptions& o) const {
    o = DetectOptions{};
    const double rate = DetectRate(s);
    std::stringstream list(channels_->text().toStdString());
    std::string part;
    const int last = RecordingChannels(s);
    try {
        while (std::getline(list, part, ',')) {
            if (part.find_first_not_of(' ') == std::string::npos) continue;
            const auto dash = part.find('-', 1);
            const int from = parseInt(part.substr(0, dash));
            const int to = dash == std::string::npos ? from : parseInt(part.substr(dash + 1));
            for (int c = from; c <= to; ++c) {
                if (c < 1 || c > last) return "Channel " + std::to_string(c) + " is outside 1.." + std::to_string(last);
                o.channels.push_back(c);
            }
        }
    } catch (const std::exception& e) {
        return std::string("Channels: ") + e.what();
    }
    o.markType = type_->currentIndex() + 1;
    o.rhythmLowCpm = rhythmLow_->value();
    o.rhythmHighCpm = rhythmHigh_->value();
    if (!(o.rhythmLowCpm < o.rhythmHighCpm && o.rhythmHighCpm < 30 * rate))
        return "The rhythm range must rise and lie below " + fixed(30 * rate, 0) + " cycles per minute";
    const bool bandGiven = bandLow_->value() > 0 || bandHigh_->value() > 0;
    if (bandGiven) {
        if (!(bandLow_->value() > 0 && bandLow_->value() < bandHigh_->value() && bandHigh_->value() < rate / 2))
            return "The band must rise and lie inside (0, " + fixed(rate / 2, 1) + ") Hz";
        o.bandLowHz = bandLow_->value();
        o.bandHighHz = bandHigh_->value();
    }
    if (interval_->value() > 0) o.minIntervalMs = interval_->value();
    o.threshold = threshold_->value();
    o.positive = polarity_->currentIndex() == 1;
    o.replace = replace_->isChecked();
    o.beginMs = 0;
    return {};
}

void DetectDialog::showResolved(const SessionState& s) {
    DetectOptions o;
    if (!options(s, o).empty()) return;
    const int channel = s.CurrentElectrode >= 1 && s.CurrentElectrode <= RecordingChannels(s) ? s.CurrentElectrode : 1;
    const ChannelDetection d = DetectSignalChannel(s, channel, o);
    std::string text = "On channel " + std::to_string(channel) + ": ";
    if (d.flat) {
        text += "a flat channel, nothing to detect.";
    } else if (d.needsRhythm && !d.rhythmFound) {
        text += "no rhythm in the range, no marks.";
    } else {
        text += "rhythm " + (d.rhythmFound ? fixed(d.dominantCpm, 2) + " cycles/min" : std::string("not found")) +
                "; band " + (o.bandLowHz ? std::string() : "auto ") + fixed(d.bandLowHz, 4) + "-" + fixed(d.bandHighHz, 4) +
                " Hz; minimum interval " + (o.minIntervalMs ? std::string() : "auto ") + fixed(d.minIntervalMs, 0) +
                " ms; threshold " + fixed(d.threshold, 1) + "; " + std::to_string(d.positions.size()) + " activations.";
    }
    resolved_->setText(QString::fromStdString(text));
}

void DetectDialog::open(Ctx& ctx) {
    SessionState& s = ctx.s;
    if (!s.SignalsLoaded) {
        ctx.host.beep();
        return;
    }
    problem_->clear();
    showResolved(s);
    DetectOptions o;
    while (true) {
        if (exec() != QDialog::Accepted) return;
        const std::string problem = options(s, o);
        if (problem.empty()) break;
        ctx.host.beep();
        problem_->setText(QString::fromStdString(problem));
    }
    const int total = o.channels.empty() ? RecordingChannels(s) : static_cast<int>(o.channels.size());
    undo_ = SnapshotMarks(s);
    ctx.host.showProgress(DetectProgressCaption(0, 0), namePart(s.FileName), namePart(s.MatrixFileName), total);
    ctx.host.processMessages();
    int shown = 0;
    DetectActivations(s, o, [&](int done, int, int marks) {
        const int channel = o.channels.empty() ? done : o.channels[static_cast<std::size_t>(done - 1)];
        ctx.host.setProgressCaption(DetectProgressCaption(channel, marks));
        for (; shown < done; ++shown) ctx.host.stepProgress();
        ctx.host.processMessages();
        return true;
    });
    FinishUndo(s, undo_);
    ctx.host.hideProgress();
    UpdateDisplay(ctx);
}

void DetectDialog::undo(Ctx& ctx) {
    if (!UndoDetection(ctx.s, undo_)) {
        ctx.host.beep();
        return;
    }
    UpdateDisplay(ctx);
}

}  // namespace vk
