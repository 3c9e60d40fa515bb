// Summary numbers of the map on screen: count, mean, standard deviation,
// maximum and minimum of the cell values (times, amplitudes or slopes by
// map kind), and of the conduction velocities while arrows are shown. They
// are written as lines into the statistics memo of the electrogram tools
// window after every map and wave draw once the user has asked for them.
#pragma once

#include <string>
#include <vector>

#include "session/Context.h"

namespace vk {

struct BasicStats {
    int32_t N = 0;
    double Avg = 0.0, SD = 0.0, Max = 0.0, Min = 0.0;
};

// The statistics of a list of values. The search for the extremes starts at
// 33000 and -33000, so a minimum above 33000 reads 33000; the deviation is
// the population deviation (divided by N). An empty list gives N = 0.
BasicStats CalcStats(const std::vector<double>& values);

// Clears StatsMemo and writes the map statistics of the buffer into it: a
// heading by MapKind, then (with arrows on) "Velocities", then the numbers
// of the last list when it was not empty. The velocity map (kind 6) has the
// heading "Velocities" and the numbers of its cells.
void CalcMapStats(SessionState& s);

// Map > "Show Map Statistics": from now on every map and wave draw
// recomputes them; shows the electrogram tools window with them at once.
void ShowMapStatistics1Click(Ctx& ctx);

}  // namespace vk
