#include "electrograms/Filter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vk {

namespace {

// Second-order Butterworth: Q = 1 / sqrt(2).
constexpr double ButterworthQ = std::numbers::sqrt2 / 2;

// The state a transposed direct form II section reaches after a long run
// of the value v: its output then is the section's gain at 0 Hz times v.
void settle(const Biquad& f, double v, double& z1, double& z2) {
    const double out = (f.b0 + f.b1 + f.b2) / (1 + f.a1 + f.a2) * v;
    z2 = f.b2 * v - f.a2 * out;
    z1 = f.b1 * v - f.a1 * out + z2;
}

void runSection(double* x, std::size_t n, const Biquad& f) {
    if (n == 0) return;
    double z1 = 0, z2 = 0;
    settle(f, x[0], z1, z2);
    for (std::size_t i = 0; i < n; ++i) {
        const double in = x[i];
        const double out = f.b0 * in + z1;
        z1 = f.b1 * in - f.a1 * out + z2;
        z2 = f.b2 * in - f.a2 * out;
        x[i] = out;
    }
}

}  // namespace

Biquad ButterworthLowPass(double cutoffHz, double rateHz) {
    const double k = std::tan(std::numbers::pi * cutoffHz / rateHz);
    const double norm = 1 / (1 + k / ButterworthQ + k * k);
    Biquad f;
    f.b0 = k * k * norm;
    f.b1 = 2 * f.b0;
    f.b2 = f.b0;
    f.a1 = 2 * (k * k - 1) * norm;
    f.a2 = (1 - k / ButterworthQ + k * k) * norm;
    return f;
}

Biquad ButterworthHighPass(double cutoffHz, double rateHz) {
    const double k = std::tan(std::numbers::pi * cutoffHz / rateHz);
    const double norm = 1 / (1 + k / ButterworthQ + k * k);
    Biquad f;
    f.b0 = norm;
    f.b1 = -2 * norm;
    f.b2 = norm;
    f.a1 = 2 * (k * k - 1) * norm;
    f.a2 = (1 - k / ButterworthQ + k * k) * norm;
    return f;
}

std::vector<Biquad> BandPassSections(double lowHz, double highHz, double rateHz) {
    return {ButterworthHighPass(lowHz, rateHz), ButterworthLowPass(highHz, rateHz)};
}

void FilterForward(std::vector<double>& x, const std::vector<Biquad>& sections) {
    for (const Biquad& f : sections) runSection(x.data(), x.size(), f);
}

void FilterZeroPhase(std::vector<double>& x, const std::vector<Biquad>& sections, std::size_t pad) {
    const std::size_t n = x.size();
    if (n < 2) return;
    pad = std::min(pad, n - 1);
    // Mirrored through the end values: the extension continues the
    // signal's level and slope, so the filter sees no step at either end.
    std::vector<double> y(n + 2 * pad);
    for (std::size_t i = 0; i < pad; ++i) {
        y[i] = 2 * x[0] - x[pad - i];
        y[pad + n + i] = 2 * x[n - 1] - x[n - 2 - i];
    }
    std::copy(x.begin(), x.end(), y.begin() + static_cast<std::ptrdiff_t>(pad));
    for (const Biquad& f : sections) runSection(y.data(), y.size(), f);
    std::reverse(y.begin(), y.end());
    for (const Biquad& f : sections) runSection(y.data(), y.size(), f);
    std::reverse(y.begin(), y.end());
    std::copy(y.begin() + static_cast<std::ptrdiff_t>(pad), y.begin() + static_cast<std::ptrdiff_t>(pad + n), x.begin());
}

}  // namespace vk
