// Power spectra of one channel, for finding a recording's rhythm: Welch's
// method (averaged periodograms of overlapping, windowed segments) and the
// frequency of its highest peak inside a range.
#pragma once

#include <cstddef>
#include <vector>

namespace vk {

struct Spectrum {
    double binHz = 0;            // frequency step between bins
    std::vector<double> power;   // power[k] belongs to k * binHz, k = 0 .. fftLength / 2
};

// Welch's estimate of x (n samples at rateHz). Segments of `segment` samples
// (the whole signal when it is shorter) start every segment / 2 samples;
// each has its own mean removed and a Hann window applied, is zero-padded
// to `fftLength` samples (0: no padding) and its periodogram is added; the
// result is the average. The same input always gives the same bins.
Spectrum WelchSpectrum(const double* x, std::size_t n, double rateHz, std::size_t segment, std::size_t fftLength = 0);

// The frequency (Hz) of the highest local maximum (a bin above both its
// neighbours) whose bin lies in lowHz..highHz, refined by a parabola
// through it and its neighbours. NaN when the range holds no such peak
// (a flat channel, or power that only rises or falls across the range);
// bins below 1e-12 of the spectrum's largest count as zero.
double PeakFrequency(const Spectrum& s, double lowHz, double highHz);

// The autocorrelation of x with its mean removed, at lags 0 .. n - 1: the
// inverse transform of its power spectrum, zero-padded so that no lag wraps
// around. r[k] is the sum of x[i] x[i + k]; empty when n < 2.
std::vector<double> Autocorrelation(const double* x, std::size_t n);

}  // namespace vk
