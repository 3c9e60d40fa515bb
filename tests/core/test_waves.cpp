// Wave detection on small grids, and the wave statistics.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "input/Matrix.h"
#include "marks/MarkStore.h"
#include "shell/Display.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"
#include "waves/WaveDetection.h"

namespace vk {
namespace {

struct Grid {
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    test::ScriptedHost host;
    Ctx ctx{*s, host, RedrawPanels};
    // Electrodes numbered row by row from 1 on a columns x rows grid.
    Grid(int columns, int rows) { ApplyMatrix(*s, RowByRowMatrix(columns, rows, 1, 2.5)); }
    void mark(int e, int t, int type = SlowWave) {
        s->CurrentElectrode = e;
        AddMarkRecord(*s, t, static_cast<int16_t>(type), 1);
    }
    int waves() {
        CalculateWaves(ctx, SlowWave);
        return s->WaveCount;
    }
    int32_t at(int e, int w) const { return WaveTimeAt(*s, e, w); }
};

TEST(Waves, DifferencesBelowTheLimitJoinAndEqualOnesSplit) {
    Grid joined(2, 1);
    joined.mark(1, 1000);
    joined.mark(2, 1400);
    EXPECT_EQ(joined.waves(), 1);
    EXPECT_EQ(joined.at(2, 1), 1400);
    EXPECT_FALSE(joined.s->WavesOutdated);

    Grid split(2, 1);
    split.mark(1, 1000);
    split.mark(2, 1500);  // exactly the wave difference: not below it
    EXPECT_EQ(split.waves(), 2);
    EXPECT_EQ(split.at(1, 1), 1000);
    EXPECT_EQ(split.at(2, 1), Missing);
    EXPECT_EQ(split.at(2, 2), 1500);
}

TEST(Waves, TheClosestFreeMarkWinsAndTheFirstSlotOnTies) {
    struct Mark {
        int e, t;
    };
    struct At {
        int e, w, t;
    };
    struct Case {
        const char* what;
        int columns, rows;
        std::vector<Mark> marks;
        int waves;
        std::vector<At> expected;
    };
    const Case cases[] = {
        // Wave 1 starts at the earliest mark (900 on electrode 2) and takes 1000.
        {"closest", 2, 1, {{1, 1000}, {2, 1100}, {2, 900}}, 2, {{2, 1, 900}, {1, 1, 1000}, {2, 2, 1100}}},
        // 1 2 3 in a row: the wave seeded at 600 on 1 reaches 2 at 1000; from
        // there the marks on 3 at 1100 and 900 are both 100 ms away: the
        // first slot wins, whichever it is.
        {"tie, later first", 3, 1, {{1, 600}, {2, 1000}, {3, 1100}, {3, 900}}, 2, {{2, 1, 1000}, {3, 1, 1100}, {3, 2, 900}}},
        {"tie, earlier first", 3, 1, {{1, 600}, {2, 1000}, {3, 900}, {3, 1100}}, 2, {{2, 1, 1000}, {3, 1, 900}, {3, 2, 1100}}},
        // 1 2 3 / 4 5 6 with equal seeds on 4 and 6: the first in scan order
        // (columns, then rows) seeds the wave, and 0 is not above the
        // clamped bound of the other.
        {"equal seeds", 3, 2, {{6, 0}, {4, 0}, {5, 450}}, 2, {{4, 1, 0}, {5, 1, 450}, {6, 1, Missing}, {6, 2, 0}}},
    };
    for (const Case& c : cases) {
        Grid g(c.columns, c.rows);
        for (const Mark& m : c.marks) g.mark(m.e, m.t);
        EXPECT_EQ(g.waves(), c.waves) << c.what;
        for (const At& x : c.expected) EXPECT_EQ(g.at(x.e, x.w), x.t) << c.what << ": electrode " << x.e << ", wave " << x.w;
    }
}

TEST(Waves, DiagonalsConnectAcrossAnEmptyPosition) {
    // 2 x 2 grid with the upper right position empty: 1 . / 3 4
    Grid g(2, 2);
    ApplyMatrix(*g.s, ParseNewMatrix("-2\n3 2 2 1\n\n1 -1\n3 4\n", "m.txt"));
    g.mark(1, 100);
    g.mark(4, 200);  // only diagonal to electrode 1
    EXPECT_EQ(g.waves(), 1);
    EXPECT_EQ(g.at(4, 1), 200);
}

TEST(Waves, TheLowerBoundIsClampedAtZero) {
    // 1 2 3 in a row: 0 ms on 1 and 3, 100 ms on 2 between them.
    Grid g(3, 1);
    g.mark(1, 0);
    g.mark(3, 0);
    g.mark(2, 100);
    EXPECT_EQ(g.waves(), 2);
    EXPECT_EQ(g.at(1, 1), 0);
    EXPECT_EQ(g.at(2, 1), 100);
    EXPECT_EQ(g.at(3, 1), Missing);  // 0 is not above the clamped bound 0
    EXPECT_EQ(g.at(3, 2), 0);
}

TEST(Waves, OnlyMarksOfTheTypeFromTheReferenceTimeOnTakePart) {
    Grid g(2, 1);
    g.s->RefTime = 1000;
    g.mark(1, 900);           // before the reference time
    g.mark(1, 1500, Spike);   // another type
    g.mark(2, 1200);
    g.mark(1, 1000);
    EXPECT_EQ(g.waves(), 1);
    EXPECT_EQ(g.at(1, 1), 0);  // times are relative to the reference time
    EXPECT_EQ(g.at(2, 1), 200);

    Grid none(2, 2);
    EXPECT_EQ(none.waves(), 0);
    EXPECT_EQ(none.host.beeps, 1);
}

TEST(Waves, LimitsOf199MarksAnd199Waves) {
    Grid g(1, 1);
    for (int k = 0; k < 250; ++k) g.mark(1, k * 300);
    EXPECT_EQ(g.waves(), 198);  // 199 marks, one wave each; the calculation stops at the limit
    EXPECT_EQ(g.at(1, 198), 197 * 300);
    // Late marks of a long recording seed waves like early ones.
    Grid late(1, 1);
    late.mark(1, 65000);
    EXPECT_EQ(late.waves(), 1);
}

TEST(WaveStatistics, ExtentCentreAndTheLine) {
    Grid g(6, 4);
    // Twelve sites over columns 2..5 and rows 1..3 of a 2.5 mm grid.
    const WaveStatistics w = CalcWaveStats(*g.s, [](int c, int r) { return c >= 2 && c <= 5 && r <= 3 ? 100 : Missing; });
    EXPECT_EQ(w.sites, 12);
    EXPECT_EQ(w.centreCol, 3);
    EXPECT_EQ(w.centreRow, 2);
    const auto texts = WaveStatsTexts(*g.s, w);
    EXPECT_EQ(texts[0], "Area = 12 (75.0 mm2)");
    EXPECT_EQ(texts[1], "X-size = 4 (10.0 mm)");
    EXPECT_EQ(texts[2], "Y-size = 3 (7.5 mm)");
    // Holes inside the extent do not change it.
    const WaveStatistics holes = CalcWaveStats(*g.s, [](int c, int r) { return (c == 2 && r == 1) || (c == 6 && r == 4) ? 5 : Missing; });
    EXPECT_EQ(holes.sites, 2);
    EXPECT_EQ(holes.xSize, 5);
    EXPECT_EQ(holes.ySize, 4);
    EXPECT_EQ(holes.centreCol, 4);
    const WaveStatistics one = CalcWaveStats(*g.s, [](int c, int r) { return c == 1 && r == 1 ? 0 : Missing; });
    EXPECT_EQ(WaveStatsTexts(*g.s, one)[0], "Area = 1 (6.2 mm2)");  // 6.25: halves go to the even neighbour
    const WaveStatistics empty = CalcWaveStats(*g.s, [](int, int) { return Missing; });
    EXPECT_FALSE(empty.any);
    EXPECT_EQ(empty.xSize, 0);
}

TEST(WaveCommands, DifferenceAndNavigation) {
    Grid g(2, 1);
    g.host.inputs = {std::string("0"), std::string("-5"), std::string("300")};
    ChangeWaveDifference(g.ctx);
    EXPECT_EQ(g.s->WaveDifference[1], 300);
    EXPECT_EQ(g.host.beeps, 2);
    EXPECT_EQ(g.host.questions[0],
              "Minimum differente in time for type 1 wave separation|Give new wave time difference for type1");
    EXPECT_TRUE(g.s->WavesOutdated);
    g.host.inputs = {std::string("7")};
    GotoWaveNr(g.ctx);
    EXPECT_EQ(g.s->WaveNrA, 7);  // no upper bound
    g.s->WaveCount = 8;
    GotoNextWave(g.ctx);
    GotoNextWave(g.ctx);
    EXPECT_EQ(g.s->WaveNrA, 8);
    SetWaveMode(g.ctx, 1);
    EXPECT_EQ(WaveModeCaption(*g.s), "Wave mode (1)");
}

TEST(WaveMaps, MarkNumbersLocalTimesAndTheStatisticsLine) {
    Grid g(3, 1);
    test::RecordingCanvas canvas(600, 300);
    g.ctx.canvasA = &canvas;
    g.s->SignalsLoaded = g.s->FileLoaded = true;
    g.s->DisplayTypeA = 2;
    auto numbered = [&](int e, int t, int nr) {
        g.s->CurrentElectrode = e;
        AddMarkRecord(*g.s, t, SlowWave, static_cast<int16_t>(nr));
    };
    numbered(1, 1000, 1);
    numbered(2, 1200, 1);
    numbered(1, 3000, 2);
    numbered(3, 9000, 5);
    numbered(2, 1100, 1);  // the earlier mark of the number sets the cell
    // Mode 2: wave n is mark number n; the largest number is the count.
    g.s->WaveMode = 2;
    UpdateDisplayA(g.ctx);
    EXPECT_EQ(g.s->WaveCount, 5);
    EXPECT_EQ(g.s->MapBuf.at(1, 1).Time, 1000);
    EXPECT_EQ(g.s->MapBuf.at(2, 1).Time, 1100);
    EXPECT_EQ(g.s->MapBuf.at(3, 1).Time, Missing);
    EXPECT_EQ(g.s->CaptionA.rfind("Wave Map nr: 1 of 5", 0), 0u) << g.s->CaptionA;
    g.s->WaveNrA = 3;  // no marks with number 3: an empty map
    UpdateDisplayA(g.ctx);
    for (int c = 1; c <= 3; ++c) EXPECT_EQ(g.s->MapBuf.at(c, 1).Time, Missing);
    // Marks before the reference time are left out; the others keep their
    // absolute times.
    g.s->WaveNrA = 1;
    g.s->RefTime = 1050;
    UpdateDisplayA(g.ctx);
    EXPECT_EQ(g.s->MapBuf.at(1, 1).Time, Missing);
    EXPECT_EQ(g.s->MapBuf.at(2, 1).Time, 1100);
    g.s->RefTime = 0;

    // Mode 1 with local times: the earliest electrode of the wave shows 0.
    g.s->WaveMode = 1;
    g.s->WaveNrA = 1;
    g.s->PlotLocalTimes = true;
    g.s->ShowWaveStatistics = true;
    UpdateDisplayA(g.ctx);
    EXPECT_FALSE(g.s->WavesOutdated);
    EXPECT_EQ(g.s->MapBuf.at(1, 1).Time, 0);
    EXPECT_EQ(g.s->MapBuf.at(2, 1).Time, 100);
    // The statistics line is written above the map, which starts 20 pixels down.
    EXPECT_EQ(g.s->MapTop, 20);
    bool line = false;
    for (const auto& op : canvas.ops) line |= op.rfind("text 4 4 Area = 2 (12.5 mm2)", 0) == 0;
    EXPECT_TRUE(line);
    EXPECT_EQ(g.s->WaveCentreCol, 1);
    // A wave number past the last wave: an empty map and no line.
    g.s->WaveNrA = 250;
    UpdateDisplayA(g.ctx);
    EXPECT_EQ(g.s->MapBuf.at(1, 1).Time, Missing);
    EXPECT_EQ(g.s->WaveCentreCol, 1);  // an empty wave keeps the previous centre

    // Mode 2 as count and electrode maps: cells of 196 pixels, the digits
    // centred at (105, 91) and (301, 91) show the kind's own value.
    g.s->WaveMode = 2;
    g.s->WaveNrA = 1;
    g.s->ShowWaveStatistics = false;
    numbered(1, 1500, 1);  // later than the cell's time, still counted
    auto digits = [&](int kind) {
        g.s->MapKindA = kind;
        UpdateDisplayA(g.ctx);
        std::vector<std::string> texts;
        for (const auto& op : canvas.ops)
            if (op.rfind("text ", 0) == 0) texts.push_back(op);
        return texts;
    };
    EXPECT_EQ(digits(CountMapKind), (std::vector<std::string>{"text 105 91 2", "text 301 91 2"}));
    EXPECT_EQ(digits(ElectrodeMapKind), (std::vector<std::string>{"text 105 91 1", "text 301 91 2"}));
}

}  // namespace
}  // namespace vk
