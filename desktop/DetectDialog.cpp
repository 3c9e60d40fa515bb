#include "desktop/DetectDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <sstream>

#include "desktop/DetectPreview.h"
#include "layout/TraceLayout.h"
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
    preview_ = new DetectPreview(this);
    // The preview follows the fields a little after the last change, so
    // that typing a number does not run the detector on every key.
    previewTimer_ = new QTimer(this);
    previewTimer_->setSingleShot(true);
    previewTimer_->setInterval(150);
    connect(previewTimer_, &QTimer::timeout, this, [this] {
        if (!session_) return;
        showResolved(*session_);
        showPreview(*session_);
    });
    auto changed = [this] { previewTimer_->start(); };
    for (QDoubleSpinBox* box : {rhythmLow_, rhythmHigh_, bandLow_, bandHigh_, interval_, threshold_})
        connect(box, &QDoubleSpinBox::valueChanged, this, changed);
    connect(type_, &QComboBox::currentIndexChanged, this, changed);
    connect(polarity_, &QComboBox::currentIndexChanged, this, changed);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(replace_);
    layout->addWidget(resolved_);
    layout->addWidget(problem_);
    layout->addWidget(preview_, 1);
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
    // With no trace under the cursor yet, the preview's trace stands in.
    const int channel =
        s.CurrentElectrode >= 1 && s.CurrentElectrode <= RecordingChannels(s) ? s.CurrentElectrode : PreviewChannel(s);
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

int DetectDialog::PreviewChannel(const SessionState& s) {
    const int channels = RecordingChannels(s);
    for (int k = 1; k <= std::max(1, s.NrTraces); ++k) {
        const int32_t e = ElectrodeOfRow(s, k);
        if (e >= 1 && e <= channels) return e;
    }
    return 1;
}

void DetectDialog::showPreview(const SessionState& s) {
    DetectOptions o;
    const std::string problem = options(s, o);
    if (!problem.empty()) {
        preview_->showMessage(QString::fromStdString(problem));
        return;
    }
    // The run OK starts covers the whole recording, so the preview detects
    // over all of it too and shows the part panel A shows: the rhythm and
    // the noise come out as the run will find them.
    const int channel = PreviewChannel(s);
    const ChannelDetection d = DetectSignalChannel(s, channel, o);
    preview_->showTrace(s, channel, s.BeginTimeA, s.WindowA, DetectWindowRows(s, o), d);
}

void DetectDialog::open(Ctx& ctx) {
    SessionState& s = ctx.s;
    if (!s.SignalsLoaded) {
        ctx.host.beep();
        return;
    }
    problem_->clear();
    showResolved(s);
    showPreview(s);
    session_ = &s;
    DetectOptions o;
    while (true) {
        if (exec() != QDialog::Accepted) {
            session_ = nullptr;
            previewTimer_->stop();
            return;
        }
        const std::string problem = options(s, o);
        if (problem.empty()) break;
        ctx.host.beep();
        problem_->setText(QString::fromStdString(problem));
    }
    session_ = nullptr;
    previewTimer_->stop();
    run(ctx, o);
    UpdateDisplay(ctx);
}

bool DetectDialog::run(Ctx& ctx, const DetectOptions& o) {
    SessionState& s = ctx.s;
    const int total = o.channels.empty() ? RecordingChannels(s) : static_cast<int>(o.channels.size());
    ctx.host.showProgress(DetectProgressCaption(0, 0), namePart(s.FileName), namePart(s.MatrixFileName), total);
    auto* panel = parentWidget() ? parentWidget()->findChild<QFrame*>("MessagePanel") : nullptr;
    const QSize panelSize = panel ? panel->size() : QSize();
    if (panel && panel->layout()) {
        cancel_ = new QPushButton("Cancel", panel);
        cancel_->setObjectName("DetectCancel");
        cancel_->setToolTip("Stop the detection and keep the marks as they were (Esc)");
        panel->layout()->addWidget(cancel_);
        panel->layout()->setAlignment(cancel_, Qt::AlignRight);
        panel->resize(panel->width(), std::max(panel->height(), panel->sizeHint().height()));
        connect(cancel_, &QPushButton::clicked, this, [this] { cancelRequested_ = true; });
    }
    cancelRequested_ = false;
    qApp->installEventFilter(this);
    ctx.host.processMessages();
    QCoreApplication::processEvents();
    int shown = 0;
    const bool finished = DetectAsOneStep(s, o, undo_, [&](int done, int, int marks) {
        const int channel = o.channels.empty() ? done : o.channels[static_cast<std::size_t>(done - 1)];
        ctx.host.setProgressCaption(DetectProgressCaption(channel, marks));
        for (; shown < done; ++shown) ctx.host.stepProgress();
        ctx.host.processMessages();
        QCoreApplication::processEvents();
        return !cancelRequested_;
    });
    qApp->removeEventFilter(this);
    delete cancel_;
    cancel_ = nullptr;
    if (panel) panel->resize(panelSize);
    ctx.host.hideProgress();
    return finished;
}

bool DetectDialog::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) cancelRequested_ = true;
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return watched != cancel_;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Close:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
    }
}

void DetectDialog::undo(Ctx& ctx) {
    if (!UndoDetection(ctx.s, undo_)) {
        ctx.host.beep();
        return;
    }
    UpdateDisplay(ctx);
}

}  // namespace vk
