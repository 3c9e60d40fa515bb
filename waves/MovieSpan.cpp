#include "waves/MovieSpan.h"

#include <algorithm>
#include <limits>

#include "maps/MapBuffer.h"
#include "waves/WaveDetection.h"

namespace vk {

MovieSpan MovieSpanOfPanelA(const SessionState& s) {
    const MovieSpan panel{s.BeginTimeA, s.WindowA};
    // The waves as panel A drew them last; outdated waves are not recalculated here.
    if (s.DisplayTypeA != 2 || s.WaveMode != 1 || s.WavesOutdated) return panel;
    int64_t first = std::numeric_limits<int64_t>::max(), last = std::numeric_limits<int64_t>::min();
    for (int e = 1; e <= MaxChannels; ++e) {
        if (!IsPlaced(s, e)) continue;
        const int32_t t = WaveTimeAt(s, e, s.WaveNrA);
        if (t == Missing) continue;
        // Wave times are kept relative to RefTime.
        first = std::min(first, int64_t{t} + s.RefTime);
        last = std::max(last, int64_t{t} + s.RefTime);
    }
    if (first > last || first < 0 || last > std::numeric_limits<int32_t>::max()) return panel;
    return {static_cast<int32_t>(first), static_cast<int32_t>(std::max<int64_t>(1, last - first))};
}

}  // namespace vk
