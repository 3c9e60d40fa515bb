#include "cli/MapOptions.h"

#include "maps/MapBuffer.h"
#include "maps/Velocity.h"
#include "marks/Measures.h"

namespace vk::cli {

std::string cellField(const MapCell& c, int kind) {
    auto real = [](double v) { return v == Missing ? std::string() : fixed4(v); };
    switch (kind) {
        case CountMapKind: return std::to_string(c.Count);
        case ElectrodeMapKind: return orEmpty(c.Electrode);
        case IntervalMapKind: return orEmpty(c.Interval);
        case AmplitudeMapKind: return real(c.Amplitude);
        case SlopeMapKind: return real(c.Slope);
        case VelocityMapKind: return real(c.Velocity);
        case MarkNrMapKind: return orEmpty(c.MarkNr > 0 ? c.MarkNr : c.Time);
        default: return orEmpty(c.Time);
    }
}

// Panel A as a map of the window --begin/--window: the per-draw copies the
// map load reads. The electrogram window (the interval map's) is the same.
void setMapWindow(SessionState& s, int begin, int window, int kind) {
    requireMatrix(s);
    s.BeginTimeA = s.BeginTime = begin;
    s.WindowA = s.WindowTime = window;
    s.MapKindA = kind;
    s.ActiveDisplay = 1;
    SetMapWindowOfPanel(s, 1);
}

void prepareMapKind(SessionState& s, int kind) {
    if (kind == AmplitudeMapKind || kind == SlopeMapKind) MeasureAllMarks(s);
    if (kind == VelocityMapKind) {
        LoadMap(s, s.CurrentMarkType[1]);
        CalcVelocities(s);
    }
    s.MapKind = s.MapKindA = kind;
}

}  // namespace vk::cli
