// Marking by hand: the downstroke searches, the marking keys, the grid
// propagation and the clicks, on small hand-made signals; and the
// single-electrogram analysis window whose settings the searches use.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "input/Matrix.h"
#include "electrograms/PanelCursor.h"
#include "electrograms/SingleElectrogram.h"
#include "marks/ManualMarking.h"
#include "shell/KeyMap.h"
#include "marks/MarkStore.h"
#include "session/Errors.h"
#include "shell/Display.h"
#include "support/ElectrogramSession.h"
#include "support/MarkFields.h"

namespace vk {
namespace {

using test::fields;
using test::pointsOf;

struct Bench : test::ElectrogramSession {
    Bench() : ElectrogramSession(3000, 1000, 2, 5) {}
    // A fall of `depth` spread linearly over `width` samples from `at` on.
    void fall(int electrode, int at, int depth, int width = 1) {
        for (int k = at; k <= s->SignalLength; ++k) {
            const int done = std::min(k - at + 1, width);
            s->Signals.at(k, electrode) += -depth * done / width;
        }
    }
    int32_t search(int electrode, int type, int low, int high) {
        return SearchDownstroke(ctx, electrode, type, low, high);
    }
    int marksOn(int electrode) const {
        int n = 0;
        for (int i = 1; i <= s->MarkCount; ++i)
            n += s->MarkTable[static_cast<size_t>(i)].Electrode == electrode && !IsDeleted(s->MarkTable[static_cast<size_t>(i)]);
        return n;
    }
};

TEST(Search, DownstrokesFoundAndRefused) {
    struct Fall {
        int e, at, depth, width;
    };
    struct Case {
        const char* what;
        std::vector<Fall> falls;
        int criteria, rate, e, type, low, high;
        int32_t found;
    };
    const Case cases[] = {
        // The difference over 100 samples falls to -150, then deeper after it recovered: the
        // full fall lies within 100 samples from 999 (1149) on. The first such sample wins.
        {"first dip, criterion 1", {{5, 1000, 150, 50}, {5, 1150, 400, 50}}, 1, 1000, 5, SlowWave, 900, 1200, 999},
        {"first dip, criterion 0", {{5, 1000, 150, 50}, {5, 1150, 400, 50}}, 0, 1000, 5, SlowWave, 900, 1200, 1149},
        // The difference reaches -100 and no lower.
        {"level reached, criterion 0", {{6, 2000, 100, 1}}, 0, 1000, 6, SlowWave, 1850, 2150, Missing},
        {"level reached, criterion 1", {{6, 2000, 100, 1}}, 1, 1000, 6, SlowWave, 1850, 2150, Missing},
        // Near the start the window begins at DiffDist div 2 + 1: row 0, before the recording,
        // is never read. Near the end it stops DiffDist div 2 before the last sample.
        {"start", {{7, 60, 300, 1}}, 1, 1000, 7, SlowWave, -140, 160, 51},
        {"end", {{8, 2990, 300, 1}}, 1, 1000, 8, SlowWave, 2900, 3100, 2940},
        // Spikes use their own distance (10 samples: h = 5) and level (-200).
        {"spike", {{9, 500, 250, 1}}, 1, 1000, 9, Spike, 450, 550, 495},
        // 3000 rows loaded, then 2000 Hz without recomputing the length (a recording opened
        // after the rate was set): an earlier recording's fall at row 3500 is never found;
        // within the loaded rows, row 1951 is 975.5 ms, halves to even.
        {"rows not loaded", {{5, 3500, 300, 1}}, 1, 2000, 5, SlowWave, 1600, 1800, Missing},
        {"ms at 2000 Hz", {{6, 2001, 300, 1}}, 1, 2000, 6, SlowWave, 900, 1100, 976},
    };
    for (const Case& c : cases) {
        Bench t;
        t.s->Signals.at(0, 7) = -99999;
        for (const Fall& f : c.falls) t.fall(f.e, f.at, f.depth, f.width);
        t.s->Prefs.SearchCriteria = c.criteria;
        t.s->SamplingFrequency = c.rate;
        t.s->HighRateMode = c.rate != 1000;
        EXPECT_EQ(t.search(c.e, c.type, c.low, c.high), c.found) << c.what;
        EXPECT_EQ(t.host.beeps, c.found == Missing ? 1 : 0) << c.what;
    }
}

TEST(Search, MarksTooCloseToAnExistingOneAreRefused) {
    Bench t;
    t.s->CurrentElectrode = 5;
    AddMarkRecord(*t.s, 1002, SlowWave, 1);
    // 1000 is 2 ms away, inside 5 div 2; 999 is 3 ms away; then another type, another electrode.
    const std::tuple<int, int16_t, int32_t, int32_t> cases[] = {
        {5, SlowWave, 1000, Missing}, {5, SlowWave, 999, 999}, {5, Spike, 1000, 1000}, {6, SlowWave, 1000, 1000}};
    for (auto [e, type, time, result] : cases)
        EXPECT_EQ(AvoidDoubleMark(*t.s, e, type, time), result) << e << " " << time;
    t.s->Prefs.AvoidDoubleMarks = false;
    EXPECT_EQ(AvoidDoubleMark(*t.s, 5, SlowWave, 1002), 1002);
}

TEST(MarkingKeys, DeleteSwitchReferenceAndUndo) {
    Bench t;
    t.s->CurrentElectrode = 5;
    t.s->CurrentTrace = 1;
    for (auto [time, type, nr] :
         {std::tuple{1000, SlowWave, 1}, {1020, SlowWave, 1}, {1010, Reference, 0}, {1500, Type3, 1}})
        AddMarkRecord(*t.s, time, type, static_cast<int16_t>(nr));
    t.s->CursorTime = 1010;
    DeleteMark(t.ctx);  // +-30 ms: both slow waves and the reference
    EXPECT_EQ(std::tuple(t.marksOn(5), t.host.beeps, t.s->UndoCount), std::tuple(1, 1, 3));
    // Undo brings them back one by one, last deleted first, each with its own type.
    ASSERT_TRUE(UndoLastDeletion(*t.s) && UndoLastDeletion(*t.s));
    EXPECT_EQ(std::pair(fields(t.s->MarkTable[5]), fields(t.s->MarkTable[6])),
              std::pair(fields({5, Reference, 1010, 0, 0, ManualOrigin, 1}), fields({5, SlowWave, 1020, 0, 0, ManualOrigin, 1})));

    // S leaves a type-3 mark alone and does not beep.
    t.s->CursorTime = 1500;
    t.s->MarksChanged = false;
    SwitchMark(t.ctx);
    EXPECT_EQ(std::tuple(t.s->MarkTable[4].MarkType, t.host.beeps, t.s->MarksChanged), std::tuple(Type3, 1, false));
    t.s->CursorTime = 1060;  // within 100 ms of the restored slow wave at 1020
    SwitchMark(t.ctx);
    EXPECT_EQ(t.s->MarkTable[6].MarkType, Spike);

    // R: a reference mark with mark number 0, drawn with its circle.
    t.s->CurrentMarkNr = 9;
    t.s->MouseX = 330;
    t.s->CursorTime = 300;
    InsertReferenceMark(t.ctx);
    EXPECT_EQ(fields(t.s->MarkTable[static_cast<size_t>(t.s->MarkCount)]),
              fields({5, Reference, 300, 0, 0, ManualOrigin, 0}));
    EXPECT_EQ(t.a.ops.back(), "text 335 10 300");
}

TEST(MarkingKeys, RoutedOnlyInsideThePlotAreaInEitherCase) {
    Bench t;
    t.s->CurrentElectrode = 5;
    AddMarkRecord(*t.s, 500, SlowWave, 1);
    AddMarkRecord(*t.s, 700, SlowWave, 1);
    t.s->MouseY = 100;
    // Left of the plot area nothing happens; inside it, d and D delete.
    for (auto [x, cursor, key, left] : {std::tuple{10, 500, 'd', 2}, {530, 500, 'd', 1}, {530, 700, 'D', 0}}) {
        std::tie(t.s->MouseX, t.s->CursorTime) = std::tuple(x, cursor);
        CharacterKey(t.ctx, key);
        EXPECT_EQ(t.marksOn(5), left) << x << key;
    }
    // K clears the electrode over the whole recording.
    AddMarkRecord(*t.s, 100, SlowWave, 1);
    AddMarkRecord(*t.s, 2900, SlowWave, 1);
    CharacterKey(t.ctx, 'k');
    EXPECT_EQ(t.marksOn(5), 0);
}

TEST(MarkingKeys, LettersGoToTheAreaUnderTheMouse) {
    Bench t;
    ApplyMatrix(*t.s, ParseNewMatrix("-2\n4 2 2 1\n\n5 6\n7 8\n", "m.txt"));
    t.s->MouseX = 5;  // outside both areas
    t.s->MouseY = 100;
    EXPECT_FALSE(CharacterKey(t.ctx, 'D'));
    t.s->MouseX = 500;
    EXPECT_TRUE(CharacterKey(t.ctx, 'x'));  // inside the plot area: taken, even when it does nothing
    // Over a map, H acts on the cell under the mouse (what it does: the map tests).
    t.s->DisplayTypeA = 0;
    UpdateDisplayA(t.ctx);
    t.s->MouseX = t.s->MapLeft + t.s->CellWidth / 2;
    t.s->MouseY = t.s->MapTop + t.s->CellHeight / 2;
    EXPECT_TRUE(CharacterKey(t.ctx, 'h'));
    // A click on a map cell makes its electrode the first trace and disarms marking.
    t.s->MarkingArmed = true;
    PanelClick(t.ctx, 1, t.s->MapLeft + t.s->CellWidth + 2, t.s->MapTop + t.s->CellHeight + 2, false);
    EXPECT_EQ(std::tuple(t.s->FirstChannel, t.s->MarkingArmed), std::tuple(8, false));
}

TEST(Clicks, ArmThenMarkAndNothingBetweenRows) {
    Bench t;
    // Row 1 shows electrode 5, its band is 10..260.
    PanelClick(t.ctx, 1, 530, 100, false);
    EXPECT_EQ(std::tuple(t.s->MarkingArmed, t.s->MarkCount), std::tuple(true, 0));
    t.s->CurrentMarkNr = 3;
    PanelClick(t.ctx, 1, 530, 100, false);
    ASSERT_EQ(t.s->MarkCount, 1);
    EXPECT_EQ(std::pair(fields(t.s->MarkTable[1]), t.a.ops[2]), std::pair(fields({5, SlowWave, 500, 0, 0, ManualOrigin, 3}), std::string("line 530 10 530 260")));
    // Below the plot area: nothing, not even a beep.
    PanelClick(t.ctx, 1, 530, 520, false);
    EXPECT_EQ(std::tuple(t.s->MarkCount, t.host.beeps), std::tuple(1, 0));
    // Panel B marks with its own type and its own time window.
    t.s->Tiled = true;
    t.s->CurrentMarkType[2] = Spike;
    t.s->BeginTimeB = t.s->WindowB = 1000;
    PanelClick(t.ctx, 2, 130, 100, false);
    EXPECT_EQ(fields(t.s->MarkTable[2]), fields({5, Spike, 1100, 0, 0, ManualOrigin, 3}));
    EXPECT_FALSE(t.b.ops.empty());
    // A Shift-click searches; nothing to find beeps and adds nothing.
    PanelClick(t.ctx, 1, 530, 100, true);
    EXPECT_EQ(std::tuple(t.s->MarkCount, t.host.beeps), std::tuple(2, 1));
    t.fall(5, 480, 300);
    PanelClick(t.ctx, 1, 530, 100, true);
    EXPECT_EQ(fields(t.s->MarkTable[3]), fields({5, SlowWave, 430, 0, 0, AutomaticOrigin, 3}));
    // A click on a map panel disarms.
    t.s->DisplayTypeB = 0;
    PanelClick(t.ctx, 2, 100, 100, false);
    EXPECT_FALSE(t.s->MarkingArmed);
}

// A row that shows no electrode takes no mark: a click, a Shift-click, R
// and W beep and place nothing, and D, S and K leave the table alone, also
// a mark that a damaged file put on electrode 0.
TEST(Clicks, NothingIsMarkedWhereNoElectrodeIsShown) {
    struct Where {
        const char* name;
        int traceOrder, firstChannel, startCol, y;
    };
    const Where places[] = {
        {"sequential past 256", 0, 256, 1, 400},  // row 2 would be electrode 257
        {"empty grid position", 1, 5, 2, 400},    // row 2 is cell (3, 2), which is empty
        {"between rows", 0, 5, 1, 5},             // above the first row's band
    };
    struct Action {
        const char* name;
        void (*run)(Ctx&);
        int beeps;
    };
    const Action actions[] = {
        {"click", [](Ctx& c) { PanelClick(c, 1, 530, c.s.MouseY, false); }, 1},
        {"shift-click", [](Ctx& c) { PanelClick(c, 1, 530, c.s.MouseY, true); }, 1},
        {"R", InsertReferenceMark, 1},
        {"W", PropagateMark, 1},
        {"D", DeleteMark, 0},
        {"S", SwitchMark, 0},
        {"K", [](Ctx& c) { KillMarks(c.s); }, 0},
    };
    for (const Where& w : places) {
        Bench t;
        ApplyMatrix(*t.s, ParseNewMatrix("-2\n5 3 2 1\n\n1 2 3\n4 5 -1\n", "m.txt"));
        t.s->TraceOrder = w.traceOrder;
        t.s->FirstChannel = w.firstChannel;
        t.s->StartCol = w.startCol;
        t.s->StartRow = t.s->NrTraces = 2;
        for (int e = 1; e <= 5; ++e) t.fall(e, 480, 300);  // every shown electrode has a mark to find
        MarkRecord& orphan = t.s->MarkTable[1];
        for (const Action& a : actions) {
            orphan = MarkRecord{0, SlowWave, 500};
            t.s->MarkCount = 1;
            t.s->MarksChanged = false;
            t.host.beeps = 0;
            MouseMoved(*t.s, 1, 530, w.y);
            ASSERT_TRUE(t.s->CurrentElectrode < 1 || t.s->CurrentElectrode > MaxChannels) << w.name;
            t.s->MarkingArmed = true;
            a.run(t.ctx);
            const std::string what = std::string(w.name) + ", " + a.name;
            EXPECT_EQ(std::tuple(t.s->MarkCount, orphan.Electrode, orphan.MarkType, orphan.Time, t.s->MarksChanged,
                                 t.s->UndoCount, t.host.beeps),
                      std::tuple(1, 0, SlowWave, 500, false, 0, a.beeps))
                << what;
        }
        // The store itself refuses a mark without an electrode.
        AddMarkRecord(*t.s, 700, SlowWave, 1);
        EXPECT_EQ(t.s->MarkCount, 1) << w.name;
    }
}

TEST(Propagation, SpreadsOverTheGridFromTheSeed) {
    Bench t;
    // Three columns, two rows; electrode 1..6 row by row.
    ApplyMatrix(*t.s, ParseNewMatrix("-2\n6 3 2 1\n\n1 2 3\n4 5 -1\n", "m.txt"));
    auto truth = [](int c, int r) { return 1000 + 100 * (c - 1) + 60 * (r - 1); };
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 2; ++r) t.fall(c + 3 * (r - 1), truth(c, r), 300);
    t.fall(6, 500, 300);  // electrode 6 is not on the grid: never searched
    t.s->CurrentElectrode = 1;
    t.s->CursorTime = 990;
    PropagateMark(t.ctx);
    // A sharp fall at T is first reached by the difference at T - 50.
    ASSERT_EQ(t.s->MarkCount, 5);
    for (int i = 1; i <= 5; ++i) {
        const MarkRecord& m = t.s->MarkTable[static_cast<size_t>(i)];
        const int c = (m.Electrode - 1) % 3 + 1, r = (m.Electrode - 1) / 3 + 1;
        EXPECT_EQ(std::tuple(m.Time, m.Origin), std::tuple(truth(c, r) - 50, AutomaticOrigin))
            << "electrode " << m.Electrode;
    }
    // A seed that finds nothing stops at once.
    Bench quiet;
    ApplyMatrix(*quiet.s, ParseNewMatrix("-2\n6 3 2 1\n\n1 2 3\n4 5 -1\n", "m.txt"));
    quiet.fall(2, 1000, 300);
    quiet.s->CurrentElectrode = 1;
    quiet.s->CursorTime = 1000;
    PropagateMark(quiet.ctx);
    EXPECT_EQ(std::tuple(quiet.s->MarkCount, quiet.host.beeps), std::tuple(0, 1));
}

TEST(MarkNumbers, UpAndDownButtons) {
    Bench t;
    StepMarkNr(t.ctx, 1, true);
    StepMarkNr(t.ctx, 1, true);
    EXPECT_EQ(t.s->CurrentMarkNr, 3);
    StepMarkNr(t.ctx, 2, false);  // panel B's own counter
    EXPECT_EQ(std::tuple(t.s->MarkNrB, t.s->CurrentMarkNr), std::tuple(0, 0));
    StepMarkNr(t.ctx, 2, false);
    EXPECT_EQ(t.s->MarkNrB, 0);
}

// The single-electrogram analysis window: opening and electrode stepping,
// the settings it edits and their effect on a later snapped mark, the two
// traces and the level line, and the cursor read-out.
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
