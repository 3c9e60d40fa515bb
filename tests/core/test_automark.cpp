// The automatic slow-wave marker on hand-made signals, its bounds, and the
// analysis view; then how well it finds the waves of the demo recording.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "input/DemoRecording.h"
#include "input/Matrix.h"
#include "marks/AutoMark.h"
#include "marks/MarkStore.h"
#include "shell/Commands.h"
#include "shell/Display.h"
#include "shell/ViewCommands.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace vk {
namespace {

struct Session {
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    test::ScriptedHost host;
    test::RecordingCanvas a{1000, 525};
    Ctx ctx{*s, host, RedrawPanels, &a, nullptr};

    explicit Session(int32_t length = 10000) {
        s->SignalsLoaded = s->FileLoaded = true;
        s->SignalLength = s->NrOfFrames = length;
        s->NrChannelsInFile = 256;
        s->BeginTime = 0;
        s->WindowTime = 1000;
    }
    void set(int e, int32_t from, int32_t to, int32_t value) {
        for (int32_t r = from; r <= to; ++r) s->Signals.at(r, e) = value;
    }
    // Noise of deviation 10 over the first 1000 samples: samples 5..1000
    // sum to 0, so the deviation is sqrt(1000 * 100 / 999) and T = 30.
    void noise(int e) {
        for (int32_t r = 1; r <= 1000; ++r) s->Signals.at(r, e) = (r % 2 == 1) ? 10 : -10;
    }
    std::vector<int32_t> marksOf(int e) const {
        std::vector<int32_t> times;
        for (int i = 1; i <= s->MarkCount; ++i)
            if (s->MarkTable[static_cast<size_t>(i)].Electrode == e) times.push_back(s->MarkTable[static_cast<size_t>(i)].Time);
        return times;
    }
    Detections detect(int e) const {
        Detections d;
        DetectSlowWaves(*s, e, e, &d);
        return d;
    }
};

using Times = std::vector<int32_t>;

TEST(AutoMark, ThresholdRefractoryTimeAndMarks) {
    Session t;
    // 17: a ramp down to -50 and back; a bump as large upward keeps the mean
    // at exactly 0, so -30 is not below the threshold and -31 is.
    t.noise(17);
    for (int k = 0; k <= 50; ++k) {
        t.s->Signals.at(2000 + k, 17) = -k;
        t.s->Signals.at(2100 - k, 17) = -k;
        t.s->Signals.at(6000 + k, 17) = k;
        t.s->Signals.at(6100 - k, 17) = k;
    }
    // 18: two dips 800 samples apart; 19: 1200 apart; 20: a plateau.
    for (int e : {18, 19, 20}) t.noise(e);
    for (auto [e, at] : {std::pair{18, 3000}, {18, 3800}, {19, 3000}, {19, 4200}}) t.set(e, at, at, -50);
    t.set(20, 3000, 5500, -100);
    // 21 stays at zero; 22 is flat over the noise window and dips later;
    // electrodes below 17 are never marked.
    t.set(22, 4000, 4100, -500);
    t.noise(5);
    t.set(5, 3000, 3100, -500);

    const Detections d17 = t.detect(17);
    EXPECT_EQ(std::tuple(d17.mean, d17.threshold), std::tuple(0.0, 30));

    t.s->CurrentMarkType[1] = Spike;
    t.s->CurrentMarkNr = 7;
    EXPECT_EQ(AutoMarkSlowWaves(t.ctx), 7);
    const std::pair<int, Times> expected[] = {{17, {2031}}, {18, {3000}}, {19, {3000, 4200}}, {20, {3000, 4001, 5002}},
                                              {21, {}},     {22, {}},     {5, {}}};
    for (const auto& [e, times] : expected) EXPECT_EQ(t.marksOf(e), times) << e;
    for (int i = 1; i <= t.s->MarkCount; ++i) {
        const MarkRecord& m = t.s->MarkTable[static_cast<size_t>(i)];
        EXPECT_EQ(std::tuple(m.MarkType, m.Origin, m.MarkNr), std::tuple(Spike, AutomaticOrigin, 7)) << i;
    }
    // Slots in electrode order, each electrode's marks in time order.
    EXPECT_EQ(std::tuple(t.s->MarkTable[3].Electrode, t.s->MarkTable[4].Time, t.s->MarksChanged, t.s->WavesOutdated),
              std::tuple(19, 4200, true, true));

    // Progress per electrode, one memo line each, panel hidden at the end.
    EXPECT_EQ(std::tuple(t.host.captions.front(), t.host.captions.back(), t.host.progressSteps, t.host.progressShown),
              std::tuple(" auto marking SW in ele nr = 17", " auto marking SW in ele nr = 256", 240, false));
    ASSERT_EQ(t.s->Memo1.size(), 240u);
    EXPECT_EQ(std::tuple(t.s->Memo1[0], t.s->Memo1[4]), std::tuple("elesub=17 Stdev= 10.01", "elesub=21 Stdev= 0.00"));

    // A second run does not look at the marks already there.
    AutoMarkSlowWaves(t.ctx);
    EXPECT_EQ(t.marksOf(20), Times({3000, 4001, 5002, 3000, 4001, 5002}));
}

TEST(AutoMark, DeviationFromTheStartAndMeanFromTheBeginTime) {
    Session t;
    t.noise(30);
    t.set(30, 1001, 10000, 200);
    const Detections at0 = t.detect(30);
    t.s->BeginTime = 6000;
    const Detections at6000 = t.detect(30);
    EXPECT_EQ(at0.noiseSD, at6000.noiseSD);
    // Samples 6005..10000 are all 200; from sample 5 the noise counts too.
    EXPECT_EQ(at6000.mean, 200.0);
    EXPECT_DOUBLE_EQ(at0.mean, 200.0 * 9000 / 9996);
    // The deviation's centre sums samples 5..W and divides by W.
    t.set(31, 1, 4, 1000);
    t.set(31, 5, 1000, 4);
    const double centre = 996 * 4 / 1000.0;
    EXPECT_NEAR(t.detect(31).noiseSD,
                std::sqrt((4 * (1000 - centre) * (1000 - centre) + 996 * (4 - centre) * (4 - centre)) / 999), 1e-9);
    // A begin time past the end still takes the last sample.
    t.s->BeginTime = 20000;
    EXPECT_EQ(t.detect(30).mean, 200.0);
}

TEST(AutoMark, TheMenuCommandTakesPanelAsWindowWhicheverPanelWasDrawnLast) {
    // A tiled panel B with a short window is drawn after A: the command
    // still uses A's window and begin time, as its preview in A does.
    // Noise of 100 over the first 200 samples and 1 after: over A's 1000
    // samples the threshold is 134, over B's 200 it is 300.
    Session t;
    for (int32_t r = 1; r <= 1000; ++r) t.s->Signals.at(r, 30) = (r % 2 == 1 ? 1 : -1) * (r <= 200 ? 100 : 1);
    t.set(30, 3000, 3000, -200);
    t.s->Tiled = true;
    t.s->WindowA = 1000;
    t.s->WindowB = 200;
    t.s->BeginTimeA = 0;
    t.s->BeginTimeB = 5000;
    UpdateDisplay(t.ctx);
    ASSERT_EQ(t.s->WindowTime, 200);
    AutomaticSWmarking1Click(t.ctx);
    EXPECT_EQ(t.marksOf(30), Times({3000}));
}

TEST(AutoMark, NeverReadsBeyondTheRecording) {
    // What an earlier, longer recording left in the buffer must not count.
    Session t(3000);
    t.noise(40);
    t.set(40, 2000, 2000, -100);
    const Detections reference = [&] {
        t.s->WindowTime = 3000;
        return t.detect(40);
    }();
    t.set(40, 3001, MaxSamples, -30000);
    t.s->WindowTime = MaxSamples;  // longer than the recording: the recording
    const Detections d = t.detect(40);
    EXPECT_EQ(std::tuple(d.noiseSD, d.mean, d.count, d.samples[0]),
              std::tuple(reference.noiseSD, reference.mean, 1, 2000));

    // Shorter than 5 samples: nothing to scan, and a window of one sample
    // gives no deviation rather than a division by zero.
    Session tiny(4);
    tiny.set(40, 1, 2, 10);
    tiny.set(40, 3, 4, -1000);
    tiny.set(40, 5, 100, -30000);
    EXPECT_GT(tiny.detect(40).noiseSD, 0.0);
    EXPECT_EQ(AutoMarkSlowWaves(tiny.ctx), 0);
    tiny.s->WindowTime = 1;
    EXPECT_EQ(tiny.detect(40).noiseSD, 0.0);
    Session empty(0);
    empty.set(40, 1, 100, -1000);
    EXPECT_EQ(AutoMarkSlowWaves(empty.ctx), 0);
}

TEST(AutoMark, ChannelsTimesAndAFullTable) {
    // Channels above those of the file hold the next frame's samples, not
    // an electrode: they are not marked.
    Session t;
    t.s->NrChannelsInFile = 24;
    for (int e : {24, 25}) {
        t.noise(e);
        t.set(e, 3000, 3000, -100);
    }
    EXPECT_EQ(AutoMarkSlowWaves(t.ctx), 1);
    EXPECT_EQ(std::tuple(t.marksOf(24), t.host.captions.back()),
              std::tuple(Times({3000}), std::string(" auto marking SW in ele nr = 24")));

    // At another sampling rate the mark is at the millisecond of the sample.
    Session fast;
    fast.s->SamplingFrequency = 2000;
    fast.s->HighRateMode = true;
    fast.noise(17);
    fast.set(17, 4002, 4002, -100);
    AutoMarkSlowWaves(fast.ctx);
    EXPECT_EQ(fast.marksOf(17), Times({2001}));

    // A full table drops the rest silently.
    Session full;
    full.s->MarkCount = MaxMarks - 1;
    for (int e : {17, 18}) {
        full.noise(e);
        full.set(e, 3000, 3000, -100);
    }
    EXPECT_EQ(AutoMarkSlowWaves(full.ctx), 1);
    EXPECT_EQ(std::tuple(full.s->MarkCount, full.s->MarkTable[MaxMarks].Electrode), std::tuple(MaxMarks, uint16_t{17}));
}

TEST(AnalysisView, TicksMarksDifferenceAndThreshold) {
    Session t;
    t.s->PanelAWidth = 1070;  // plot 1000 x 500: five rows of 100 pixels
    t.s->PanelAHeight = 550;
    t.s->TraceOrder = 0;
    t.s->FirstChannel = t.s->CurrentElectrode = 17;
    t.s->WindowA = 4000;
    t.s->Amplification = 1.0;
    t.noise(17);
    // 2400 lies inside the refractory time (no tick), 8000 outside the window.
    for (int at : {2000, 2400, 3600, 8000}) t.set(17, at, at, -100);
    AddMarkRecord(*t.s, 1000, SlowWave, 1);

    ChooseAnalyse(t.ctx);
    const auto& ops = t.a.ops;
    auto has = [&](const std::string& op) { return std::find(ops.begin(), ops.end(), op) != ops.end(); };
    EXPECT_EQ(t.s->NrTraces, 5);
    // The deviation now runs over the 4000 samples of the window.
    EXPECT_EQ(t.s->Memo1.back(), "elesub=17 Stdev= 5.70");
    // Ticks through row 1 (centre 60) at x = round((s + 1) / 4) + 30.
    EXPECT_EQ(test::notDrawn(ops, {"line 530 35 530 85", "line 930 35 930 85", "line 280 10 280 110", "text 4 156 17"}),
              test::Ops{});
    EXPECT_FALSE(has("line 630 35 630 85"));
    EXPECT_EQ(std::count_if(ops.begin(), ops.end(), [](const std::string& o) { return o.find(" 35 ") != std::string::npos && o.find(" 85") != std::string::npos; }), 2);
    // Besides the mark of row 1 and the electrode number of row 2 above, two
    // polylines: the noisy trace of 4000 samples on 1000 pixel columns, from
    // at most four points a column, and the difference.
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "polyline 2255"), 1);
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "polyline 3950"), 1);  // samples 51..4000
    // The red threshold, last: 60 + round(3 x 5.701 x 1) = 77.
    auto threshold = [&] {
        const auto red = std::find(ops.rbegin(), ops.rend(), "pen " + std::to_string(clRed));
        return red == ops.rend() ? std::string() : *(red - 1);
    };
    EXPECT_EQ(threshold(), "line 30 77 1030 77");
    // The line lies three deviations below the row centre at the panel's
    // amplification, rounded once: 60 + round(3 x 5.701 x 2.5) = 103.
    t.s->Amplification = 2.5;
    UpdateDisplay(t.ctx);
    EXPECT_EQ(threshold(), "line 30 103 1030 103");
    t.s->Amplification = 1.0;

    // "Electrograms" returns to the traces, five of them now.
    ChooseElectrograms(t.ctx, 1);
    EXPECT_EQ(t.s->ElgViewMode, 0);
    // The noisy trace and four flat ones, from the two ends of each column.
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "polyline 2255"), 1);
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "polyline 2002"), 4);

    // At 2000 Hz a window of 2000 ms is the same 4000 rows: the same
    // deviation and ticks, and the threshold across the whole window.
    t.s->SamplingFrequency = 2000;
    t.s->HighRateMode = true;
    t.s->WindowA = 2000;
    t.a.ops.clear();
    ChooseAnalyse(t.ctx);
    EXPECT_EQ(t.s->Memo1.back(), "elesub=17 Stdev= 5.70");
    EXPECT_EQ(test::notDrawn(ops, {"line 530 35 530 85", "line 930 35 930 85"}), test::Ops{});
    EXPECT_EQ(threshold(), "line 30 77 1030 77");
}

TEST(AutoMark, TimesBecomeRowsAtTheSamplingRate) {
    // WindowTime 1000 ms and BeginTime 2000 ms are rows 500/2000 and
    // 1000/4000 at 500/2000 Hz: the deviation is taken over those rows, the
    // mean from the begin row + 5.
    for (const int rate : {500, 1000, 2000}) {
        SCOPED_TRACE(rate);
        Session t(20000);
        SetSamplingFrequency(*t.s, rate);
        t.s->WindowTime = 1000;
        t.s->BeginTime = 2000;
        const int32_t window = rate, begin = 2 * rate;
        for (int32_t r = 1; r <= 20000; ++r) t.s->Signals.at(r, 30) = r <= window ? (r % 2 == 1 ? 10 : -10) : 50;
        t.set(30, begin + 5, 20000, 80);
        const Detections d = t.detect(30);
        EXPECT_DOUBLE_EQ(d.noiseSD, std::sqrt(window * 100.0 / (window - 1)));
        EXPECT_EQ(d.mean, 80.0);
    }
}

// The demo recording written at a rate, opened and set to that rate as
// General > "Sampling Frequency" does, then marked.
struct DemoRun {
    int rate;
    bool longerFirst;  // the 1000 Hz demo (twice as many frames) opened before it
    int32_t length;    // SignalLength, ms: one frame more than written, at the rate
};

TEST(AutoMark, FindsTheWavesOfTheDemoRecordingAtEveryRate) {
    test::TempDir dir;
    const std::string longer = WriteDemoRecording(dir.file("long")).recording;
    for (const DemoRun run : {DemoRun{500, false, 60002}, DemoRun{1000, false, 60001}, DemoRun{2000, false, 30000}, DemoRun{500, true, 60002}}) {
        SCOPED_TRACE(testing::Message() << run.rate << " Hz" << (run.longerFirst ? " after a longer recording" : ""));
        const DemoFiles files = WriteDemoRecording(dir.file(std::to_string(run.rate)), run.rate);
        Session t;
        t.s->DataRoot = dir.file("root");
        UseNewMatrix(*t.s, files.matrix);
        OpenOptions options;
        options.updateRecentList = options.askForMissingMatrix = options.createMarkFile = false;
        // The longer recording leaves its waves in the rows past the shorter one.
        if (run.longerFirst) {
            ASSERT_TRUE(OpenElectrogramFile(t.ctx, longer, options));
        }
        ASSERT_TRUE(OpenElectrogramFile(t.ctx, files.recording, options));
        ResetViewAfterLoad(*t.s);
        SetSamplingFrequency(*t.s, run.rate);
        EXPECT_EQ(t.s->SignalLength, run.length);
        UpdateDisplay(t.ctx);
        AutoMarkSlowWaves(t.ctx);

        // Smoothing on load moves every wave 10.5 samples earlier.
        const double shift = 10.5 * 1000.0 / run.rate;
        int found = 0, unmatched = 0, latest = 0;
        std::vector<bool> hit(static_cast<size_t>(DemoWaves * DemoColumns * DemoRows), false);
        for (int i = 1; i <= t.s->MarkCount; ++i) {
            const MarkRecord& m = t.s->MarkTable[static_cast<size_t>(i)];
            latest = std::max(latest, int{m.Time});
            const int k = (m.Electrode - DemoFirstElectrode) % DemoColumns + 1;
            const int r = (m.Electrode - DemoFirstElectrode) / DemoColumns + 1;
            bool matched = false;
            for (int w = 1; w <= DemoWaves && r <= DemoRows; ++w) {
                if (std::abs(m.Time - (DemoActivationTime(w, k, r, run.rate) - shift)) > 100) continue;
                matched = true;
                const auto slot = static_cast<size_t>(((w - 1) * DemoRows + r - 1) * DemoColumns + k - 1);
                if (!hit[slot]) ++found;
                hit[slot] = true;
            }
            if (!matched) ++unmatched;
        }
        const int all = DemoWaves * DemoColumns * DemoRows;
        EXPECT_EQ(std::tuple(found, unmatched, t.s->MarkCount), std::tuple(all, 0, all));
        EXPECT_LE(latest, t.s->SignalLength);
    }
}

TEST(AutoMark, ARecordingWithoutElectrode17SaysSoAndMarksNothing) {
    // Text imports of 16 channels or fewer; 17 channels scan electrode 17.
    for (const int channels : {16, 1, 17}) {
        Session t;
        t.s->NrChannelsInFile = channels;
        for (int e = 1; e <= channels; ++e) {
            t.noise(e);
            t.set(e, 3000, 3000, -200);
        }
        AutomaticSWmarking1Click(t.ctx);
        const bool none = channels < AutoMarkFirstElectrode;
        EXPECT_EQ(t.host.messages, none ? std::vector<std::string>{AutoMarkNoElectrodesText} : std::vector<std::string>{})
            << channels;
        EXPECT_EQ(std::tuple(t.s->MarkCount, t.host.captions.empty()), std::tuple(none ? 0 : 1, none)) << channels;
    }
    EXPECT_STREQ(AutoMarkNoElectrodesText, "Automatic marking scans electrodes 17 to 256; this recording has none");
}

}  // namespace
}  // namespace vk
