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

// All sections in one sweep, sample by sample: each section's recursion
// waits on its own previous output only, so the sections overlap in time.
// The arithmetic is that of running them one after another.
void runSections(double* x, std::size_t n, const std::vector<Biquad>& sections) {
    if (n == 0) return;
    constexpr std::size_t MaxSections = 4;
    if (sections.size() > MaxSections) {
        for (std::size_t first = 0; first < sections.size(); first += MaxSections) {
            const std::vector<Biquad> part(sections.begin() + static_cast<std::ptrdiff_t>(first),
                                           sections.begin() + static_cast<std::ptrdiff_t>(std::min(sections.size(), first + MaxSections)));
            runSections(x, n, part);
        }
        return;
    }
    const std::size_t m = sections.size();
    double z1[MaxSections] = {}, z2[MaxSections] = {};
    double start = x[0];
    for (std::size_t k = 0; k < m; ++k) {
        settle(sections[k], start, z1[k], z2[k]);
        const Biquad& f = sections[k];
        start = (f.b0 + f.b1 + f.b2) / (1 + f.a1 + f.a2) * start;
    }
    for (std::size_t i = 0; i < n; ++i) {
        double in = x[i];
        for (std::size_t k = 0; k < m; ++k) {
            const Biquad& f = sections[k];
            const double out = f.b0 * in + z1[k];
            z1[k] = f.b1 * in - f.a1 * out + z2[k];
            z2[k] = f.b2 * in - f.a2 * out;
            in = out;
        }
        x[i] = in;
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
    runSections(x.data(), x.size(), sections);
}

void FilterZeroPhase(std::vector<double>& x, const std::vector<Biquad>& sections, std::size_t pad) {
    const std::size_t n = x.size();
    if (n < 2) return;
    pad = std::min(pad, n - 1);
    // Mirrored through the end values: the extension continues the
    // signal's level and slope, so the filter sees no step at either end.
    // Kept per thread: a fresh buffer per channel costs more in zeroed
    // memory pages than the filtering itself.
    thread_local std::vector<double> y;
    y.resize(n + 2 * pad);
    for (std::size_t i = 0; i < pad; ++i) {
        y[i] = 2 * x[0] - x[pad - i];
        y[pad + n + i] = 2 * x[n - 1] - x[n - 2 - i];
    }
    std::copy(x.begin(), x.end(), y.begin() + static_cast<std::ptrdiff_t>(pad));
    runSections(y.data(), y.size(), sections);
    std::reverse(y.begin(), y.end());
    runSections(y.data(), y.size(), sections);
    std::reverse(y.begin(), y.end());
    std::copy(y.begin() + static_cast<std::ptrdiff_t>(pad), y.begin() + static_cast<std::ptrdiff_t>(pad + n), x.begin());
}

}  // namespace vk
