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

}  // namespace vk
