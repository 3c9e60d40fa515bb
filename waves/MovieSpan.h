// The time window the Animate window opens over: panel A's, or in wave
// mode 1 with panel A showing a wave, that wave's span.
#pragma once

#include <cstdint>

#include "session/SessionState.h"

namespace vk {

struct MovieSpan {
    int32_t begin = 0;
    int32_t window = 0;
};

// From the wave's earliest to its latest time at any placed electrode
// (absolute ms); panel A's begin and window when there is no such wave.
MovieSpan MovieSpanOfPanelA(const SessionState& s);

}  // namespace vk
