// Which points of a trace need drawing. A long time window puts many drawn
// points into each pixel column of the panel. A one-pixel line through all
// of them covers, in a column, the span from its highest to its lowest
// point (the segments inside a column are vertical) and the segments that
// join the column's first and last point to the columns beside it. The same
// line through only the first, lowest, highest and last point of every
// column covers the same pixels, and a redraw then costs one pass over the
// samples instead of a line segment per sample.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "session/Canvas.h"

namespace vk {

// Calls keep(j) for the points j of 0..n-1 the line has to pass through, in
// order: of every run of equal xs[j] (a pixel column) the first, the last
// and the first of the lowest and of the highest values[j], each once. The
// y of a point must be a monotone function of its value, so that the lowest
// and highest values are drawn at the column's extremes.
template <class Keep>
void ForColumnPoints(const int32_t* xs, const int64_t* values, size_t n, Keep&& keep) {
    size_t a = 0;
    while (a < n) {
        size_t b = a + 1, low = a, high = a;
        int64_t lowValue = values[a], highValue = values[a];
        for (; b < n && xs[b] == xs[a]; ++b) {
            // Selections rather than branches: noise takes either way at random.
            const int64_t v = values[b];
            const bool lower = v < lowValue, higher = v > highValue;
            low = lower ? b : low;
            lowValue = lower ? v : lowValue;
            high = higher ? b : high;
            highValue = higher ? v : highValue;
        }
        // [a, b) is the column; its kept points in the order drawn.
        const size_t first = low < high ? low : high, second = low < high ? high : low;
        keep(a);
        if (first != a) keep(first);
        if (second != first && second != a) keep(second);
        if (b - 1 != second && b - 1 != a) keep(b - 1);
        a = b;
    }
}

// Leaves out every dot that repeats the one before it: dots of one colour
// cover the same pixels however often they are drawn, and a trace flatter
// than its pixel rows repeats its dots along each column.
void DropRepeatedDots(std::vector<Point>& dots);

}  // namespace vk
