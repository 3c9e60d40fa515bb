// The activation detector: exact activation times on small synthetic
// recordings, the rhythm it resolves its defaults from, its marks in the
// mark store (replace, undo) and the ms-to-row conversions at 500, 1000
// and 2000 Hz.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "electrograms/Detector.h"
#include "input/DemoRecording.h"
#include "marks/MarkStore.h"
#include "shell/ViewCommands.h"
#include "support/FileSession.h"

namespace vk {
namespace {

// A slow wave as the demo draws it: positive before the activation, the
// steepest fall at it, a slow return after.
double wave(double ms, double at, double amplitude = 1500) {
    const double x = ms - at;
    return -amplitude * std::tanh(x / 25) * std::exp(-(x / 350) * (x / 350));
}

// Activation times (ms) every `period` ms from `first`, and the session
// they are drawn into at `rate` Hz on the channels given, each with its
// own sign and additions.
struct Recording {
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    std::vector<double> times;

    Recording(int rate, double first, double period, int rows) {
        SetSamplingFrequency(*s, rate);
        s->NrOfFrames = rows;
        s->SignalLength = static_cast<int32_t>(std::llround(rows * 1000.0 / rate));
        s->NrChannelsInFile = 4;
        for (double t = first; t < s->SignalLength - 1000; t += period) times.push_back(t);
    }
    template <class Extra>
    void draw(int channel, double sign, Extra extra) {
        for (int r = 1; r <= s->NrOfFrames; ++r) {
            const double ms = r * 1000.0 / s->SamplingFrequency;
            double v = 0;
            for (double t : times) v += wave(ms, t);
            s->Signals.at(r, channel) = static_cast<int32_t>(std::lround(sign * v + extra(r, ms)));
        }
    }
    std::vector<int32_t> marksOf(int channel) const {
        std::vector<int32_t> out;
        for (int i = 1; i <= s->MarkCount; ++i) {
            const MarkRecord& m = s->MarkTable[static_cast<size_t>(i)];
            if (!IsDeleted(m) && m.Electrode == channel) out.push_back(m.Time);
        }
        return out;
    }
};

TEST(Detector, ExactTimesUnderDriftOffsetArtefactAndEitherPolarity) {
    Recording rec(1000, 4000.0, 10000.0, 60000);
    const std::vector<int32_t> truth = {4000, 14000, 24000, 34000, 44000, 54000};
    rec.draw(1, 1, [](int, double) { return 0.0; });
    rec.draw(2, 1, [](int, double ms) { return 900 * std::sin(ms / 70000 * 6.283) + 20000; });  // drift, offset
    rec.draw(3, 1, [](int r, double) { return r == 29000 || r == 29001 ? 9000.0 : 0.0; });     // an artefact spike
    rec.draw(4, -1, [](int, double) { return 0.0; });                                           // upside down
    DetectOptions o;
    o.channels = {1, 2, 3};
    DetectResult r = DetectActivations(*rec.s, o);
    EXPECT_EQ(r.marksAdded, 18);
    for (int c : {1, 2, 3}) EXPECT_EQ(rec.marksOf(c), truth) << "channel " << c;
    const ChannelDetection& d = r.channels[0];
    EXPECT_NEAR(d.dominantCpm, 6.0, 0.05);
    EXPECT_NEAR(d.minIntervalMs, 7000, 60);
    EXPECT_NEAR(d.bandLowHz, 0.05, 0.001);
    EXPECT_NEAR(d.bandHighHz, 2.0, 0.002);  // twenty times the rhythm
    // The inverted channel's activations are its steepest rises.
    o.channels = {4};
    o.positive = true;
    DetectActivations(*rec.s, o);
    EXPECT_EQ(rec.marksOf(4), truth);
    // Every mark is an automatic slow wave with the current mark number.
    rec.s->CurrentMarkNr = 7;
    o.markType = Spike;
    DetectActivations(*rec.s, o);
    const MarkRecord& last = rec.s->MarkTable[static_cast<size_t>(rec.s->MarkCount)];
    EXPECT_EQ(std::vector<int>({last.MarkType, last.Origin, last.MarkNr, last.Electrode}), std::vector<int>({Spike, 2, 7, 4}));
}

TEST(Detector, WindowAndRowsAtEveryRate) {
    for (int rate : {500, 1000, 2000}) {
        Recording rec(rate, 3000.5, 8000.0, 60000 * rate / 2000);
        rec.draw(1, 1, [](int, double) { return 0.0; });
        DetectOptions o;
        o.channels = {1};
        o.beginMs = 10000;
        o.windowMs = 12000;
        const DetectRows rows = DetectWindowRows(*rec.s, o);
        EXPECT_EQ(rows.first, 10 * rate);
        EXPECT_EQ(rows.last, 22 * rate);
        o.bandLowHz = 0.05;
        o.bandHighHz = 5.0;
        o.minIntervalMs = 3000;
        DetectActivations(*rec.s, o);
        // Only the waves inside 10000..22000 ms, at their ms.
        EXPECT_EQ(rec.marksOf(1), std::vector<int32_t>({11000, 19000})) << rate;
        EXPECT_EQ(DetectionTime(*rec.s, rows, 0.5), std::nearbyint((10 * rate + 0.5) * 1000.0 / rate)) << rate;
    }
}

TEST(Detector, DefaultsResolveFromTheRhythmAt10And2000Hz) {
    struct Case {
        int rate;
        double cpm, bandHigh;
    };
    for (const Case c : {Case{10, 3.0, 1.0}, Case{2000, 20.0, 2.0}}) {
        const int rows = c.rate == 10 ? 6000 : 60000;  // 600 s and 30 s
        const double period = 60000 / c.cpm;
        std::vector<double> x(static_cast<size_t>(rows));
        for (int i = 0; i < rows; ++i) {
            const double ms = i * 1000.0 / c.rate;
            // A smooth wave at 10 Hz (as on the skin), sharp deflections at 2000 Hz.
            x[static_cast<size_t>(i)] = c.rate == 10 ? 100 * std::cos(6.283185307179586 * ms / period) + 3 * std::sin(ms * 0.37)
                                                     : wave(std::fmod(ms, period), period / 2);
        }
        const ChannelDetection d = DetectChannel(x.data(), x.size(), c.rate, DetectOptions{});
        ASSERT_TRUE(d.rhythmFound) << c.rate;
        EXPECT_NEAR(d.dominantCpm, c.cpm, 0.02 * c.cpm) << c.rate;
        EXPECT_NEAR(d.minIntervalMs, 0.7 * period, 0.02 * period) << c.rate;
        EXPECT_NEAR(d.bandLowHz, c.cpm / 120, 0.02 * c.cpm / 120) << c.rate;
        EXPECT_NEAR(d.bandHighHz, c.bandHigh, 0.001) << c.rate;
        EXPECT_EQ(static_cast<int>(d.positions.size()), static_cast<int>(std::floor(rows * 1000.0 / c.rate / period))) << c.rate;
    }
    // A flat channel, and one without a rhythm in the range, get nothing.
    const std::vector<double> flat(5000, 20000.0);
    EXPECT_TRUE(DetectChannel(flat.data(), flat.size(), 1000, DetectOptions{}).flat);
    std::vector<double> ramp(5000);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<double>(i);
    const ChannelDetection none = DetectChannel(ramp.data(), ramp.size(), 1000, DetectOptions{});
    EXPECT_FALSE(none.rhythmFound);
    EXPECT_TRUE(none.positions.empty());
}

TEST(Detector, ReplaceKeepsManualAndReferenceMarksAndUndoIsOneStep) {
    Recording rec(1000, 4000.0, 10000.0, 60000);
    rec.draw(1, 1, [](int, double) { return 0.0; });
    rec.s->CurrentElectrode = 1;
    rec.s->MarkOrigin = ManualOrigin;
    AddMarkRecord(*rec.s, 4100, SlowWave, 1);   // manual
    AddMarkRecord(*rec.s, 5000, Reference, 1);  // reference
    DetectOptions o;
    o.channels = {1};
    o.replace = true;
    DetectionUndo undo = SnapshotMarks(*rec.s);
    const DetectResult first = DetectActivations(*rec.s, o);
    FinishUndo(*rec.s, undo);
    const DetectResult second = DetectActivations(*rec.s, o);
    EXPECT_EQ(std::vector<int>({first.marksAdded, first.marksRemoved, second.marksAdded, second.marksRemoved}),
              std::vector<int>({6, 0, 6, 6}));
    EXPECT_EQ(rec.marksOf(1), std::vector<int32_t>({4100, 5000, 4000, 14000, 24000, 34000, 44000, 54000}));
    // The second run changed the table: the first can no longer be undone.
    EXPECT_FALSE(CanUndoDetection(*rec.s, undo));
    // As the window runs it: one step. A run stopped after its first group
    // puts the table back, and the step before it stays undoable.
    ASSERT_TRUE(DetectAsOneStep(*rec.s, o, undo, [](int, int, int) { return true; }));
    const std::vector<int32_t> kept = rec.marksOf(1);
    const int32_t count = rec.s->MarkCount;
    rec.s->Memo1.clear();
    EXPECT_FALSE(DetectAsOneStep(*rec.s, o, undo, [](int, int, int) { return false; }));
    EXPECT_EQ(rec.marksOf(1), kept);
    EXPECT_EQ(rec.s->MarkCount, count);
    EXPECT_EQ(rec.s->Memo1.size(), 1u);
    EXPECT_EQ(rec.s->Memo1.back(), "Detection cancelled after 1 of 1 channels; the marks are as before the run");
    ASSERT_TRUE(UndoDetection(*rec.s, undo));
    EXPECT_EQ(rec.s->MarkCount, 14);
    EXPECT_FALSE(UndoDetection(*rec.s, undo));
}

// Beyond the block the noisiest demo has two waves a minute on a channel,
// and the pink noise's slopes outnumber their downstrokes: the rhythm must
// still be theirs, and the marks exactly the waves (these two channels once
// took chance noise peaks at 44 and 58 cycles per minute for it).
TEST(Detector, FewWavesInPinkNoiseKeepTheirRhythm) {
    test::FileSession t(500);
    const DemoFiles files = WriteDemoRecording(t.dir.file("demo"), 500, 3, 1);
    UseNewMatrix(*t.s, files.matrix);
    OpenOptions options;
    options.updateRecentList = options.askForMissingMatrix = options.createMarkFile = false;
    ASSERT_TRUE(OpenElectrogramFile(t.ctx, files.recording, options));
    ResetViewAfterLoad(*t.s);
    SetSamplingFrequency(*t.s, 500);
    const DetectRows rows = DetectWindowRows(*t.s, DetectOptions{});
    for (const int column : {15, 14}) {
        const int row = column == 15 ? 3 : 6;
        const ChannelDetection d =
            DetectSignalChannel(*t.s, DemoFirstElectrode + (row - 1) * DemoColumns + column - 1, DetectOptions{});
        SCOPED_TRACE(column);
        EXPECT_NEAR(d.dominantCpm, 3, 0.5);
        std::vector<double> truth;
        for (int w = 1; w <= DemoWaves; ++w)
            if (const double at = DemoActivationTimeWithNoise(w, column, row, 500, 3); at >= 0) truth.push_back(at);
        ASSERT_EQ(d.positions.size(), truth.size());
        for (size_t i = 0; i < truth.size(); ++i) EXPECT_NEAR((rows.first + d.positions[i]) * 2, truth[i], 5) << i;
    }
}

}  // namespace
}  // namespace vk
