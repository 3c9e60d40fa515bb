// Welch spectra and their peak: the rhythm finder that detection and study
// tables rely on.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "electrograms/Welch.h"

namespace vk {
namespace {

std::vector<double> sine(double hz, double rate, std::size_t n, double offset = 0) {
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i) x[i] = offset + std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / rate);
    return x;
}

TEST(Spectrum, PeakOfASineOnABinAtEveryRateAndOffset) {
    struct Case { double hz, rate; std::size_t segment, fft; double offset; };
    for (const Case c : {Case{0.25, 10, 200, 0, 0}, Case{0.5, 10, 200, 0, 20000}, Case{0.3333333333333333, 2000, 12000, 0, -5},
                         Case{3.0, 500, 1000, 4000, 0}}) {
        const auto x = sine(c.hz, c.rate, 6000 * static_cast<std::size_t>(c.rate / 10), c.offset);
        const Spectrum s = WelchSpectrum(x.data(), x.size(), c.rate, c.segment, c.fft);
        EXPECT_DOUBLE_EQ(s.binHz, c.rate / static_cast<double>(std::max(c.segment, c.fft)));
        // On a bin the peak is exact; between bins (zero-padded) within 1% of a bin.
        EXPECT_NEAR(PeakFrequency(s, 0.01, 4), c.hz, c.fft ? 0.01 * s.binHz : 1e-9) << c.rate;
    }
}

TEST(Spectrum, NoPeakForAFlatChannelOrARangeWithoutAMaximum) {
    const std::vector<double> flat(1000, 7.0);
    EXPECT_TRUE(std::isnan(PeakFrequency(WelchSpectrum(flat.data(), flat.size(), 10, 200), 0.01, 4)));
    const auto x = sine(0.5, 10, 1000);
    const Spectrum s = WelchSpectrum(x.data(), x.size(), 10, 200);
    EXPECT_TRUE(std::isnan(PeakFrequency(s, 0.6, 0.9)));  // only the flank of the 0.5 Hz peak
    EXPECT_TRUE(std::isnan(PeakFrequency(s, 0.9, 0.6)));
    // A signal shorter than a segment is taken whole.
    EXPECT_EQ(WelchSpectrum(x.data(), 100, 10, 200).power.size(), 51u);
}

}  // namespace
}  // namespace vk
