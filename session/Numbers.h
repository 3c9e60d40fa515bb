// Sentinels and the integer arithmetic every part of the program shares.
//
// The program's numbers follow a few fixed rules: rounding of a real value is
// to the nearest integer with halves to the even neighbour, integer division
// and remainder truncate toward zero, and a truncation of a real is a cast
// toward zero. Each rule has exactly one helper here so that maps, marks and
// files can never disagree on an edge case.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace vk {

// No value: an empty map cell, a deleted mark, an unset time.
inline constexpr int32_t Missing = -12345;
// A map cell that is drawn crossed out and survives every reload.
inline constexpr int32_t Excluded = -54321;

// Nearest integer, halves to the even neighbour: the default rounding mode,
// which the program never changes. llrint is nearbyint to an integer in a
// single instruction.
inline int64_t roundHalfEven(double v) { return std::llrint(v); }

// Exactly roundHalfEven(double(num) / den) for den > 0, in integers only.
// Used in the inner loop of the smoothing filter, where a libm call per
// sample would dominate the cost of opening a recording.
inline int64_t roundHalfEvenDiv(int64_t num, int64_t den) {
    int64_t q = num / den;
    int64_t r = num % den;
    if (r < 0) {  // make the remainder non-negative: q is then the floor
        r += den;
        q -= 1;
    }
    const int64_t twice = 2 * r;
    if (twice > den || (twice == den && (q & 1) != 0)) q += 1;
    return q;
}

// Truncation of a real value toward zero.
inline int64_t truncToward0(double v) { return static_cast<int64_t>(v); }

// Mean and standard deviation of a list of values, summed in list order.
// The squared spreads are divided by n (`sample` false) or by n - 1
// (`sample` true); with nothing to divide by the deviation is 0, never 0/0.
struct MeanDeviation {
    double mean = 0.0, deviation = 0.0;
};
inline MeanDeviation MeanAndDeviation(const std::vector<double>& values, bool sample) {
    MeanDeviation r;
    if (values.empty()) return r;
    double sum = 0.0;
    for (double v : values) sum += v;
    const auto n = static_cast<double>(values.size());
    r.mean = sum / n;
    double squares = 0.0;
    for (double v : values) squares += (v - r.mean) * (v - r.mean);
    const double divisor = sample ? n - 1 : n;
    r.deviation = divisor > 0 ? std::sqrt(squares / divisor) : 0.0;
    return r;
}

}  // namespace vk
