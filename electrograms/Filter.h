// Zero-phase band-pass filtering of one channel: second-order Butterworth
// sections (a high-pass and a low-pass), run forward and then backward so
// that no feature of the signal moves in time, whatever the band.
#pragma once

#include <cstddef>
#include <vector>

namespace vk {

// One second-order section: y = b0 x + b1 x[-1] + b2 x[-2] - a1 y[-1] - a2 y[-2].
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

// Butterworth sections (bilinear transform, cut-off prewarped) at cutoffHz
// for a signal sampled at rateHz; the cut-off must lie in (0, rateHz / 2).
Biquad ButterworthLowPass(double cutoffHz, double rateHz);
Biquad ButterworthHighPass(double cutoffHz, double rateHz);

// The two sections of the band lowHz..highHz: a high-pass at lowHz, then a
// low-pass at highHz.
std::vector<Biquad> BandPassSections(double lowHz, double highHz, double rateHz);

// Runs the sections over x in place, forward only (for measuring a rhythm,
// where a delay does not matter). Each section starts in the state it would
// have after a long run of x[0].
void FilterForward(std::vector<double>& x, const std::vector<Biquad>& sections);

// Forward and backward (the squared magnitude, no phase). The ends are
// extended by `pad` samples mirrored through the end value, so that the
// filter settles before the signal begins; pad is limited to n - 1.
void FilterZeroPhase(std::vector<double>& x, const std::vector<Biquad>& sections, std::size_t pad);

}  // namespace vk
