// Which points of a trace are drawn: per pixel column the first, the lowest,
// the highest and the last; and a repeated dot once.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <set>
#include <utility>

#include "electrograms/TraceColumns.h"
#include "electrograms/TraceDisplay.h"
#include "shell/Display.h"
#include "support/DenseRecording.h"
#include "support/ElectrogramSession.h"
#include "support/RecordingCanvas.h"

namespace vk {
namespace {

TEST(TraceColumns, EachColumnKeepsItsFirstLowestHighestAndLast) {
    struct Case {
        std::vector<int32_t> xs;
        std::vector<int64_t> values;
        std::vector<size_t> kept;
    };
    const Case cases[] = {
        {{}, {}, {}},
        {{5}, {7}, {0}},
        // Columns of one and two points keep them all.
        {{5, 6, 6, 8}, {1, 9, -9, 4}, {0, 1, 2, 3}},
        // Three points: the middle one lies between the others.
        {{5, 5, 5}, {1, 2, 3}, {0, 2}},
        {{5, 5, 5}, {1, 3, 2}, {0, 1, 2}},
        // Lowest before highest, highest before lowest, both inside.
        {{3, 3, 3, 3, 3, 3}, {0, -5, 2, 8, 1, 4}, {0, 1, 3, 5}},
        {{3, 3, 3, 3, 3, 3}, {0, 8, 2, -5, 1, 4}, {0, 1, 3, 5}},
        // The first or last is an extreme; ties keep the first of them.
        {{3, 3, 3, 3, 4, 4, 4, 4, 4}, {9, 1, 1, 5, 2, 7, 7, 0, 0}, {0, 1, 3, 4, 5, 7, 8}},
        // A flat column keeps its ends; x running backwards.
        {{9, 9, 9, 9, 8, 8, 7}, {4, 4, 4, 4, 6, 1, 2}, {0, 3, 4, 5, 6}},
        // Values beyond 32 bits.
        {{1, 1, 1, 1}, {int64_t{1} << 40, -(int64_t{1} << 40), 0, 1}, {0, 1, 3}},
    };
    for (const Case& c : cases) {
        std::vector<size_t> kept;
        ForColumnPoints(c.xs.data(), c.values.data(), c.xs.size(), [&](size_t j) { kept.push_back(j); });
        EXPECT_EQ(kept, c.kept) << ::testing::PrintToString(c.values);
    }
}

TEST(TraceColumns, RepeatedDotsAreDrawnOnce) {
    std::vector<Point> dots{{1, 5}, {1, 5}, {1, 5}, {1, 3}, {1, 5}, {2, 5}, {2, 5}, {3, 9}, {3, 9}};
    std::vector<Point> none;
    DropRepeatedDots(dots);
    DropRepeatedDots(none);
    EXPECT_EQ(std::tuple(test::pointsOf(dots), none.size()), std::tuple(std::string("1,5 1,3 1,5 2,5 3,9"), size_t{0}));
}

// The dots of every row are the dots of every drawn point but the first,
// each repeat left out, at 500, 1000 and 2000 Hz and with sample counts per
// pixel column that are not whole (and columns of one or two samples).
TEST(TraceColumns, DottedTracesDrawTheDotsOfEveryPointLeavingOutRepeats) {
    for (const test::DenseRecording::Case& c : test::DenseCases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.window << " ms from " << c.begin);
        test::DenseRecording d(c);
        d.s->PlotOnlyDots = true;
        test::RecordingCanvas canvas(870, 650);
        Ctx ctx{*d.s, d.host, RedrawPanels, &canvas, nullptr};
        UpdateDisplayA(ctx);
        std::set<std::pair<int, int>> drawn, expected;
        size_t lines = 0, points = 0, unrepeated = 0;
        for (const auto& op : canvas.ops) {
            int x1, y1, x2, y2;
            if (std::sscanf(op.c_str(), "line %d %d %d %d", &x1, &y1, &x2, &y2) == 4 && x2 == x1 + 1 && y2 == y1 + 1)
                drawn.insert({x1, y1}), ++lines;
        }
        const TraceGeometry g = ComputeGeometry(*d.s, c.begin, c.window);
        for (int k = 1; k <= c.traces; ++k) {
            const std::vector<Point> every = EveryPointOfTrace(*d.s, g, k, k);
            ASSERT_GT(every.size(), 1u);
            points += every.size() - 1;
            for (size_t j = 1; j < every.size(); ++j) {
                expected.insert({every[j].x, every[j].y});
                unrepeated += j == 1 || every[j].x != every[j - 1].x || every[j].y != every[j - 1].y;
            }
        }
        EXPECT_EQ(std::tuple(drawn, lines), std::tuple(expected, unrepeated));
        EXPECT_TRUE(c.window <= 5000 || lines < points) << lines << " of " << points;
    }
}

TEST(TraceColumns, ValuesRoundHalfToEvenAndHugeOnesStayOnTheirSide) {
    // One trace of ten samples, 100 pixels apart, no mean: sample i at
    // x = 30 + 100 (i + 1), y = 260 - value * amplification.
    test::ElectrogramSession p(60000, 10, 1, 1);
    p.s->AverageOffsetOn = false;
    p.s->PlotOnlyDots = true;
    p.s->Amplification = 0.5;
    const int32_t values[] = {1, 3, 5, -1, -3, 7, -7, 2000000000, -2000000000, 0};
    for (int i = 1; i <= 10; ++i) p.s->Signals.at(i, 1) = values[i - 1];
    UpdateDisplayA(p.ctx);
    EXPECT_EQ(test::notDrawn(p.a.ops, {"line 230 260 231 261", "line 330 258 331 259", "line 430 258 431 259",
                                       "line 530 260 531 261", "line 630 262 631 263", "line 730 256 731 257",
                                       "line 830 264 831 265", "line 930 -1000000 931 -999999",
                                       "line 1030 1000000 1031 1000001", "line 1130 260 1131 261"}),
              test::Ops{});
    // An infinite amplification: above the mean at the top, below it at the
    // bottom, the mean itself on the centre line.
    p.s->Amplification = INFINITY;
    UpdateDisplayA(p.ctx);
    EXPECT_EQ(test::notDrawn(p.a.ops, {"line 230 -1000000 231 -999999", "line 530 1000000 531 1000001",
                                       "line 1130 260 1131 261"}),
              test::Ops{});
}

}  // namespace
}  // namespace vk
