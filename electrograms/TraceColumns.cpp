#include "electrograms/TraceColumns.h"

#include <algorithm>

namespace vk {

void KeepDistinctDots(std::vector<Point>& dots) {
    size_t kept = 0, a = 0;
    while (a < dots.size()) {
        size_t b = a + 1;
        while (b < dots.size() && dots[b].x == dots[a].x) ++b;
        std::sort(dots.begin() + static_cast<std::ptrdiff_t>(a), dots.begin() + static_cast<std::ptrdiff_t>(b),
                  [](const Point& p, const Point& q) { return p.y < q.y; });
        for (size_t i = a; i < b; ++i)
            if (i == a || dots[i].y != dots[i - 1].y) dots[kept++] = dots[i];
        a = b;
    }
    dots.resize(kept);
}

}  // namespace vk
