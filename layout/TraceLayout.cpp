#include "layout/TraceLayout.h"

#include <algorithm>

#include "session/Draw.h"
#include "session/SampleTime.h"

namespace vk {

int32_t TraceGeometry::rowTop(int k) const { return static_cast<int32_t>(roundHalfEven(rowCentre(k) - traceSpacing / 2.0)); }
int32_t TraceGeometry::rowBottom(int k) const {
    return static_cast<int32_t>(roundHalfEven(rowCentre(k) + traceSpacing / 2.0));
}

TraceGeometry ComputeGeometry(const SessionState& s, int32_t beginTime, int32_t windowTime) {
    TraceGeometry g;
    g.width = s.PanelAWidth - 70;
    g.height = s.PanelAHeight - 50;
    g.traceSpacing = s.NrTraces < 1 ? 100 : g.height / s.NrTraces;
    const int32_t window = std::max(1, windowTime);
    const int32_t f = std::max(1, s.SamplingFrequency);
    // Samples that exist: never past what this recording loaded.
    g.firstSample = SampleOfTime(s, beginTime);
    g.lastSample = static_cast<int32_t>(std::min<int64_t>(SampleOfTime(s, int64_t{beginTime} + window), RecordingRows(s)));
    g.pixelsPerSample = static_cast<double>(g.width) / window / f * 1000.0;
    return g;
}

TraceGeometry GeometryOfPanel(const SessionState& s, int panel) {
    return panel == 2 ? ComputeGeometry(s, s.BeginTimeB, s.WindowB) : ComputeGeometry(s, s.BeginTimeA, s.WindowA);
}

int32_t ElectrodeOfRow(const SessionState& s, int k) {
    int64_t e = Missing;
    auto grid = [&](int64_t column, int64_t row) -> int64_t {
        if (column < 1 || column > MaxGrid || row < 1 || row > MaxGrid) return Missing;
        return s.MatrixGrid[static_cast<size_t>(column)][static_cast<size_t>(row)];
    };
    switch (s.TraceOrder) {
        case 1: e = grid(int64_t{s.StartCol} + k - 1, s.StartRow); break;
        case 2: e = grid(s.StartCol, int64_t{s.StartRow} + k - 1); break;
        case 0: e = int64_t{s.FirstChannel} + k - 1; break;
        case 3: e = (k >= 1 && k <= MaxChannels) ? s.FreeTraceList[static_cast<size_t>(k)] : Missing; break;
        case 6: e = int64_t{s.FirstChannel} - k + 1; break;
        default: e = Missing; break;
    }
    return (e >= 1 && e <= MaxChannels) ? static_cast<int32_t>(e) : Missing;
}

void MoveStartCell(Ctx& ctx, NavKey key) {
    SessionState& s = ctx.s;
    int32_t c = s.StartCol, r = s.StartRow;
    switch (key) {
        case NavKey::Up: --r; break;
        case NavKey::Down: ++r; break;
        case NavKey::Right: ++c; break;
        case NavKey::Left: --c; break;
        default: break;
    }
    if (c < 1 || c > s.NrColumns || r < 1 || r > s.NrRows) {
        ctx.host.beep();
        return;
    }
    s.StartCol = c;
    s.StartRow = r;
    s.FirstChannel = Missing;
    for (int e = 1; e <= MaxChannels; ++e) {
        if (s.ElectrodeCol[static_cast<size_t>(e)] == c && s.ElectrodeRow[static_cast<size_t>(e)] == r) {
            s.FirstChannel = e;
            break;
        }
    }
    if (key == NavKey::PageUp) s.FirstChannel = s.FirstChannel - s.NrTraces + 1;
    if (key == NavKey::PageDown) s.FirstChannel = s.FirstChannel + s.NrTraces - 1;
    if (s.FirstChannel < 1) s.FirstChannel = 1;
    if (s.FirstChannel + s.NrTraces > MaxChannels) s.FirstChannel = MaxChannels - s.NrTraces;
    UpdateDisplay(ctx);
}

void ChooseTraceOrder(Ctx& ctx, int panel, int item) {
    SessionState& s = ctx.s;
    (panel == 2 ? s.TraceOrderItemB : s.TraceOrderItemA) = item;
    s.BipolarMode = false;
    switch (item) {
        case 0: s.TraceOrder = 1; break;
        case 1: s.TraceOrder = 2; break;
        case 2: s.TraceOrder = 0; break;
        case 3:
            s.TraceOrder = 3;
            s.FreeTraceList.fill(Missing);
            s.FreeTraceCount = 0;
            break;
        case 4: s.BipolarMode = true; break;
        case 5: s.TraceOrder = 6; break;
        default: break;
    }
    UpdateDisplay(ctx);
}

void ToggleFreeTrace(SessionState& s, int32_t electrode) {
    auto& list = s.FreeTraceList;
    const auto count = static_cast<size_t>(std::clamp(s.FreeTraceCount, 0, MaxChannels));
    const auto begin = list.begin() + 1, end = list.begin() + 1 + static_cast<std::ptrdiff_t>(count);
    const auto found = std::find(begin, end, electrode);
    if (found != end) {
        std::copy(found + 1, end, found);
        list[count] = Missing;
        s.FreeTraceCount -= 1;
        return;
    }
    const int capacity = std::clamp(s.NrTraces, 1, MaxChannels);
    if (s.FreeTraceCount < capacity) {
        s.FreeTraceCount += 1;
        list[static_cast<size_t>(s.FreeTraceCount)] = electrode;
        return;
    }
    // Full: the first entry makes room.
    std::copy(begin + 1, end, begin);
    list[count] = electrode;
}

}  // namespace vk
