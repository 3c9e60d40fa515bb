#include "electrograms/AnalysisView.h"

#include <algorithm>

#include "electrograms/TraceDisplay.h"
#include "maps/MapBuffer.h"
#include "marks/AutoMark.h"
#include "session/Draw.h"
#include "session/SampleTime.h"

namespace vk {

namespace {

constexpr int AnalysisRows = 5;

int xOfSample(const TraceGeometry& g, int64_t sample) {
    return clampPixel(roundHalfEven(static_cast<double>(sample - g.firstSample + 1) * g.pixelsPerSample) + g.left);
}

// Row 2: d(s) = v(s + h) - v(s - h) with h = half the slow-wave difference
// distance, drawn without a mean; only where both samples exist.
void drawDifference(Ctx& ctx, const TraceGeometry& g, int32_t e) {
    SessionState& s = ctx.s;
    const int yc = g.rowCentre(2);
    SetBrushColor(ctx, clWhite);
    TextOut(ctx, 4, yc - 4, DarkGreen, std::to_string(e));
    SetPenColor(ctx, clBlack);
    const int32_t h = s.Prefs.DiffDist[1] / 2;
    const int32_t length = AutoMarkLength(s);
    const int64_t from = std::max<int64_t>(int64_t{g.firstSample} + 1, int64_t{1} + h);
    const int64_t to = std::min<int64_t>(g.lastSample, int64_t{length} - h);
    const bool bipolar = s.BipolarMode && e < MaxChannels;
    auto value = [&](int64_t sample) -> int64_t {
        const int32_t* row = s.Signals.row(static_cast<int>(sample));
        return bipolar ? int64_t{row[e - 1]} - row[e] : row[e - 1];
    };
    std::vector<Point>& line = s.TracePoints;
    line.clear();
    for (int64_t sample = from; sample <= to; ++sample) {
        const int64_t d = value(sample + h) - value(sample - h);
        const int x = xOfSample(g, sample);
        const int y = clampPixel(yc - roundHalfEven(static_cast<double>(d) * s.Amplification));
        if (s.PlotOnlyDots) {
            Line(ctx, x, y, x + 1, y + 1);
        } else {
            line.push_back({x, y});
        }
    }
    if (!s.PlotOnlyDots && !line.empty()) Polyline(ctx, line);
}

}  // namespace

void PaintAnalysisView(Ctx& ctx) {
    SessionState& s = ctx.s;
    s.NrTraces = AnalysisRows;
    const TraceGeometry g = BeginElectrogramPanel(ctx);
    if (!s.SignalsLoaded) return;
    const int32_t e = ElectrodeOfRow(s, 1);
    if (e == Missing) return;
    const Detections found = ExamineElectrode(s, e);

    // Row 1: the trace and its marks.
    if (s.ShowElgIntervals || s.ShowSpikeIntervals) CalcIntervals(s);
    if (s.ShowElgTimes && s.ShowBackgroundColor && MapShownBeside(s)) LoadMapShownBeside(s, 1);
    s.RowElectrodes.assign(1, e);
    DrawTraceRows(ctx, g, s.RowElectrodes);

    // A tick through the row centre at every sample the marker would mark.
    const int yc = g.rowCentre(1);
    const int half = std::max(1, g.traceSpacing / 4);
    SetPenColor(ctx, clBlack);
    for (int i = 0; i < found.count; ++i) {
        const int32_t sample = found.samples[static_cast<size_t>(i)];
        if (sample <= g.firstSample || sample > g.lastSample) continue;
        const int x = xOfSample(g, sample);
        Line(ctx, x, yc - half, x, yc + half);
    }

    drawDifference(ctx, g, e);

    // The threshold line: three noise deviations from the row centre, at
    // the panel's amplification.
    SetPenColor(ctx, clRed);
    const int y = clampPixel(yc + roundHalfEven(3.0 * found.noiseSD * s.Amplification));
    Line(ctx, g.left, y, clampPixel(g.left + roundHalfEven(SampleOfTime(s, s.WindowTime) * g.pixelsPerSample)), y);
    SetPenColor(ctx, clBlack);
}

}  // namespace vk
