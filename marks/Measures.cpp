#include "marks/Measures.h"

#include <algorithm>

#include "marks/MarkStore.h"
#include "session/Draw.h"
#include "session/Format.h"
#include "session/SampleTime.h"

namespace vk {

void ClearMeasures(SessionState& s) {
    for (MeasureRecord& m : s.MarkMeasures) m = MeasureRecord{};
}

namespace {

// Time since the latest slow wave of e before t, from the slow waves in
// SortMarksByElectrode's order; Missing when there is none or the gap spans
// the whole recording.
int32_t intervalBefore(const SessionState& s, const std::vector<int32_t>& order, int e, int32_t t) {
    const auto first = std::lower_bound(order.begin(), order.end(), std::pair<int, int32_t>{e, t},
                                        [&](int32_t slot, const std::pair<int, int32_t>& key) {
                                            const MarkRecord& m = s.MarkTable[static_cast<size_t>(slot)];
                                            return m.Electrode != key.first ? m.Electrode < key.first : m.Time < key.second;
                                        });
    if (first == order.begin()) return Missing;
    const MarkRecord& previous = s.MarkTable[static_cast<size_t>(*(first - 1))];
    if (previous.Electrode != e) return Missing;
    const int64_t gap = int64_t{t} - previous.Time;
    return gap < s.SignalLength ? static_cast<int32_t>(gap) : Missing;
}

void measureSignal(SessionState& s, MeasureRecord& r, int e, int32_t t) {
    const int32_t rows = RecordingRows(s);
    const int64_t w = SampleOfTime(s, MeasureHalfWindow), c = SampleOfTime(s, t);
    const int64_t a = std::max<int64_t>(c - w, 1);
    // The maximum is searched over the same rows as the minimum: past the
    // recording the buffer holds nothing of it.
    const int64_t b = std::min<int64_t>(c + w, rows);
    // Both searches start from the window's first sample (0 for an empty
    // window): any fixed start would win over a signal lying wholly beyond it.
    r.MaxValue = r.MinValue = 0;
    r.MaxSample = r.MinSample = 0;
    if (a <= b) {
        r.MaxValue = r.MinValue = s.Signals.at(static_cast<int>(a), e);
        r.MaxSample = r.MinSample = static_cast<int32_t>(a);
    }
    for (int64_t i = a + 1; i <= b; ++i) {
        const int32_t v = s.Signals.at(static_cast<int>(i), e);
        if (v > r.MaxValue) {
            r.MaxValue = v;
            r.MaxSample = static_cast<int32_t>(i);
        }
        if (v < r.MinValue) {
            r.MinValue = v;
            r.MinSample = static_cast<int32_t>(i);
        }
    }
    // Only falls count; the difference never reaches past the recording.
    int64_t steepest = 0;
    r.SlopeSample = static_cast<int32_t>(a);
    for (int64_t i = a; i <= std::min<int64_t>(b, int64_t{rows} - SlopeSpan); ++i) {
        const int64_t d = int64_t{s.Signals.at(static_cast<int>(i + SlopeSpan), e)} - s.Signals.at(static_cast<int>(i), e);
        if (d < steepest) {
            steepest = d;
            r.SlopeSample = static_cast<int32_t>(i);
        }
    }
    r.Slope = SlopeScale * static_cast<double>(-steepest) / std::max(1, s.UnitsPerMillivolt);
}

}  // namespace

void MeasureMark(SessionState& s, const std::vector<int32_t>& slowWaves, int slot, int e, int32_t t) {
    MeasureRecord& r = s.MarkMeasures[static_cast<size_t>(slot)];
    measureSignal(s, r, e, t);
    r.Interval = intervalBefore(s, slowWaves, e, t);
    r.MeasuredElectrode = e;
}

int MeasureAllMarks(SessionState& s) {
    ClearMeasures(s);
    const std::vector<int32_t>& slowWaves = SortMarksByElectrode(s, s.MarkOrder, SlowWave);
    int measured = 0;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.MarkType != SlowWave || m.Electrode < 1 || m.Electrode > MaxChannels) continue;
        if (m.Time <= 0 || m.Time >= s.SignalLength) continue;
        MeasureMark(s, slowWaves, i, m.Electrode, m.Time);
        ++measured;
    }
    return measured;
}

double MeasuredAmplitude(const SessionState& s, const MeasureRecord& m) {
    return static_cast<double>(int64_t{m.MaxValue} - m.MinValue) / std::max(1, s.UnitsPerMillivolt);
}

std::vector<std::vector<std::string>> MeasuresGrid(const SessionState& s) {
    std::vector<std::vector<std::string>> grid{{"", "signalnr", "Ampl", "MaxAmpl", "MinAmpl", "time"}};
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MeasureRecord& m = s.MarkMeasures[static_cast<size_t>(i)];
        const MarkRecord& mark = s.MarkTable[static_cast<size_t>(i)];
        if (m.MeasuredElectrode == Missing || mark.MarkType != SlowWave) continue;
        grid.push_back({"", std::to_string(m.MeasuredElectrode), FormatNumber(MeasuredAmplitude(s, m), 2, s.Locale),
                        std::to_string(m.MaxValue), std::to_string(m.MinValue), std::to_string(mark.Time)});
    }
    return grid;
}

void CalculateAmplitudesSlopes1Click(Ctx& ctx) {
    MeasureAllMarks(ctx.s);
    ctx.host.beep();
    ctx.s.DataPad = MeasuresGrid(ctx.s);
    ctx.s.DataPadRequested = true;
    UpdateDisplay(ctx);
}

void ToggleShowAmplitudes(Ctx& ctx) {
    ctx.s.ShowAmplitudes = !ctx.s.ShowAmplitudes;
    UpdateDisplay(ctx);
}

}  // namespace vk
