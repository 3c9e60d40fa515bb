// The single-electrogram analysis window: opening and electrode stepping,
// the settings it edits and their effect on a later snapped mark, the two
// traces and the level line, and the cursor read-out.
#include <gtest/gtest.h>

#include "electrograms/SingleElectrogram.h"
#include "marks/ManualMarking.h"
#include "session/Errors.h"
#include "support/ElectrogramSession.h"
#include "support/RecordingCanvas.h"

namespace vk {
namespace {

using test::pointsOf;

struct Analysis : test::ElectrogramSession {
    test::RecordingCanvas box{AlyPaintWidth, AlyPaintHeight};
    explicit Analysis(int32_t samples = 3000) : ElectrogramSession(samples, 4000, 24, 17) {}
    void paint() {
        box.beginDraw();
        PaintAnalysis(*s, box);
    }
};

TEST(AnalysisWindow, OpensOnTheFirstChannelAndStepsWithinOneTo255) {
    Analysis t;
    InitialiseAnalysis(*t.s);
    EXPECT_EQ(std::tuple(t.s->AlyElectrode, t.s->AlyWindow, t.s->TraceSpacing), std::tuple(17, 4000, 40));
    EXPECT_DOUBLE_EQ(t.s->PixelsPerSample, 725.0 / 4000);
    for (int i = 0; i < 16; ++i) StepAnalysisElectrode(t.ctx, false);
    EXPECT_EQ(std::tuple(t.s->AlyElectrode, t.host.beeps), std::tuple(1, 0));
    StepAnalysisElectrode(t.ctx, false);
    EXPECT_EQ(std::tuple(t.s->AlyElectrode, t.host.beeps), std::tuple(1, 1));
    t.s->AlyElectrode = 254;
    StepAnalysisElectrode(t.ctx, true);
    StepAnalysisElectrode(t.ctx, true);
    EXPECT_EQ(std::tuple(t.s->AlyElectrode, t.host.beeps), std::tuple(255, 2));
    // A first channel outside what the window steps through is brought in.
    for (const auto& [first, shown] : {std::pair{256, 255}, std::pair{Missing, 1}, std::pair{0, 1}}) {
        t.s->FirstChannel = first;
        InitialiseAnalysis(*t.s);
        EXPECT_EQ(t.s->AlyElectrode, shown) << first;
    }
}

TEST(AnalysisWindow, TheEditsAreTheSlowWaveSettingsWhateverTheTypeShown) {
    Analysis t;
    AnalysisFields f = AnalysisFieldsOf(*t.s, "Slow Waves:");
    EXPECT_EQ(f.typeLabel + ": " + f.level + " " + f.width + " " + f.diffDist, "Slow Waves: -100 300 100");
    t.s->CurrentMarkType[1] = Spike;
    f = AnalysisFieldsOf(*t.s, f.typeLabel);
    EXPECT_EQ(f.typeLabel + ": " + f.level, "Spikes: -100");
    t.s->CurrentMarkType[1] = Type3;
    EXPECT_EQ(AnalysisFieldsOf(*t.s, "Spikes").typeLabel, "Spikes");

    EXPECT_TRUE(UpdateAnalysisSettings(t.ctx, " -150", "250 ", "40"));
    // The spike level stays.
    EXPECT_EQ(std::tuple(t.s->Prefs.MinDiffLevel[1], t.s->Prefs.SearchWidth[1], t.s->Prefs.DiffDist[1], t.s->Prefs.MinDiffLevel[2]),
              std::tuple(-150, 250, 40, -200));
    // Nothing changes on text that is not a number or a negative width.
    EXPECT_THROW(UpdateAnalysisSettings(t.ctx, "-90", "1x", "40"), ConversionError);
    EXPECT_FALSE(UpdateAnalysisSettings(t.ctx, "-90", "-1", "40"));
    EXPECT_FALSE(UpdateAnalysisSettings(t.ctx, "-90", "300", "-2"));
    EXPECT_EQ(std::tuple(t.host.beeps, t.s->Prefs.MinDiffLevel[1]), std::tuple(2, -150));
}

TEST(AnalysisWindow, ANewLevelTakesEffectForALaterSnappedMark) {
    Analysis t;
    // A fall of 120 over 50 samples from 1000 on: the difference over 100
    // samples reaches -120.
    for (int k = 1000; k <= 3000; ++k) t.s->Signals.at(k, 17) = -120 * std::min(k - 999, 50) / 50;
    EXPECT_NE(SearchDownstroke(t.ctx, 17, SlowWave, 900, 1200), Missing);
    UpdateAnalysisSettings(t.ctx, "-150", "300", "100");
    EXPECT_EQ(SearchDownstroke(t.ctx, 17, SlowWave, 900, 1200), Missing);

    // The red line moves with the level: y = 140 - round(-150 x 0.01).
    t.s->ActiveDisplay = 1;
    t.s->WindowTime = 4000;
    t.paint();
    EXPECT_EQ(test::Ops(t.box.ops.end() - 2, t.box.ops.end()), (test::Ops{"line 1 142 725 142", "pen 0"}));
}

TEST(AnalysisWindow, BothTracesStopAtTheEndOfTheRecording) {
    Analysis t(6);
    for (int k = 1; k <= 7; ++k) t.s->Signals.at(k, 17) = k <= 6 ? 100 * k * k : 9000000;
    t.s->AverageOffsetOn = false;
    t.s->Prefs.DiffDist[1] = 2;  // difference over samples k - 1 and k + 1
    t.s->BeginTime = 0;
    InitialiseAnalysis(*t.s);
    t.paint();
    ASSERT_EQ(t.box.polylines.size(), 2u);
    // x = round((k + 1) x 0.18125) + 10; y = 60 - round(k^2).
    EXPECT_EQ(pointsOf(t.box.polylines[0]), "10,59 11,56 11,51 11,44 11,35 11,24");
    // Samples 2..5, 140 - round(4 k): the row past the recording is not read.
    EXPECT_EQ(pointsOf(t.box.polylines[1]), "11,132 11,128 11,124 11,120");
    EXPECT_EQ(test::notDrawn(t.box.ops, {"text 4 56 17", "text 4 126  differentiated"}), test::Ops{});

    // With the mean taken off; dots instead of lines.
    t.s->AverageOffsetOn = true;
    t.s->PlotOnlyDots = true;
    t.paint();
    EXPECT_EQ(std::tuple(t.box.polylines.size(), test::notDrawn(t.box.ops, {"line 10 74 11 75"})), std::tuple(0u, test::Ops{}));
    EXPECT_DOUBLE_EQ(t.s->TraceMean, 100.0 * 91 / 6);
}

TEST(AnalysisWindow, CursorReadOutInsideTheRecordingOnly) {
    Analysis t(10);
    t.s->Signals.at(5, 17) = 747;
    t.s->BeginTime = 0;
    InitialiseAnalysis(*t.s);
    // x 11: sample nr 1, row round(1 / 0.18125) - 1 = 5.
    const AnalysisCursor r = AnalysisCursorAt(*t.s, 11);
    EXPECT_EQ(r.sample + "|" + r.time + "|" + r.amplitude + "|" + r.volts,
              " Sample nr: 1| Time: 5| Amplitude: 747| Amplitude: 1.00 mV");
    for (int x : {9, 10, 13}) {  // rows -7, -1 and 16: outside 1..10
        const AnalysisCursor none = AnalysisCursorAt(*t.s, x);
        EXPECT_EQ(none.sample + none.time + none.amplitude + none.volts, "") << x;
    }
}

}  // namespace
}  // namespace vk
