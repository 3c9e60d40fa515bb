#include "input/Smoothing.h"

#include <algorithm>

namespace vk {

void SmoothChannelInPlace(SignalBuffer& buffer, int channel, int length, std::vector<int32_t>& work) {
    length = std::min(length, MaxSamples);
    if (length <= 20 || channel < 1 || channel > MaxChannels) return;
    work.resize(static_cast<size_t>(length) + 1);
    for (int k = 1; k <= length; ++k) work[static_cast<size_t>(k)] = buffer.at(k, channel);
    int64_t sum = 0;
    for (int k = 2; k <= 21; ++k) sum += work[static_cast<size_t>(k)];
    for (int s = 1; s <= length - 20; ++s) {
        buffer.at(s, channel) = static_cast<int32_t>(roundHalfEvenDiv(sum, 20));
        if (s + 21 <= length) sum += work[static_cast<size_t>(s + 21)] - work[static_cast<size_t>(s + 1)];
    }
}

}  // namespace vk
