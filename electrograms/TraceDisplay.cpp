#include "electrograms/TraceDisplay.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "electrograms/TraceColumns.h"
#include "maps/MapBuffer.h"
#include "maps/MapDraw.h"
#include "electrograms/ConnectionArrows.h"
#include "marks/MarkStore.h"
#include "marks/Measures.h"
#include "session/Draw.h"
#include "session/Format.h"
#include "session/SampleTime.h"

namespace vk {

namespace {

constexpr Colour Green = 0x0000FF00;
constexpr int MaxPoints = 16000;
constexpr int LabelGap = 4;  // pixels between two time labels at least  // drawn points per trace, whatever the window

int digits(int64_t v) { return static_cast<int>(std::to_string(v).size()); }

}  // namespace

void CalcIntervals(SessionState& s) {
    std::fill(s.MarkInterval.begin(), s.MarkInterval.begin() + s.MarkCount + 1, Missing);
    // Live marks ordered by electrode, then time; the previous mark of each
    // is then the last one of a smaller time on the same electrode.
    const std::vector<int32_t>& order = SortMarksByElectrode(s, s.MarkOrder);
    const int64_t windowEnd = int64_t{s.BeginTime} + s.WindowTime;
    size_t g = 0;
    int currentElectrode = -1;
    int32_t lastAny = Missing, lastSlowWave = Missing;
    bool haveAny = false, haveSlowWave = false;
    while (g < order.size()) {
        const MarkRecord& first = s.MarkTable[static_cast<size_t>(order[g])];
        if (first.Electrode != currentElectrode) {
            currentElectrode = first.Electrode;
            haveAny = haveSlowWave = false;
        }
        // A group of marks at the same time on the same electrode.
        size_t end = g;
        bool groupHasSlowWave = false;
        while (end < order.size()) {
            const MarkRecord& m = s.MarkTable[static_cast<size_t>(order[end])];
            if (m.Electrode != first.Electrode || m.Time != first.Time) break;
            groupHasSlowWave |= m.MarkType == SlowWave;
            ++end;
        }
        for (size_t j = g; j < end; ++j) {
            const auto i = static_cast<size_t>(order[j]);
            const MarkRecord& m = s.MarkTable[i];
            if (m.Time < s.BeginTime || m.Time > windowEnd) continue;
            const bool slow = m.MarkType == SlowWave;
            if (slow ? !haveSlowWave : !haveAny) continue;
            const int32_t interval = m.Time - (slow ? lastSlowWave : lastAny);
            if (s.Prefs.LimitIntervals && interval >= s.Prefs.MaxIntervalValue) continue;
            s.MarkInterval[i] = interval;
        }
        lastAny = first.Time;
        haveAny = true;
        if (groupHasSlowWave) {
            lastSlowWave = first.Time;
            haveSlowWave = true;
        }
        g = end;
    }
}

void DrawTimeAxis(Ctx& ctx, const TraceGeometry& g) {
    const SessionState& s = ctx.s;
    const int32_t f = std::max(1, s.SamplingFrequency);
    const int64_t n = roundHalfEven(s.WindowTime / 1000.0 * f);
    const int step = n <= 100 ? 10 : n <= 500 ? 50 : n <= 1000 ? 100 : n <= 5000 ? 500 : n <= 10000 ? 1000 : 2000;
    SetBrushColor(ctx, clWhite);
    SetPenColor(ctx, Green);
    double x = g.left;
    int64_t sample = roundHalfEven(s.BeginTime / 1000.0 * f);
    // A label that would run into the one before is left out; its tick stays.
    int labelEnd = std::numeric_limits<int>::min() / 2;
    while (x <= g.left + g.width) {
        const int xr = static_cast<int>(roundHalfEven(x));
        const int64_t label = roundHalfEven(static_cast<double>(sample) / f * 1000.0);
        const std::string text = std::to_string(label);
        const int xt = xr - 7 * (digits(sample) / 2);
        if (xt >= labelEnd + LabelGap) {
            TextOut(ctx, xt, 1, DarkGreen, text);
            labelEnd = xt + TextWidth(ctx, text);
        }
        Line(ctx, xr, 15, xr, g.height);
        x += step * g.pixelsPerSample;
        sample += step;
    }
}

namespace {

void drawScaleBar(Ctx& ctx, const TraceGeometry& g) {
    const SessionState& s = ctx.s;
    double v = 1.0;
    const double unitsPerMv = s.UnitsPerMillivolt * s.Amplification;
    int64_t h = roundHalfEven(unitsPerMv * v);
    if (h > 200) {
        do {
            v /= 2;
            h = roundHalfEven(unitsPerMv * v);
        } while (h >= 200);
    }
    const int q = static_cast<int>(roundHalfEven(unitsPerMv * v / 5));
    const int x = g.width + 50, yb = g.height, yt = g.height - static_cast<int>(h);
    SetPenColor(ctx, clBlack);
    Line(ctx, x, yb, x, yt);
    Line(ctx, x - 5, yb, x + 5, yb);
    Line(ctx, x - 5, yt, x + 5, yt);
    for (int j = 1; j <= 4; ++j) Line(ctx, x - 5, yb - j * q, x, yb - j * q);
    // The label ends inside the panel, however wide the font draws it.
    const std::string label = FormatNumber(v, 3, s.Locale, 6) + " mV";
    TextOut(ctx, std::min(x - 40, s.PanelAWidth - 2 - TextWidth(ctx, label)), yb + 5, clBlack, label);
}

// The drawn points of every trace row, read row by row over the window:
// Signals holds one sample of all channels per row, so going row by row
// reads memory in order, where going trace by trace would jump a whole row
// for every sample. The reading leaves the x of each drawn point in
// TraceXs, each trace's value at it in TraceValues (trace by trace) and,
// with the average offset on, each trace's mean in TraceMeans.
struct TracePoints {
    int step = 1;
    int32_t first = 0, last = 0;
    bool any = false;
    // Point 0 is the first sample at the left edge, then every step-th sample.
    int32_t sampleOf(size_t j) const { return j == 0 ? first + 1 : first + static_cast<int32_t>(j) * step; }
};

// Asks for the part of a sample row that holds channels lowest..highest
// (the processor brings cache lines in pairs: one request per 128 bytes).
inline void prefetchRow(const int32_t* row, int32_t lowest, int32_t highest) {
    for (int32_t c = lowest; c <= highest; c += 32) __builtin_prefetch(row + c - 1);
}

TracePoints computeTraces(SessionState& s, const TraceGeometry& g, const std::vector<int32_t>& electrodes) {
    TracePoints t;
    t.first = std::max(0, g.firstSample);
    t.last = std::min(g.lastSample, MaxSamples);
    const size_t traces = electrodes.size();
    s.TraceMeans.assign(traces, 0.0);
    s.TraceXs.clear();
    if (t.first + 1 > t.last) return t;  // nothing of the recording in this window
    t.any = true;
    const int span = t.last - t.first;
    t.step = 1 + (span - 1) / MaxPoints;
    const bool bipolar = s.BipolarMode;
    auto value = [&](const int32_t* row, int32_t e) -> int64_t {
        return (bipolar && e < MaxChannels) ? int64_t{row[e - 1]} - row[e] : row[e - 1];
    };
    int32_t lowest = MaxChannels, highest = 1;
    for (int32_t e : electrodes)
        if (e != Missing) {
            lowest = std::min(lowest, e);
            highest = std::max(highest, std::min(e + 1, MaxChannels));
        }
    // With the average offset on, every row of the window goes into the
    // sums, in the same pass that picks the values of the drawn rows.
    const bool average = s.AverageOffsetOn;
    std::vector<int64_t>& sums = s.TraceSums;
    sums.assign(traces, 0);
    int32_t summed = t.first;
    auto sumUpTo = [&](int32_t to) {
        for (int32_t sample = summed + 1; sample <= to; ++sample) {
            const int32_t* row = s.Signals.row(sample);
            // Rows are a kilobyte apart: ask for the ones ahead in time.
            if (sample + 64 <= t.last) prefetchRow(s.Signals.row(sample + 64), lowest, highest);
            for (size_t k = 0; k < traces; ++k)
                if (electrodes[k] != Missing) sums[k] += value(row, electrodes[k]);
        }
        summed = std::max(summed, to);
    };
    const size_t points = 1 + static_cast<size_t>(span / t.step);
    s.TraceXs.resize(points);
    s.TraceValues.resize(points * traces);
    for (size_t j = 0; j < points; ++j) {
        const int32_t sample = t.sampleOf(j);
        s.TraceXs[j] = j == 0 ? g.left : clampPixel(roundHalfEven((sample - t.first + 1) * g.pixelsPerSample) + g.left);
        if (average) {
            sumUpTo(sample);
        } else if (j + 16 < points) {
            prefetchRow(s.Signals.row(t.sampleOf(j + 16)), lowest, highest);
        }
        const int32_t* row = s.Signals.row(sample);
        for (size_t k = 0; k < traces; ++k)
            if (electrodes[k] != Missing) s.TraceValues[k * points + j] = value(row, electrodes[k]);
    }
    if (average) {
        sumUpTo(t.last);
        for (size_t k = 0; k < traces; ++k) s.TraceMeans[k] = static_cast<double>(sums[k]) / span;
    }
    return t;
}

// The y of a value on row k: its distance from the trace's mean, amplified,
// up from the row's centre. A distance beyond any panel is held at ten
// million pixels (and the mean itself, at an infinite amplification, at
// the centre), so that a higher value is never drawn below a lower one and
// the line of a column's extremes covers every point between them.
// Within that range, adding and taking away 1.5 * 2^52 rounds half to even
// as roundHalfEven does, without a library call for every point.
struct TraceScale {
    int32_t centre;
    double mean, amplification;
    TraceScale(const SessionState& s, const TraceGeometry& g, size_t k)
        : centre(g.rowCentre(static_cast<int>(k) + 1)), mean(s.TraceMeans[k]), amplification(s.Amplification) {}
    int y(int64_t value) const {
        constexpr double Far = 1e7, Round = 6755399441055744.0;
        double d = (static_cast<double>(value) - mean) * amplification;
        if (!(std::abs(d) <= Far)) d = d > 0 ? Far : d < 0 ? -Far : 0.0;
        const double shifted = d + Round;
        return clampPixel(centre - static_cast<int64_t>(shifted - Round));
    }
};

void drawTrace(Ctx& ctx, const TraceGeometry& g, const TracePoints& t, size_t k, int32_t e) {
    SessionState& s = ctx.s;
    const int yc = g.rowCentre(static_cast<int>(k) + 1);
    SetBrushColor(ctx, clWhite);
    TextOut(ctx, 4, yc - 4, DarkGreen, std::to_string(e));
    SetPenColor(ctx, clBlack);
    if (!t.any) return;
    s.TraceMean = s.TraceMeans[k];
    const size_t points = s.TraceXs.size();
    const int32_t* xs = s.TraceXs.data();
    const int64_t* values = s.TraceValues.data() + k * points;
    const TraceScale scale(s, g, k);
    std::vector<Point>& line = s.TracePoints;
    line.clear();
    if (s.PlotOnlyDots) {
        // A dot for every drawn point but the first; a repeated dot once.
        for (size_t j = 1; j < points; ++j) line.push_back({xs[j], scale.y(values[j])});
        DropRepeatedDots(line);
        for (const Point& p : line) Line(ctx, p.x, p.y, p.x + 1, p.y + 1);
        return;
    }
    // One pixel wide: the width the column points are exact for.
    SetPenWidth(ctx, 1);
    ForColumnPoints(xs, values, points, [&](size_t j) { line.push_back({xs[j], scale.y(values[j])}); });
    Polyline(ctx, line);
}

}  // namespace

std::vector<Point> EveryPointOfTrace(const SessionState& s, const TraceGeometry& g, int k, int32_t e) {
    std::vector<Point> line;
    const int32_t first = std::max(0, g.firstSample), last = std::min(g.lastSample, MaxSamples);
    if (first + 1 > last || e < 1 || e > MaxChannels) return line;
    const int span = last - first, step = 1 + (span - 1) / MaxPoints;
    const TraceScale scale(s, g, static_cast<size_t>(k - 1));
    for (int j = 0; j <= span / step; ++j) {
        const int32_t sample = j == 0 ? first + 1 : first + j * step;
        const int x = j == 0 ? g.left : clampPixel(roundHalfEven((sample - first + 1) * g.pixelsPerSample) + g.left);
        const int32_t* row = s.Signals.row(sample);
        const int64_t v = (s.BipolarMode && e < MaxChannels) ? int64_t{row[e - 1]} - row[e] : row[e - 1];
        line.push_back({x, scale.y(v)});
    }
    return line;
}

namespace {

// The measured extremes of the slow wave in `slot` on row k: a tick at the
// maximum, a line from under it to the minimum, joined by a vertical, and
// the amplitude in mV beside it when times are shown.
void drawAmplitudeMarker(Ctx& ctx, const TraceGeometry& g, int k, int slot) {
    const SessionState& s = ctx.s;
    const MeasureRecord& m = s.MarkMeasures[static_cast<size_t>(slot)];
    if (m.MeasuredElectrode == Missing) return;
    const int yc = g.rowCentre(k);
    auto xOf = [&](int32_t sample) {
        return clampPixel(roundHalfEven((sample - g.firstSample) * g.pixelsPerSample) + g.left);
    };
    auto yOf = [&](int32_t value) { return clampPixel(yc - roundHalfEven((value - s.TraceMean) * s.Amplification)); };
    const int x1 = xOf(m.MaxSample), y1 = yOf(m.MaxValue), x2 = xOf(m.MinSample), y2 = yOf(m.MinValue);
    SetPenColor(ctx, clBlue);
    Line(ctx, x1 - 10, y1, x1 + 10, y1);
    Line(ctx, x1, y2, x2 + 10, y2);
    Line(ctx, x1, y1, x1, y2);
    if (s.ShowElgTimes) {
        // On the trace itself: no box of whatever colour the brush was left in.
        SetBrushStyle(ctx, BrushStyle::Clear);
        TextOut(ctx, x1 - 20, y1 + (y2 - y1) / 2, clBlue, FormatNumber(MeasuredAmplitude(s, m), 2, s.Locale));
        SetBrushStyle(ctx, BrushStyle::Solid);
    }
    SetPenWidth(ctx, 1);
}

}  // namespace

void DrawMarksOfRow(Ctx& ctx, const TraceGeometry& g, int k, int32_t e) {
    SessionState& s = ctx.s;
    const double f = std::max(1, s.SamplingFrequency);
    const int ytop = g.rowTop(k), ybot = g.rowBottom(k);
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Electrode != e) continue;
        const int64_t sample = roundHalfEven(m.Time * f / 1000.0);
        if (sample < g.firstSample || sample > g.lastSample) continue;
        const int x = clampPixel(roundHalfEven((m.Time * f / 1000.0 - g.firstSample) * g.pixelsPerSample) + g.left);
        SetPenColor(ctx, MarkColour(m.MarkType));
        if (m.Origin == ManualOrigin) SetPenWidth(ctx, 2);
        if (m.Origin == AutomaticOrigin) SetPenWidth(ctx, 1);
        if (s.ShowElgMarks) Line(ctx, x, ytop, x, ybot);
        if (s.ShowElgTimes) {
            // Beside a map, the label of the mark that gives the electrode's
            // cell its time is written on that cell's colour.
            const int64_t label = int64_t{m.Time} - s.RefTime;
            Colour cellColour = clWhite;
            if (s.ShowBackgroundColor && MapShownBeside(s) && MapLabelColour(s, e, label, cellColour))
                SetBrushColor(ctx, cellColour);
            TextOut(ctx, x + 5, ytop, clBlack, std::to_string(label));
        }
        if (s.PlotMarkNr) TextOut(ctx, x + 5, ybot - 12, clBlack, std::to_string(m.MarkNr));
        if (m.MarkType == Reference && s.ShowElgMarks) {
            SetBrushColor(ctx, clBlack);
            Ellipse(ctx, x - 4, ytop - 4, x + 4, ytop + 4);
        }
        const int32_t interval = s.MarkInterval[static_cast<size_t>(i)];
        if (interval != Missing && ((m.MarkType == SlowWave && s.ShowElgIntervals) ||
                                    (m.MarkType == Spike && s.ShowSpikeIntervals))) {
            const std::string t = std::to_string(interval);
            SetBrushColor(ctx, clWhite);
            TextOut(ctx, x - 20 - TextWidth(ctx, t), ybot - 5 - TextHeight(ctx, t), clFuchsia, t);
        }
        if (s.ShowAmplitudes && m.MarkType == SlowWave) drawAmplitudeMarker(ctx, g, k, i);
        SetPenColor(ctx, clBlack);
        SetBrushColor(ctx, clWhite);
        SetPenWidth(ctx, 1);
    }
}

bool MapShownBeside(const SessionState& s) {
    return s.Tiled && (s.ActiveDisplay == 2 ? s.DisplayTypeA : s.DisplayTypeB) == 0;
}

TraceGeometry BeginElectrogramPanel(Ctx& ctx) {
    SessionState& s = ctx.s;
    const TraceGeometry g = ComputeGeometry(s, s.BeginTime, s.WindowTime);
    s.PlotLeft = g.left;
    s.PlotTop = g.top;
    s.PlotWidth = g.width;
    s.PlotHeight = g.height;
    s.TraceSpacing = g.traceSpacing;
    s.FirstSample = g.firstSample;
    s.LastSample = g.lastSample;
    s.PixelsPerSample = g.pixelsPerSample;

    SetPenColor(ctx, clBlack);
    SetBrushStyle(ctx, BrushStyle::Solid);
    SetBrushColor(ctx, clWhite);
    Rectangle(ctx, 0, 0, s.PanelAWidth, s.PanelAHeight);
    if (!s.SignalsLoaded) return g;
    SetPenColor(ctx, Green);
    for (int k = 1; k <= s.NrTraces; ++k) Line(ctx, g.left, g.rowCentre(k), g.left + g.width, g.rowCentre(k));
    SetPenColor(ctx, DarkGreen);
    DrawTimeAxis(ctx, g);
    return g;
}

void DrawTraceRows(Ctx& ctx, const TraceGeometry& g, const std::vector<int32_t>& electrodes) {
    const TracePoints t = computeTraces(ctx.s, g, electrodes);
    for (size_t k = 0; k < electrodes.size(); ++k) {
        const int32_t e = electrodes[k];
        if (e == Missing) continue;
        drawTrace(ctx, g, t, k, e);
        DrawMarksOfRow(ctx, g, static_cast<int>(k) + 1, e);
        if (k + 1 < electrodes.size() && ctx.s.ShowElgConnections)
            DrawConnectionsOfRow(ctx, g, static_cast<int>(k) + 1, e, electrodes);
    }
}

void PaintElectrograms(Ctx& ctx) {
    SessionState& s = ctx.s;
    const TraceGeometry g = BeginElectrogramPanel(ctx);
    if (!s.SignalsLoaded) return;
    drawScaleBar(ctx, g);
    if (s.ShowElgIntervals || s.ShowSpikeIntervals) CalcIntervals(s);
    // The time labels are coloured by the map beside, as it is about to be drawn.
    if (s.ShowElgTimes && s.ShowBackgroundColor && s.Tiled) LoadMapShownBeside(s, s.ActiveDisplay);
    std::vector<int32_t>& electrodes = s.RowElectrodes;
    electrodes.resize(static_cast<size_t>(std::max(0, s.NrTraces)));
    for (int k = 1; k <= s.NrTraces; ++k) electrodes[static_cast<size_t>(k - 1)] = ElectrodeOfRow(s, k);
    DrawTraceRows(ctx, g, electrodes);
}

void ToggleElgOption(Ctx& ctx, ElgOption option) {
    SessionState& s = ctx.s;
    switch (option) {
        case ElgOption::Marks: s.ShowElgMarks = !s.ShowElgMarks; break;
        case ElgOption::Times: s.ShowElgTimes = !s.ShowElgTimes; break;
        case ElgOption::SWIntervals: s.ShowElgIntervals = !s.ShowElgIntervals; break;
        case ElgOption::SpikeIntervals: s.ShowSpikeIntervals = !s.ShowSpikeIntervals; break;
        case ElgOption::BackgroundColor: s.ShowBackgroundColor = !s.ShowBackgroundColor; break;
        case ElgOption::AverageOffset: s.AverageOffsetOn = !s.AverageOffsetOn; break;
        case ElgOption::OnlyDots: s.PlotOnlyDots = !s.PlotOnlyDots; break;
        case ElgOption::MarkNr: s.PlotMarkNr = !s.PlotMarkNr; break;
    }
    UpdateDisplay(ctx);
}

std::string ElgOptionCaption(const SessionState& s, ElgOption option) {
    switch (option) {
        case ElgOption::Marks: return s.ShowElgMarks ? "hide marks" : "show marks";
        case ElgOption::Times: return s.ShowElgTimes ? "hide mark times" : "show mark times";
        case ElgOption::SWIntervals: return s.ShowElgIntervals ? "hide SW intervals" : "show SW intervals";
        case ElgOption::SpikeIntervals: return s.ShowSpikeIntervals ? "hide Spike intervals" : "show Spike intervals";
        case ElgOption::BackgroundColor:
            return s.ShowBackgroundColor ? "hide background color" : "show background color";
        case ElgOption::AverageOffset: return s.AverageOffsetOn ? "Average Offset Off" : "Average Offset On";
        case ElgOption::OnlyDots: return "plot only dots";
        case ElgOption::MarkNr: return "Plot Mark nr";
    }
    return {};
}

}  // namespace vk
