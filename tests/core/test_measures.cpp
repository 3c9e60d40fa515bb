// Amplitude and slope of the slow waves: the measuring window, the extremes,
// the steepest fall and the interval to the previous slow wave.
#include <gtest/gtest.h>

#include "marks/MarkStore.h"
#include "marks/Measures.h"
#include "support/GridSession.h"
#include "support/ScriptedHost.h"

namespace vk {
namespace {

using test::addMark;

// A 4 x 1 matrix with a recording of `rows` samples at 1000 Hz, all zero;
// the rows past it hold what a longer recording left behind.
std::unique_ptr<SessionState> recording(int rows) {
    auto s = test::gridSession(4, 1);
    s->SignalLength = s->NrOfFrames = rows;
    for (int i = rows + 1; i <= rows + 40 && i <= MaxSamples; ++i)
        for (int e = 1; e <= 4; ++e) s->Signals.at(i, e) = (i % 2) ? 99999 : -99999;
    return s;
}

const MeasureRecord& of(const SessionState& s, int slot) { return s.MarkMeasures[static_cast<size_t>(slot)]; }
auto extremes(const SessionState& s, int slot) {
    const MeasureRecord& m = of(s, slot);
    return std::tuple(m.MaxValue, m.MaxSample, m.MinValue, m.MinSample);
}

TEST(Measures, WindowIsCutAtTheStartAndEndOfTheRecording) {
    auto s = recording(2000);
    s->Signals.at(0, 1) = -999;  // row 0 is no sample
    s->Signals.at(1, 1) = -300;
    s->Signals.at(700, 1) = 500;
    s->Signals.at(701, 1) = 999;  // just outside 200 +- 500
    // Electrode 2 near the end: 1990 +- 500 stops at 2000, and the fall
    // over 24 samples never reaches the stale rows past it.
    s->Signals.at(1980, 2) = 40;
    s->Signals.at(2000, 2) = -20;
    addMark(*s, 1, 200);
    addMark(*s, 2, 1990);
    EXPECT_EQ(MeasureAllMarks(*s), 2);
    EXPECT_EQ(extremes(*s, 1), std::tuple(500, 700, -300, 1));
    EXPECT_EQ(extremes(*s, 2), std::tuple(40, 1980, -20, 2000));
    EXPECT_EQ(of(*s, 1).MeasuredElectrode, 1);
    EXPECT_EQ(of(*s, 2).SlopeSample, 1976);  // 1980 -> 2004 would read a stale row
    EXPECT_DOUBLE_EQ(of(*s, 2).Slope, 40.0 * 20 / 747);
}

TEST(Measures, OnlySlowWavesInsideTheRecordingAreMeasured) {
    auto s = recording(3000);
    addMark(*s, 1, 1000, Spike);
    addMark(*s, 2, 1000, Type3);
    addMark(*s, 3, 0);
    addMark(*s, 4, 3000);
    addMark(*s, 4, 2999);
    s->MarkMeasures[1].MeasuredElectrode = 1;  // left from an earlier run
    EXPECT_EQ(MeasureAllMarks(*s), 1);
    for (int slot = 1; slot <= 4; ++slot) EXPECT_EQ(of(*s, slot).MeasuredElectrode, Missing) << slot;
    EXPECT_EQ(of(*s, 5).MeasuredElectrode, 4);
    ClearMarks(*s);
    EXPECT_EQ(of(*s, 5).MeasuredElectrode, Missing);
}

TEST(Measures, SteepestFallOnly) {
    auto s = recording(10000);
    for (int i = 1; i <= 10000; ++i) {
        s->Signals.at(i, 1) = i;                                            // rising everywhere
        s->Signals.at(i, 2) = i < 3000 ? 0 : i >= 3010 ? -747 : -(i - 3000) * 747 / 10;  // one fall
        s->Signals.at(i, 3) = i % 100 == 0 ? -100 : 0;                      // equal falls: the first
    }
    addMark(*s, 1, 5000);
    addMark(*s, 2, 3200);
    addMark(*s, 3, 5000);
    MeasureAllMarks(*s);
    // 2986 + 24 = 3010, the first of the full falls; 4576 + 24 = 4600; 4500 the first of the equal minima.
    EXPECT_EQ(std::tuple(of(*s, 1).Slope, of(*s, 1).SlopeSample, of(*s, 1).MaxSample, of(*s, 1).MinSample),
              std::tuple(0.0, 4500, 5500, 4500));
    EXPECT_EQ(std::tuple(of(*s, 2).SlopeSample, of(*s, 2).Slope, of(*s, 3).SlopeSample, of(*s, 3).MinSample),
              std::tuple(2986, 40.0, 4576, 4500));
}

TEST(Measures, IntervalToThePreviousSlowWaveOfTheElectrode) {
    auto s = recording(10000);
    addMark(*s, 1, 7500);
    addMark(*s, 1, 1000);
    addMark(*s, 1, 6000, Spike);  // spikes are no previous slow wave
    addMark(*s, 2, 3900);         // another electrode
    addMark(*s, 1, 4000);
    MeasureAllMarks(*s);
    EXPECT_EQ(std::tuple(of(*s, 1).Interval, of(*s, 2).Interval, of(*s, 4).Interval, of(*s, 5).Interval),
              std::tuple(3500, Missing, Missing, 3000));
    // One mark measured alone takes the slow waves it is given, whatever
    // another sort left in the session's scratch order.
    std::vector<int32_t> slowWaves;
    SortMarksByElectrode(*s, slowWaves, SlowWave);
    s->MarkOrder = {3};
    MeasureMark(*s, slowWaves, 1, 1, 7500);
    EXPECT_EQ(of(*s, 1).Interval, 3500);
}

TEST(Measures, SignalsWhollyBeyondAnyStartValueAtEveryRate) {
    // Far above and far below zero (as imports that scale to microvolts
    // give): the extremes are the signal's own, the first on ties.
    for (int rate : {500, 1000, 2000}) {
        auto s = recording(2 * rate);  // 2000 ms
        s->HighRateMode = rate != 1000;
        s->SamplingFrequency = rate;
        s->SignalLength = 2000;
        const int c = rate, w = rate / 2;  // the mark at 1000 ms, 500 ms either side
        for (int i = 1; i <= 2 * rate; ++i) {
            s->Signals.at(i, 1) = 20000;
            s->Signals.at(i, 2) = -20000;
            s->Signals.at(i, 3) = 20000;  // flat: both extremes at the window's start
            s->Signals.at(i, 4) = -20000;
        }
        s->Signals.at(c + w / 2, 1) = 30000;
        s->Signals.at(c - w / 2, 1) = 15000;
        s->Signals.at(c - w / 2, 2) = -15000;
        s->Signals.at(c + w / 2, 2) = -30000;
        s->Signals.at(c + w + 1, 2) = -40000;  // just past the window
        for (int e = 1; e <= 4; ++e) addMark(*s, e, 1000);
        MeasureAllMarks(*s);
        // The window runs over samples c - w .. c + w: a rate of 2000 Hz doubles it in rows.
        EXPECT_EQ(extremes(*s, 1), std::tuple(30000, c + w / 2, 15000, c - w / 2)) << rate;
        EXPECT_EQ(extremes(*s, 2), std::tuple(-15000, c - w / 2, -30000, c + w / 2)) << rate;
        EXPECT_EQ(extremes(*s, 3), std::tuple(20000, c - w, 20000, c - w)) << rate;
        EXPECT_EQ(extremes(*s, 4), std::tuple(-20000, c - w, -20000, c - w)) << rate;
        EXPECT_DOUBLE_EQ(MeasuredAmplitude(*s, of(*s, 1)), 15000.0 / 747) << rate;
    }
}

TEST(Measures, AmplitudeAndTheDataPadGrid) {
    auto s = recording(3000);
    s->Locale = {',', '.'};
    s->Signals.at(900, 1) = 800;
    s->Signals.at(1100, 1) = -694;
    addMark(*s, 1, 1000);
    addMark(*s, 2, 1000, Spike);
    addMark(*s, 3, 2500);
    test::ScriptedHost host;
    Ctx ctx{*s, host, [](Ctx&, int) {}};
    CalculateAmplitudesSlopes1Click(ctx);
    EXPECT_EQ(std::tuple(host.beeps, s->DataPadRequested), std::tuple(1, true));
    const std::vector<std::vector<std::string>> expected{{"", "signalnr", "Ampl", "MaxAmpl", "MinAmpl", "time"},
                                                         {"", "1", "2,00", "800", "-694", "1000"},
                                                         {"", "3", "0,00", "0", "0", "2500"}};
    EXPECT_EQ(s->DataPad, expected);
}

}  // namespace
}  // namespace vk
