// The detection dialog's preview: one trace over panel A's time window with
// a line at every activation the detector would mark on it. It only paints
// what it is given; nothing in the session changes.
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

#include "electrograms/Detector.h"

namespace vk {

class DetectPreview : public QWidget {
    Q_OBJECT
public:
    explicit DetectPreview(QWidget* parent);

    // Shows `channel` of Signals between beginMs and beginMs + windowMs with
    // the detections of `d` (a run over `rows`) that fall inside.
    void showTrace(const SessionState& s, int channel, int32_t beginMs, int32_t windowMs, const DetectRows& rows,
                   const ChannelDetection& d);
    // An empty preview with a line saying why.
    void showMessage(const QString& text);

    // The detection times shown (ms, as a mark would get them) and the caption.
    const std::vector<int32_t>& times() const { return times_; }
    QString caption() const { return caption_; }

    QSize sizeHint() const override { return {460, 130}; }
    QSize minimumSizeHint() const override { return {240, 90}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString caption_;
    double beginMs_ = 0, windowMs_ = 1;
    std::vector<double> sampleMs_, values_;  // the trace: time (ms) and value of each row shown
    std::vector<double> markMs_;              // the detections, unrounded, for drawing
    std::vector<int32_t> times_;
};

}  // namespace vk
