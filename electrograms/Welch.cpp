#include "electrograms/Welch.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>
#include <numbers>

namespace vk {

namespace {

// FFTW's planner is not thread-safe; executing a plan is. Recordings of a
// study are read on several threads, so plans are made one at a time.
std::mutex plannerLock;

struct RealTransform {
    std::size_t length;
    double* in;
    fftw_complex* out;
    fftw_plan plan;

    explicit RealTransform(std::size_t n) : length(n) {
        std::lock_guard<std::mutex> hold(plannerLock);
        in = fftw_alloc_real(n);
        out = fftw_alloc_complex(n / 2 + 1);
        // FFTW_ESTIMATE chooses the algorithm without timing, so the same
        // input gives the same bits on every run.
        plan = fftw_plan_dft_r2c_1d(static_cast<int>(n), in, out, FFTW_ESTIMATE);
    }
    ~RealTransform() {
        std::lock_guard<std::mutex> hold(plannerLock);
        fftw_destroy_plan(plan);
        fftw_free(in);
        fftw_free(out);
    }
    RealTransform(const RealTransform&) = delete;
    RealTransform& operator=(const RealTransform&) = delete;
};

}  // namespace

Spectrum WelchSpectrum(const double* x, std::size_t n, double rateHz, std::size_t segment, std::size_t fftLength) {
    Spectrum result;
    if (n < 2 || rateHz <= 0) return result;
    segment = std::clamp<std::size_t>(segment, 2, n);
    const std::size_t length = std::max(fftLength, segment);
    result.binHz = rateHz / static_cast<double>(length);
    result.power.assign(length / 2 + 1, 0.0);

    std::vector<double> window(segment);
    for (std::size_t i = 0; i < segment; ++i)
        window[i] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(segment));

    RealTransform fft(length);
    const std::size_t step = std::max<std::size_t>(segment / 2, 1);
    std::size_t segments = 0;
    for (std::size_t start = 0; start + segment <= n; start += step) {
        double mean = 0;
        for (std::size_t i = 0; i < segment; ++i) mean += x[start + i];
        mean /= static_cast<double>(segment);
        for (std::size_t i = 0; i < segment; ++i) fft.in[i] = (x[start + i] - mean) * window[i];
        std::fill(fft.in + segment, fft.in + length, 0.0);
        fftw_execute(fft.plan);
        for (std::size_t k = 0; k < result.power.size(); ++k)
            result.power[k] += fft.out[k][0] * fft.out[k][0] + fft.out[k][1] * fft.out[k][1];
        ++segments;
    }
    for (double& p : result.power) p /= static_cast<double>(segments);
    return result;
}

std::vector<double> Autocorrelation(const double* x, std::size_t n) {
    if (n < 2) return {};
    std::size_t length = 1;
    while (length < 2 * n) length <<= 1;
    double mean = 0;
    for (std::size_t i = 0; i < n; ++i) mean += x[i];
    mean /= static_cast<double>(n);
    double* data = nullptr;
    fftw_complex* bins = nullptr;
    fftw_plan forward = nullptr, backward = nullptr;
    {
        std::lock_guard<std::mutex> hold(plannerLock);
        data = fftw_alloc_real(length);
        bins = fftw_alloc_complex(length / 2 + 1);
        forward = fftw_plan_dft_r2c_1d(static_cast<int>(length), data, bins, FFTW_ESTIMATE);
        backward = fftw_plan_dft_c2r_1d(static_cast<int>(length), bins, data, FFTW_ESTIMATE);
    }
    for (std::size_t i = 0; i < n; ++i) data[i] = x[i] - mean;
    std::fill(data + n, data + length, 0.0);
    fftw_execute(forward);
    for (std::size_t k = 0; k <= length / 2; ++k) {
        bins[k][0] = bins[k][0] * bins[k][0] + bins[k][1] * bins[k][1];
        bins[k][1] = 0;
    }
    fftw_execute(backward);
    // FFTW's inverse is not normalised.
    std::vector<double> r(data, data + n);
    for (double& v : r) v /= static_cast<double>(length);
    {
        std::lock_guard<std::mutex> hold(plannerLock);
        fftw_destroy_plan(forward);
        fftw_destroy_plan(backward);
        fftw_free(data);
        fftw_free(bins);
    }
    return r;
}

double PeakFrequency(const Spectrum& s, double lowHz, double highHz) {
    const double none = std::numeric_limits<double>::quiet_NaN();
    if (s.binHz <= 0 || s.power.size() < 3 || !(lowHz <= highHz)) return none;
    const auto first = static_cast<std::size_t>(std::max(1.0, std::ceil(lowHz / s.binHz - 1e-9)));
    const auto last = std::min(s.power.size() - 2, static_cast<std::size_t>(std::floor(highHz / s.binHz + 1e-9)));
    // Bins that differ from zero only by rounding are no peak.
    const double floor = 1e-12 * *std::max_element(s.power.begin() + 1, s.power.end());
    std::size_t best = 0;
    for (std::size_t k = first; k <= last; ++k)
        if (s.power[k] > floor && s.power[k] > s.power[k - 1] && s.power[k] > s.power[k + 1] && (best == 0 || s.power[k] > s.power[best]))
            best = k;
    if (best == 0) return none;
    // A parabola through the peak and its neighbours places it between bins.
    const double a = s.power[best - 1], b = s.power[best], c = s.power[best + 1];
    const double offset = 0.5 * (a - c) / (a - 2 * b + c);
    return (static_cast<double>(best) + offset) * s.binHz;
}

}  // namespace vk
