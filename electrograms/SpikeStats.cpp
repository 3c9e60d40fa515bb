#include "electrograms/SpikeStats.h"

#include <algorithm>
#include <cmath>

#include "electrograms/TraceDisplay.h"
#include "session/ElectrogramWindow.h"
#include "session/Format.h"
#include "session/RecordingFiles.h"

namespace vk {

namespace {

// The intervals between the sorted times: count, mean, deviation (over
// count - 1; 0 for a single interval), extremes and range.
SessionState::EleStatRecord intervalStats(int e, std::vector<int32_t>& times) {
    std::stable_sort(times.begin(), times.end());
    SessionState::EleStatRecord r;
    std::vector<double> intervals;
    for (size_t i = 0; i + 1 < times.size(); ++i) intervals.push_back(static_cast<double>(times[i + 1]) - times[i]);
    const auto [low, high] = std::minmax_element(intervals.begin(), intervals.end());
    const MeanDeviation spread = MeanAndDeviation(intervals, true);
    r.Electrode = e;
    r.Nr = static_cast<double>(intervals.size());
    r.Avg = spread.mean;
    r.StDev = spread.deviation;
    r.Min = *low;
    r.Max = *high;
    r.Range = *high - *low;
    return r;
}

std::string rounded(double v) { return std::to_string(roundHalfEven(v)); }

}  // namespace

void CalcSpikeStats(SessionState& s) {
    s.StatsMemo.push_back(SpikeStatsHeader);
    for (auto& r : s.EleStats) r = SessionState::EleStatRecord{};
    const int64_t low = s.BeginTime, high = int64_t{s.BeginTime} + s.WindowTime;
    std::vector<int32_t> times;
    times.reserve(MaxStatsMarks);
    for (int k = 1; k <= s.NrTraces; ++k) {
        const int32_t e = ElectrodeOfRow(s, k);
        if (e == Missing) continue;
        times.clear();
        for (int i = 1; i <= s.MarkCount && static_cast<int>(times.size()) < MaxStatsMarks; ++i) {
            const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
            if (m.Electrode == e && m.Time >= low && m.Time <= high) times.push_back(m.Time);
        }
        std::string line = std::to_string(e);
        if (times.size() > 1) {
            const SessionState::EleStatRecord r = intervalStats(e, times);
            s.EleStats[static_cast<size_t>(e)] = r;
            auto number = [&](double v) { return "    " + FormatNumber(v, 1, s.Locale); };
            line += "      " + rounded(r.Nr) + number(r.Avg) + number(r.StDev) + number(r.Min) + number(r.Max) +
                    "    " + rounded(r.Range);
        } else {
            line += std::string(1 + 1 + 2 + 3 + 4 + 4, ' ');
        }
        s.StatsMemo.push_back(line);
    }
}

void SpikeStats1Click(Ctx& ctx) {
    {
        const ElectrogramWindow window(ctx.s);
        CalcSpikeStats(ctx.s);
    }
    ctx.s.StatsMemoRequested = true;
    ctx.host.displayUpdated();
}

std::vector<std::string> SpikeStatsFileLines(const SessionState& s) {
    std::vector<std::string> lines{s.FileName, "EleNr\tNr\tAvg\tStDev\tMin\tMax\tRange"};
    for (int e = 1; e <= MaxChannels; ++e) {
        const SessionState::EleStatRecord& r = s.EleStats[static_cast<size_t>(e)];
        if (r.Electrode == Missing) continue;
        lines.push_back(std::to_string(e) + "\t" + rounded(r.Nr) + "\t" + FormatNumber(r.Avg, 1, s.Locale) + "\t" +
                        FormatNumber(r.StDev, 1, s.Locale) + "\t" + rounded(r.Min) + "\t" + rounded(r.Max) + "\t" +
                        rounded(r.Range));
    }
    return lines;
}

void SaveSpikeStats(const SessionState& s, const std::string& path) { writeExportLines(s, path, SpikeStatsFileLines(s)); }

}  // namespace vk
