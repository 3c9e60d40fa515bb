#include "maps/MapStatistics.h"

#include <algorithm>
#include <cmath>

#include "maps/MapBuffer.h"
#include "session/Format.h"

namespace vk {

namespace {

// The slots of the statistics: what the list holds.
enum Slot { Times = 1, AmplitudesOrVelocities = 2, Slopes = 3, VelocityCells = 4 };

const char* heading(int mapKind) {
    switch (mapKind) {
        case TimeMapKind: return "Times";
        case CountMapKind: return "Count Map";
        case ElectrodeMapKind: return "Electrodes";
        case IntervalMapKind: return "Intervals";
        case AmplitudeMapKind: return "Amplitudes";
        case SlopeMapKind: return "Slopes";
        default: return nullptr;
    }
}

// Every value of the slot's field over the matrix that is not Missing.
void fillHistoBuf(const SessionState& s, int slot, std::vector<double>& values) {
    values.clear();
    const int columns = std::min(s.NrColumns, MapGridSize), rows = std::min(s.NrRows, MapGridSize);
    for (int column = 1; column <= columns; ++column)
        for (int row = 1; row <= rows; ++row) {
            const MapCell& c = s.MapBuf.at(column, row);
            const double v = slot == Times ? c.Time : slot == Slopes ? c.Slope : slot == VelocityCells ? c.Velocity : c.Amplitude;
            // A crossed-out cell holds no value.
            if (v != Missing && !(slot == Times && c.Time == Excluded)) values.push_back(v);
        }
}

void fillCondVel(const SessionState& s, std::vector<double>& values) {
    values.clear();
    const int columns = std::min(s.NrColumns, MapGridSize), rows = std::min(s.NrRows, MapGridSize);
    for (int column = 1; column <= columns; ++column)
        for (int row = 1; row <= rows; ++row) {
            const double v = s.VelocityBuf.at(column, row).Speed;
            if (v != Missing) values.push_back(v);
        }
}

}  // namespace

BasicStats CalcStats(const std::vector<double>& values) {
    BasicStats b;
    if (values.empty()) return b;
    // From the first value: any fixed start would stand in for every value beyond it.
    b.Min = b.Max = values.front();
    for (double v : values) {
        if (v < b.Min) b.Min = v;
        if (v > b.Max) b.Max = v;
    }
    const MeanDeviation spread = MeanAndDeviation(values, false);
    b.N = static_cast<int32_t>(values.size());
    b.Avg = spread.mean;
    b.SD = spread.deviation;
    return b;
}

void CalcMapStats(SessionState& s) {
    std::vector<std::string>& memo = s.StatsMemo;
    memo.clear();
    memo.push_back(" ");
    int slot = s.MapKind == AmplitudeMapKind ? AmplitudesOrVelocities : s.MapKind == SlopeMapKind ? Slopes : Times;
    if (const char* h = heading(s.MapKind)) memo.push_back(h);
    std::vector<double> values;
    if (s.MapKind == VelocityMapKind) {
        // The velocity map shows the speeds in its cells: those are its numbers.
        fillHistoBuf(s, VelocityCells, values);
        memo.push_back("Velocities");
    } else {
        fillHistoBuf(s, slot, values);
    }
    if (s.PlotArrows && s.MapKind != VelocityMapKind) {
        // The velocities take the place of the map's own numbers.
        fillCondVel(s, values);
        memo.push_back("Velocities");
    }
    if (values.empty()) return;
    const BasicStats b = CalcStats(values);
    auto number = [&](double v) { return FormatNumber(v, 2, s.Locale, 9); };
    memo.push_back(" ");
    memo.push_back("N = " + std::to_string(b.N));
    memo.push_back("Avg = " + number(b.Avg));
    memo.push_back("SD = " + number(b.SD));
    memo.push_back("Max= " + number(b.Max));
    memo.push_back("Min= " + number(b.Min));
}

void ShowMapStatistics1Click(Ctx& ctx) {
    ctx.s.ShowMapStatistics = true;
    CalcMapStats(ctx.s);
    ctx.s.StatsMemoRequested = true;
    ctx.host.displayUpdated();
}

}  // namespace vk
