#include "electrograms/SingleElectrogram.h"

#include <algorithm>

#include "session/Format.h"
#include "session/SampleTime.h"
#include "session/Ask.h"

namespace vk {

namespace {

constexpr int Spacing = 40;  // trace spacing of the window's two rows

// The sample rows drawn: from BeginTime + 1 over the span that fits the
// paint box, and none past the recording.
struct Span {
    int32_t begin = 0, first = 1, last = 0;
};
Span spanOf(const SessionState& s) {
    Span p;
    p.begin = SampleOfTime(s, s.BeginTime);
    p.first = std::max(p.begin + 1, 1);
    p.last = static_cast<int32_t>(std::min<int64_t>(int64_t{p.begin} + std::max(1, s.AlyWindow), RecordingRows(s)));
    return p;
}

int xOf(const SessionState& s, const Span& p, int32_t i) {
    return clampPixel(roundHalfEven((int64_t{i} - p.begin + 1) * s.PixelsPerSample) + AlyTraceLeft);
}

void drawPoints(SessionState& s, Canvas& c) {
    if (s.PlotOnlyDots) {
        for (const Point& q : s.TracePoints) c.line(q.x, q.y, q.x + 1, q.y + 1);
    } else if (!s.TracePoints.empty()) {
        c.polyline(s.TracePoints);
    }
}

}  // namespace

void InitialiseAnalysis(SessionState& s, int paintWidth) {
    s.AlyWindow = 4000;
    s.AlyElectrode = std::clamp(s.FirstChannel, 1, MaxChannels - 1);
    s.PixelsPerSample = static_cast<double>(paintWidth - 20) / s.AlyWindow;
    s.TraceSpacing = Spacing;
}

AnalysisFields AnalysisFieldsOf(const SessionState& s, const std::string& typeLabel) {
    AnalysisFields f;
    f.typeLabel = s.CurrentMarkType[1] == SlowWave ? "Slow Waves" : s.CurrentMarkType[1] == Spike ? "Spikes" : typeLabel;
    f.level = std::to_string(s.Prefs.MinDiffLevel[1]);
    f.width = std::to_string(s.Prefs.SearchWidth[1]);
    f.diffDist = std::to_string(s.Prefs.DiffDist[1]);
    return f;
}

void PaintAnalysis(SessionState& s, Canvas& c) {
    s.PixelsPerSample = static_cast<double>(c.width() - 20) / std::max(1, s.AlyWindow);
    s.TraceSpacing = Spacing;
    c.setPenColor(clWhite);
    c.setBrushStyle(BrushStyle::Solid);
    c.setBrushColor(clWhite);
    c.rectangle(0, 0, c.width(), c.height());
    const int32_t e = std::clamp(s.AlyElectrode, 1, MaxChannels);
    const Span p = spanOf(s);

    // Row 1: the electrogram less its mean.
    int yc = 2 * Spacing - Spacing / 2;
    c.textOut(4, yc - 4, DarkGreen, std::to_string(e));
    c.setPenColor(DarkGreen);
    double mean = 0.0;
    if (s.AverageOffsetOn && p.first <= p.last) {
        int64_t sum = 0;
        for (int32_t i = p.first; i <= p.last; ++i) sum += s.Signals.at(i, e);
        mean = static_cast<double>(sum) / (p.last - p.first + 1);
    }
    s.TraceMean = mean;
    s.TracePoints.clear();
    for (int32_t i = p.first; i <= p.last; ++i)
        s.TracePoints.push_back({xOf(s, p, i), clampPixel(yc - roundHalfEven((s.Signals.at(i, e) - mean) * s.Amplification))});
    drawPoints(s, c);

    // Row 2: the difference over DiffDist samples, where both ends exist.
    yc = 4 * Spacing - Spacing / 2;
    c.setBrushColor(clWhite);
    c.textOut(4, yc - 14, clBlack, " differentiated");
    c.setPenColor(clBlack);
    const int32_t h = std::max(0, s.Prefs.DiffDist[1] / 2);
    s.TracePoints.clear();
    for (int64_t i = std::max<int64_t>(p.first, int64_t{h} + 1); i <= int64_t{p.last} - h; ++i) {
        const int64_t d = int64_t{s.Signals.at(static_cast<int>(i + h), e)} - s.Signals.at(static_cast<int>(i - h), e);
        s.TracePoints.push_back({xOf(s, p, static_cast<int32_t>(i)), clampPixel(yc - roundHalfEven(d * s.Amplification))});
    }
    drawPoints(s, c);

    // The level of the type of the panel that is active.
    const int type = std::clamp(s.CurrentMarkType[s.ActiveDisplay == 2 ? 2 : 1], 1, 3);
    const int y = clampPixel(yc - roundHalfEven(s.Prefs.MinDiffLevel[static_cast<size_t>(type)] * s.Amplification));
    c.setPenColor(clRed);
    c.line(1, y, clampPixel(roundHalfEven(s.WindowTime * s.PixelsPerSample)), y);
    c.setPenColor(clBlack);
}

bool UpdateAnalysisSettings(Ctx& ctx, const std::string& level, const std::string& width, const std::string& diffDist) {
    const int32_t l = ParseTypedInteger(level), w = ParseTypedInteger(width), d = ParseTypedInteger(diffDist);
    if (w < 0 || d < 0) {
        ctx.host.beep();
        return false;
    }
    ctx.s.Prefs.MinDiffLevel[1] = l;
    ctx.s.Prefs.SearchWidth[1] = w;
    ctx.s.Prefs.DiffDist[1] = d;
    return true;
}

void StepAnalysisElectrode(Ctx& ctx, bool up) {
    int32_t& e = ctx.s.AlyElectrode;
    if (up ? e + 1 >= MaxChannels : e - 1 < 1) {
        ctx.host.beep();
        return;
    }
    e += up ? 1 : -1;
}

AnalysisCursor AnalysisCursorAt(const SessionState& s, int x) {
    AnalysisCursor r;
    const int i = x - AlyTraceLeft;
    const int64_t row = roundHalfEven(i / s.PixelsPerSample) + SampleOfTime(s, s.BeginTime) - 1;
    if (row < 1 || row > RecordingRows(s) || s.AlyElectrode < 1 || s.AlyElectrode > MaxChannels) return r;
    const int32_t v = s.Signals.at(static_cast<int>(row), s.AlyElectrode);
    r.sample = " Sample nr: " + std::to_string(i);
    r.time = " Time: " + std::to_string(TimeOfSample(s, row));
    r.amplitude = " Amplitude: " + std::to_string(v);
    r.volts = " Amplitude: " + FormatNumber(static_cast<double>(v) / std::max(1, s.UnitsPerMillivolt), 2, s.Locale) + " mV";
    return r;
}

}  // namespace vk
