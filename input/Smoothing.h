// The 20-sample moving average that reduces the high-frequency noise of the
// electrograms: y[s] = round((x[s+1] + ... + x[s+20]) / 20), halves to even.
// The output leads the input by 10.5 samples; the program does not shift it
// back, so that times read from smoothed and stored signals stay comparable.
#pragma once

#include <cstdint>
#include <vector>

#include "session/SessionState.h"

namespace vk {

// Smooths rows 1 .. length - 20 of one channel of Signals in place; the last
// 20 samples keep their values, and a channel of 20 samples or fewer is left
// as it is. work is scratch space, grown to the channel's length when needed.
void SmoothChannelInPlace(SignalBuffer& buffer, int channel, int length, std::vector<int32_t>& work);

}  // namespace vk
