#include "electrograms/TraceColumns.h"

namespace vk {

void DropRepeatedDots(std::vector<Point>& dots) {
    size_t kept = 0;
    for (size_t i = 0; i < dots.size(); ++i)
        if (kept == 0 || dots[i].x != dots[kept - 1].x || dots[i].y != dots[kept - 1].y) dots[kept++] = dots[i];
    dots.resize(kept);
}

}  // namespace vk
