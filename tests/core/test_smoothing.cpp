// The rounding helpers and the in-place smoothing filter.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "input/Smoothing.h"

namespace vk {
namespace {

TEST(Rounding, IntegerDivisionMatchesRoundingOfTheRealQuotient) {
    EXPECT_EQ(std::tuple(roundHalfEven(2.5), roundHalfEven(3.5), roundHalfEven(-2.5)), std::tuple(2, 4, -2));
    for (int64_t n = -2000; n <= 2000; ++n)
        for (int64_t d : {20, 3, 7})
            ASSERT_EQ(roundHalfEvenDiv(n, d), roundHalfEven(static_cast<double>(n) / static_cast<double>(d)))
                << n << "/" << d;
}

TEST(Smoothing, InPlaceFilterAndItsEdges) {
    auto s = std::make_unique<SessionState>();
    std::vector<int32_t> work;
    // A single 20 at sample 21: ones at 1..20 (the 20 lies in each of their
    // windows), then 0; the last 20 samples keep their values.
    for (int k = 1; k <= 60; ++k) s->Signals.at(k, 3) = k == 21 ? 20 : 0;
    s->Signals.at(60, 3) = 99;
    SmoothChannelInPlace(s->Signals, 3, 60, work);
    for (int k = 1; k <= 20; ++k) EXPECT_EQ(s->Signals.at(k, 3), 1) << k;
    for (int k = 21; k <= 39; ++k) EXPECT_EQ(s->Signals.at(k, 3), 0) << k;
    EXPECT_EQ(s->Signals.at(40, 3), 5);  // (99 + 0 * 19) / 20 = 4.95
    EXPECT_EQ(s->Signals.at(60, 3), 99);

    // Means of exactly 2.5 and 3.5 go to the even neighbour.
    for (auto [value, mean] : {std::pair{5, 2}, {7, 4}}) {  // sums 50 and 70
        for (int k = 1; k <= 21; ++k) s->Signals.at(k, 4) = (k >= 2 && k <= 11) ? value : 0;
        SmoothChannelInPlace(s->Signals, 4, 21, work);
        EXPECT_EQ(s->Signals.at(1, 4), mean);
    }

    // Twenty samples or fewer: unchanged. Applying twice smooths twice.
    for (int k = 1; k <= 20; ++k) s->Signals.at(k, 5) = k * 100;
    SmoothChannelInPlace(s->Signals, 5, 20, work);
    for (int k = 1; k <= 20; ++k) EXPECT_EQ(s->Signals.at(k, 5), k * 100);
}

}  // namespace
}  // namespace vk
