#include "electrograms/ConnectionArrows.h"

#include <algorithm>

#include "maps/Velocity.h"
#include "marks/Connections.h"
#include "session/Draw.h"

namespace vk {

namespace {

constexpr Colour Magenta = 0x00FF00FF;

int xOfTime(const SessionState& s, const TraceGeometry& g, int32_t t) {
    const double sample = t * static_cast<double>(std::max(1, s.SamplingFrequency)) / 1000.0;
    return clampPixel(roundHalfEven((sample - g.firstSample) * g.pixelsPerSample) + g.left);
}

}  // namespace

void DrawConnectionsOfRow(Ctx& ctx, const TraceGeometry& g, int k, int32_t e, const std::vector<int32_t>& electrodes) {
    SessionState& s = ctx.s;
    bool any = false;
    for (int i = 1; i <= s.ConnCount; ++i) {
        const Connection& c = s.Connections[static_cast<size_t>(i)];
        if (c.Electrode1 != e || !IsLiveConnection(c)) continue;
        if (!any) {
            SetPenWidth(ctx, 1);
            SetPenColor(ctx, Magenta);
            any = true;
        }
        const int64_t row2 = ConnectionSecondRow(k, e, c.Electrode2, electrodes);
        auto centre = [&](int64_t row) { return clampPixel(row * g.traceSpacing + g.top - g.traceSpacing / 2); };
        Point from{xOfTime(s, g, c.Time1), centre(k)};
        Point to{xOfTime(s, g, c.Time2), centre(row2)};
        if (c.Direction == -1) std::swap(from, to);
        Line(ctx, from.x, from.y, to.x, to.y);
        Point p1, p2;
        if (ArrowHead(from, to, static_cast<int>(roundHalfEven(g.traceSpacing / 4.0)), p1, p2)) {
            Line(ctx, to.x, to.y, p1.x, p1.y);
            Line(ctx, to.x, to.y, p2.x, p2.y);
        }
    }
    if (!any) return;
    SetPenColor(ctx, clBlack);
    SetBrushColor(ctx, clWhite);
    SetPenWidth(ctx, 1);
}

}  // namespace vk
