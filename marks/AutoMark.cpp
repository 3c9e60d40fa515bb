#include "marks/AutoMark.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "marks/MarkStore.h"
#include "session/Draw.h"
#include "session/ElectrogramWindow.h"
#include "session/Format.h"
#include "session/TextFiles.h"

namespace vk {

namespace {

// The smallest value that does not qualify, found with the very comparison
// the rule states (value - mean < -threshold, in doubles), so that the
// integer test in the scan can never disagree with it.
int64_t firstNotBelow(double mean, int64_t threshold) {
    const double limit = -static_cast<double>(threshold);
    auto qualifies = [&](int64_t x) { return static_cast<double>(x) - mean < limit; };
    auto b = static_cast<int64_t>(std::ceil(mean - static_cast<double>(threshold)));
    while (qualifies(b)) ++b;
    while (!qualifies(b - 1)) --b;
    return b;
}

// Channels handled together by the inner loops.
constexpr int Lanes = 16;

// sums[c] += row[c] for a whole number of groups of Lanes channels.
inline void addRow(int64_t* sums, const int32_t* row, int width) {
    for (int g = 0; g < width; g += Lanes)
        for (int c = g; c < g + Lanes; ++c) sums[c] += row[c];
}

// Whether any of Lanes values lies below its bound.
inline bool anyBelow(const int32_t* row, const int32_t* bound) {
    int any = 0;
    for (int c = 0; c < Lanes; ++c) any |= row[c] < bound[c];
    return any != 0;
}

// Whether any value of a row lies below its bound: the comparisons of all
// groups are gathered lane by lane and looked at once.
inline bool anyBelowInRow(const int32_t* row, const int32_t* bound, int width) {
    int32_t lanes[Lanes] = {};
    for (int g = 0; g < width; g += Lanes)
        for (int c = 0; c < Lanes; ++c) lanes[c] |= -static_cast<int32_t>(row[g + c] < bound[g + c]);
    int32_t any = 0;
    for (int c = 0; c < Lanes; ++c) any |= lanes[c];
    return any != 0;
}

}  // namespace

int32_t AutoMarkLength(const SessionState& s) { return RecordingRows(s); }

int32_t NoiseWindow(const SessionState& s) {
    return std::clamp(SampleOfTime(s, s.WindowTime), 0, AutoMarkLength(s));
}

void DetectSlowWaves(const SessionState& s, int first, int last, Detections* out) {
    first = std::max(first, 1);
    last = std::min(last, MaxChannels);
    if (last < first) return;
    const int n = last - first + 1;
    const int32_t length = AutoMarkLength(s);
    const int32_t window = NoiseWindow(s);
    // The passes go over whole groups of 16 neighbouring channels, a loop
    // of fixed length the compiler turns into vector instructions; a group
    // that would reach past channel 256 starts further left instead.
    const int width = std::min(MaxChannels, (n + Lanes - 1) / Lanes * Lanes);
    const int lo = std::min(first, MaxChannels - width + 1);
    const int offset = first - lo;
    auto rowOf = [&](int32_t r) { return s.Signals.row(r) + (lo - 1); };

    // The noise deviation: the "mean" divides the sum of samples 5..W by W,
    // and the squares run over samples 1..W; one sample gives no deviation.
    alignas(64) std::array<int64_t, MaxChannels> sums{};
    for (int32_t r = 5; r <= window; ++r) addRow(sums.data(), rowOf(r), width);
    alignas(64) std::array<double, MaxChannels> centre{}, squares{};
    for (int c = 0; c < width; ++c) centre[c] = window >= 5 ? static_cast<double>(sums[c]) / window : 0.0;
    for (int32_t r = 1; r <= window; ++r) {
        const int32_t* row = rowOf(r);
        for (int g = 0; g < width; g += Lanes) {
            for (int c = g; c < g + Lanes; ++c) {
                const double d = row[c] - centre[c];
                squares[c] += d * d;
            }
        }
    }

    // The mean the scan compares with: from the row of BeginTime + 5 rows to
    // the end, and at least the last row when the begin time lies beyond it.
    const auto meanFirst =
        static_cast<int32_t>(std::clamp<int64_t>(int64_t{SampleOfTime(s, s.BeginTime)} + 5, 1, std::max(length, 1)));
    std::fill(sums.begin(), sums.end(), 0);
    for (int32_t r = meanFirst; r <= length; ++r) addRow(sums.data(), rowOf(r), width);
    const int32_t meanCount = length - meanFirst + 1;

    // The integer bound of each channel: a sample qualifies when below it.
    // Channels of the group that were not asked for never qualify.
    alignas(64) std::array<int32_t, MaxChannels> bound{};
    bound.fill(std::numeric_limits<int32_t>::min());
    for (int c = 0; c < n; ++c) {
        const int k = offset + c;
        Detections& d = out[c];
        d = Detections{};
        d.noiseSD = window >= 2 ? std::sqrt(squares[k] / (window - 1)) : 0.0;
        d.mean = meanCount > 0 ? static_cast<double>(sums[k]) / meanCount : 0.0;
        d.threshold = roundHalfEven(3.0 * d.noiseSD);
        // Without noise there is no threshold to speak of: a flat start
        // would otherwise make every dip below the mean a slow wave.
        d.below = d.noiseSD > 0.0 ? firstNotBelow(d.mean, d.threshold) : std::numeric_limits<int64_t>::min();
        bound[k] = static_cast<int32_t>(std::clamp<int64_t>(d.below, std::numeric_limits<int32_t>::min(),
                                                            std::numeric_limits<int32_t>::max()));
    }

    // The scan: after a mark the channel rests for 1000 samples, whatever
    // the signal does meanwhile. A resting channel's bound is the lowest
    // value, which nothing is below, so that most rows are one quick test.
    alignas(64) std::array<int32_t, MaxChannels> live = bound;
    std::array<int32_t, MaxChannels> restUntil{};
    int32_t nextWake = std::numeric_limits<int32_t>::max();
    for (int32_t r = 5; r <= length; ++r) {
        if (r > nextWake) {
            nextWake = std::numeric_limits<int32_t>::max();
            for (int c = 0; c < width; ++c) {
                if (live[c] != bound[c] && r > restUntil[c]) live[c] = bound[c];
                if (live[c] != bound[c]) nextWake = std::min(nextWake, restUntil[c]);
            }
        }
        const int32_t* row = rowOf(r);
        if (!anyBelowInRow(row, live.data(), width)) continue;
        for (int g = 0; g < width; g += Lanes) {
            if (!anyBelow(row + g, live.data() + g)) continue;
            for (int c = g; c < g + Lanes; ++c) {
                if (row[c] >= live[c]) continue;
                Detections& d = out[c - offset];
                if (d.count < MaxDetections) d.samples[static_cast<size_t>(d.count++)] = r;
                restUntil[c] = r + RefractorySamples;
                live[c] = std::numeric_limits<int32_t>::min();
                nextWake = std::min(nextWake, restUntil[c]);
            }
        }
    }
}

std::string NoiseLine(const SessionState& s, int electrode, double noiseSD) {
    return "elesub=" + std::to_string(electrode) + " Stdev= " + FormatNumber(noiseSD, 2, s.Locale);
}

Detections ExamineElectrode(SessionState& s, int electrode) {
    Detections d;
    DetectSlowWaves(s, electrode, electrode, &d);
    s.NoiseSD = d.noiseSD;
    s.Memo1.push_back(NoiseLine(s, electrode, d.noiseSD));
    return d;
}

int AutoMarkLastElectrodeOf(const SessionState& s) {
    if (s.NrChannelsInFile >= 1 && s.NrChannelsInFile < AutoMarkLastElectrode) return s.NrChannelsInFile;
    return AutoMarkLastElectrode;
}

int AutoMarkSlowWaves(Ctx& ctx) {
    SessionState& s = ctx.s;
    Host& host = ctx.host;
    const int first = AutoMarkFirstElectrode;
    const int last = AutoMarkLastElectrodeOf(s);
    const int electrodes = std::max(0, last - first + 1);
    const std::string caption = " auto marking SW in ele nr = ";
    host.showProgress(caption + std::to_string(first), namePart(s.FileName), namePart(s.MatrixFileName), electrodes);
    host.processMessages();
    // All electrodes in one sweep over the recording (a sample row holds
    // every channel); the marks are then added electrode by electrode, in
    // time order, as the user follows them on the progress panel.
    std::vector<Detections> found(static_cast<size_t>(electrodes));
    DetectSlowWaves(s, first, last, found.data());
    s.MarkOrigin = AutomaticOrigin;
    const int32_t before = s.MarkCount;
    for (int e = first; e <= last; ++e) {
        host.setProgressCaption(caption + std::to_string(e));
        host.stepProgress();
        host.processMessages();
        const Detections& d = found[static_cast<size_t>(e - first)];
        s.NoiseSD = d.noiseSD;
        s.Memo1.push_back(NoiseLine(s, e, d.noiseSD));
        for (int i = 0; i < d.count; ++i) {
            s.CurrentElectrode = e;
            AddMarkRecord(s, TimeOfSample(s, d.samples[static_cast<size_t>(i)]),
                          static_cast<int16_t>(s.CurrentMarkType[1]), static_cast<int16_t>(s.CurrentMarkNr));
        }
    }
    host.hideProgress();
    return s.MarkCount - before;
}

void AutomaticSWmarking1Click(Ctx& ctx) {
    // A text import of 16 channels or fewer has nothing the marker scans:
    // say so rather than finish without a mark.
    if (AutoMarkLastElectrodeOf(ctx.s) < AutoMarkFirstElectrode) {
        ctx.host.information(AutoMarkNoElectrodesText);
        return;
    }
    {
        // The window of the traces shown (panel A's, whose analysis view
        // previews the marker), whichever panel was drawn last.
        const ElectrogramWindow window(ctx.s);
        AutoMarkSlowWaves(ctx);
    }
    UpdateDisplay(ctx);
}

}  // namespace vk
