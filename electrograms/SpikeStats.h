// Interval statistics of the electrogram display: for every trace, the
// intervals between consecutive marks of its electrode inside the displayed
// window (how many, mean, deviation, minimum, maximum, range), as a table in
// the statistics memo of the electrogram tools window, which can be saved
// as tab-separated text.
#pragma once

#include <string>
#include <vector>

#include "session/Context.h"

namespace vk {

// At most this many mark times of one electrode are collected in one run.
inline constexpr int MaxStatsMarks = 1000;

inline constexpr const char* SpikeStatsHeader =
    " Ele:    Nr:     Avg:      StDev:       Min:      Max:      Range:  ";

// Resets EleStats and appends the header and one line per trace row to
// StatsMemo, for the marks (any type) in BeginTime..BeginTime+WindowTime.
// Rows that show no electrode get no line.
void CalcSpikeStats(SessionState& s);

// Electrograms > "Spike Stats" (F10): the statistics of the window of the
// panel that shows electrograms, in the electrogram tools window.
void SpikeStats1Click(Ctx& ctx);

// The lines of the "save as text" file: the recording's path, the header,
// then a row per electrode with a result.
std::vector<std::string> SpikeStatsFileLines(const SessionState& s);
// Writes them to `path` (CR LF line ends); throws IoError, also when `path`
// is one of the open recording's files.
void SaveSpikeStats(const SessionState& s, const std::string& path);

}  // namespace vk
