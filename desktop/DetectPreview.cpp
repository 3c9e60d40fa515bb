#include "desktop/DetectPreview.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "session/SampleTime.h"

namespace vk {

DetectPreview::DetectPreview(QWidget* parent) : QWidget(parent) {
    setObjectName("DetectPreview");
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void DetectPreview::showTrace(const SessionState& s, int channel, int32_t beginMs, int32_t windowMs,
                              const DetectRows& rows, const ChannelDetection& d) {
    const double rate = DetectRate(s);
    beginMs_ = beginMs;
    windowMs_ = std::max(1, windowMs);
    sampleMs_.clear();
    values_.clear();
    markMs_.clear();
    times_.clear();
    const int32_t last = std::min(RecordingRows(s), SampleOfTime(s, int64_t{beginMs} + windowMs));
    for (int32_t r = std::max(1, SampleOfTime(s, beginMs)); r <= last; ++r) {
        sampleMs_.push_back(r * 1000.0 / rate);
        values_.push_back(s.Signals.at(r, channel));
    }
    for (double p : d.positions) {
        const int32_t t = DetectionTime(s, rows, p);
        if (t < beginMs || t > int64_t{beginMs} + windowMs) continue;
        times_.push_back(t);
        markMs_.push_back((rows.first + p) * 1000.0 / rate);
    }
    caption_ = QString("Channel %1, %2-%3 ms: %4 activations")
                   .arg(channel)
                   .arg(beginMs)
                   .arg(int64_t{beginMs} + windowMs)
                   .arg(times_.size());
    update();
}

void DetectPreview::showMessage(const QString& text) {
    sampleMs_.clear();
    values_.clear();
    markMs_.clear();
    times_.clear();
    caption_ = text;
    update();
}

void DetectPreview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(160, 160, 160));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const int line = fontMetrics().height();
    p.setPen(Qt::black);
    p.drawText(QRect(6, 2, width() - 12, line), Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(caption_, Qt::ElideRight, width() - 12));
    const QRectF area(6, line + 6, width() - 12, height() - line - 12);
    if (values_.empty() || area.width() < 2 || area.height() < 2) return;
    const auto [low, high] = std::minmax_element(values_.begin(), values_.end());
    const double span = std::max(1.0, *high - *low);
    auto x = [&](double ms) { return area.left() + (ms - beginMs_) / windowMs_ * area.width(); };
    auto y = [&](double v) { return area.bottom() - (v - *low) / span * area.height(); };
    QPainterPath trace;
    trace.moveTo(x(sampleMs_[0]), y(values_[0]));
    // Wide windows hold more rows than pixels: every row still counts, so
    // that a narrow deflection shows.
    for (std::size_t i = 1; i < values_.size(); ++i) trace.lineTo(x(sampleMs_[i]), y(values_[i]));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 140), 1));
    p.drawPath(trace);
    p.setPen(QPen(QColor(210, 0, 0), 1));
    for (double ms : markMs_) p.drawLine(QPointF(x(ms), area.top()), QPointF(x(ms), area.bottom()));
}

}  // namespace vk
