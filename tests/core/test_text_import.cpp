// The text recording imports: how numbers are read and rounded, the layouts
// of the four formats, and the commands (window, NI questions, refusals,
// cuts, mark files, and leaving the open recording alone on Cancel or error).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "input/TextImport.h"
#include "marks/MarkFile.h"
#include "session/Errors.h"
#include "session/SampleTime.h"
#include "session/Format.h"
#include "session/TextFiles.h"
#include "shell/Commands.h"
#include "shell/Display.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace vk {
namespace {

std::vector<int32_t> read(const std::string& text, TextFormat f, int channels, int samples, int headerLines = 0) {
    std::vector<int32_t> out;
    ReadTextSamples(text, LayoutOf(f, channels, samples, headerLines, 1000), out);
    return out;
}

// Lines of `channels` values; value(n, c) for line n (1-based), channel c.
template <class F>
std::string lines(int n, int channels, F value, const std::string& prefix = "") {
    std::string t = "h1\nh2\nh3\n";
    for (int i = 1; i <= n; ++i) {
        t += prefix;
        for (int c = 1; c <= channels; ++c) t += std::to_string(value(i, c)) + (c < channels ? "\t" : "\r\n");
    }
    return t;
}

TEST(TextRecording, NumbersRoundHalfToEvenAfterTheFactorAndShortFilesReadZeros) {
    // Nashville (factor 1): 12.6, 12.5, 13.5, signs, exponent; a value may
    // stand on the next line; the rest of a line is skipped.
    EXPECT_EQ(read("a\nb\nc\n12.6 12.5 13.5 x\n-2.5 +3.5 1E2 more\n-8.3e-05\n1.5", TextFormat::Nashville, 3, 4),
              (std::vector<int32_t>{13, 12, 14, -2, 4, 100, 0, 2, 0, 0, 0, 0}));
    // NI and Manchester: two fixed fields of 11 and 12 bytes, then values times 1,000,000.
    EXPECT_EQ(read("\n\n\n01/02/2009 12:00:00.123-8.32643563e-05 0.0000124 junk\nshort\n0.0000136\n",
                   TextFormat::Manchester, 2, 2),
              (std::vector<int32_t>{-83, 12, 14, 0}));
    // Auckland: one stream, any line breaks, times the units per millivolt.
    const std::string one = "x\n0.001\n-0.002\n0.0004\n0.0016\n", broken = "x\n0.001 -0.002\n\n0.0004\t0.0016";
    EXPECT_EQ(read(one, TextFormat::Auckland, 2, 2, 1), read(broken, TextFormat::Auckland, 2, 2, 1));
    EXPECT_EQ(read(broken, TextFormat::Auckland, 2, 2, 1), (std::vector<int32_t>{1, -2, 0, 2}));
    for (const char* bad : {"12a", "1e999", "nan", "-"}) {
        try {
            read(std::string("\n\n\n1 ") + bad, TextFormat::Nashville, 2, 1);
            ADD_FAILURE() << bad;
        } catch (const ConversionError& e) {
            EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(read("\n\n\n01/02/2009 12:00:00.000 3000", TextFormat::NI, 1, 1), ConversionError);  // 3e9 does not fit a sample
    EXPECT_EQ(ImportMarkFileName("/d/run1.txt") + ImportMarkFileName("/d.x/a1.tx") + ImportMarkFileName("/d.x/a"),
              "/d/run1.Mxt/d.x/a1.Mxt/d.x/a.Mxt");
}

TEST(TextRecording, AucklandHeaderSaysHowManyLinesPrecedeTheData) {
    const std::string text = "12\n2 ch\n3\n500.4\n0.0125\nM64.txt\nfirst run\nx\ny y\nz\n11\n12\n1 2 3\n4 5 6";
    const AucklandHeader h = ReadAucklandHeader(text);
    EXPECT_EQ(h.HeaderLines * 1000 + h.NrChannels * 100 + h.NrSamples * 10, 12230);
    EXPECT_EQ(h.SamplingRate, 500);
    EXPECT_EQ(h.Calibration, 0.0125);
    // The window and the memo show the header's reals in the general format.
    for (auto [v, text] : {std::pair{0.0125, "0.0125"}, {1e-5, "1E-5"}, {-2.5e-7, "-2.5E-7"}, {500.4, "500.4"},
                           {1e20, "1E20"}, {1234567.0, "1234567"}, {0.001, "0.001"}, {0.0, "0"}})
        EXPECT_EQ(GeneralFloat(v), text) << v;
    EXPECT_EQ(h.MatrixName + "|" + h.Comments, "M64.txt|first run");
    EXPECT_EQ(read(text, TextFormat::Auckland, 2, 3, h.HeaderLines), (std::vector<int32_t>{1000, 2000, 3000, 4000, 5000, 6000}));
}

struct Fixture {
    test::TempDir dir;
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    test::ScriptedHost host;
    test::RecordingCanvas a, b;
    Ctx ctx{*s, host, RedrawPanels, &a, &b};
    Fixture() {
        s->DataRoot = dir.file("root");
        StartUp(ctx);
    }
    ImportResult ok(int type, const std::string& path, ImportEdits e) {
        EXPECT_TRUE(LoadImportFile(ctx, type, path));
        (type == 4 ? s->ImportF.Nashville : s->ImportF.Manchester) = e;
        return ImportOkClick(ctx);
    }
    // What must not change when an import does not happen.
    std::string snapshot() const {
        return s->FileName + "|" + s->MarkFileName + "|" + std::to_string(s->SignalLength) + "|" +
               std::to_string(s->NrTraces) + "|" + std::to_string(s->MarkCount) + "|" + std::to_string(s->NrColumns) +
               "|" + std::to_string(s->Signals.at(2, 3));
    }
};

TEST(TextImport, NashvilleCutsTo65500AtTheRateGivenAndSetsASingleRow) {
    Fixture f;
    const std::string path = f.dir.write("big.txt", lines(70000, 2, [](int n, int c) { return n * 10 + c; }));
    EXPECT_EQ(f.ok(4, path, {"2", "70000", "2000", "M.txt"}).outcome, ImportOutcome::Loaded);
    const SessionState& s = *f.s;
    EXPECT_EQ(f.host.beeps, 1);
    EXPECT_TRUE(s.ImportF.Warning);
    EXPECT_EQ(TruncatedText(s), "*** The file will be truncated to 65500 samples ***");
    EXPECT_EQ(std::vector<int32_t>({s.NrSamples, s.SignalLength, s.WindowA, s.NrTraces, s.Signals.at(65500, 2),
                                    s.Signals.at(65501, 2), s.Signals.at(1, 3), s.NrColumns, s.ElectrodeCol[2],
                                    s.ElectrodeRow[2], s.TraceOrder, s.FirstChannel}),
              std::vector<int32_t>({65500, 32750, 32750, 2, 655002, 0, 0, 16, 2, 1, 0, 1}));
    EXPECT_TRUE(s.HighRateMode && s.FileLoaded && !s.ImportF.Shown);
    EXPECT_EQ(s.MatrixFileName, MyNewMatrixDir(s) + "/M.txt");
    EXPECT_EQ(f.host.progressSteps, 655);
    EXPECT_EQ(f.host.captions.back(), "reading line nr = 65500");
}

// The largest count is taken whole without a word; one line more is cut
// with the beep and the warning, at any rate.
TEST(TextImport, ExactlyTheLargestCountIsNotCut) {
    for (const auto& [samples, rate, cut] : {std::tuple(65500, 2000, false), std::tuple(65501, 500, true)}) {
        SCOPED_TRACE(samples);
        Fixture f;
        const std::string file = f.dir.write("edge.txt", lines(samples, 1, [](int n, int) { return n % 1000; }));
        ASSERT_EQ(f.ok(4, file, {"1", std::to_string(samples), std::to_string(rate), "M"}).outcome, ImportOutcome::Loaded);
        const SessionState& s = *f.s;
        EXPECT_EQ(std::tuple(f.host.beeps, s.ImportF.Warning, s.NrSamples, s.NrOfFrames, s.Signals.at(65500, 1), s.SignalLength, RecordingRows(s)),
                  std::tuple(cut ? 1 : 0, cut, 65500, 65500, 500, 65500 * 1000 / rate, 65500));
    }
}

TEST(TextImport, MarksLiveInTheMxtFileAndComeBackOnTheNextImport) {
    Fixture f;
    const std::string path = f.dir.write("run1.txt", lines(5, 64, [](int n, int) { return n; }, "01/02/2009 12:00:00.000 "));
    EXPECT_EQ(f.ok(6, path, {"64", "5", "1000", "x"}).outcome, ImportOutcome::Loaded);
    EXPECT_FALSE(f.s->HighRateMode);
    EXPECT_EQ(f.s->SignalLength * 1000 + f.s->Signals.at(5, 64) / 1000000, 5005);
    EXPECT_TRUE(fileExists(f.dir.file("run1.Mxt")));
    f.s->MarkCount = 1;
    f.s->MarkTable[1] = MarkRecord{};
    f.s->MarkTable[1].Electrode = 7;
    f.s->MarkTable[1].Time = 3;
    WriteMarkFile(*f.s);
    f.s->MarkCount = 0;
    EXPECT_EQ(f.ok(6, path, {"64", "5", "1000", "x"}).outcome, ImportOutcome::Loaded);
    EXPECT_EQ(f.s->MarkCount * 100 + f.s->MarkTable[1].Electrode * 10 + f.s->MarkTable[1].Time, 173);
    EXPECT_EQ(f.s->MarkFileName, f.dir.file("run1.Mxt"));
}

TEST(TextImport, CancelRefusalsAndDamagedFilesLeaveTheOpenRecording) {
    Fixture f;
    const std::string good = f.dir.write("a.dat", lines(4, 3, [](int n, int c) { return n * 10 + c; }));
    ASSERT_EQ(f.ok(4, good, {"3", "4", "1000", "m"}).outcome, ImportOutcome::Loaded);
    const std::string before = f.snapshot();
    const std::string bad = f.dir.write("b.txt", "\n\n\n1 2 3\n4 x 6\n");
    // Refused: channels above 256, no samples below 0, a rate of 0; the window stays open.
    const std::pair<ImportEdits, int> refused[] = {
        {{"257", "2", "1000", "m"}, 1}, {{"3", "-1", "1000", "m"}, 2}, {{"3", "2", "0", "m"}, 3}};
    for (const auto& [edits, field] : refused) {
        const ImportResult r = f.ok(4, bad, edits);
        EXPECT_EQ(int(r.outcome) * 10 + r.field, int(ImportOutcome::Refused) * 10 + field);
        EXPECT_TRUE(f.s->ImportF.Shown);
    }
    EXPECT_EQ(f.host.beeps, 3);
    EXPECT_EQ(f.ok(4, bad, {"3", "2", "1000", "m"}).outcome, ImportOutcome::Stopped);  // "x"
    EXPECT_EQ(f.ok(4, bad, {"3", "2a", "1000", "m"}).outcome, ImportOutcome::Stopped);
    EXPECT_EQ(f.host.errors.size(), 2u);
    EXPECT_TRUE(LoadImportFile(f.ctx, 5, f.dir.write("c.txt", "10\n3\n2\n1000\n1\nm\nc\n\n\n\n1 2 3 4 5 6")));
    ImportCancelClick(f.ctx);
    // NI: Cancel at either question; a length above the buffer is asked again.
    f.host.inputs = {std::nullopt, "60000", std::nullopt, "60000", "70000", "2"};
    EXPECT_FALSE(ReadNITextFile(f.ctx, bad));
    EXPECT_FALSE(ReadNITextFile(f.ctx, bad));
    EXPECT_FALSE(ReadNITextFile(f.ctx, bad));  // 70000 beeps; the 2 lines read stop at "x"
    EXPECT_EQ(f.host.beeps, 4);
    EXPECT_EQ(f.snapshot(), before);
    EXPECT_FALSE(fileExists(f.dir.file("b.Mxt")));
}

TEST(TextImport, NiReadsTheLinesAskedForWithItsMemoAndRow64Layout) {
    Fixture f;
    f.s->SamplingFrequency = 500;
    f.s->HighRateMode = true;
    const std::string path = f.dir.write("ni.txt", lines(3, 64, [](int n, int c) { return c == 64 ? n : 0; },
                                                         "2009/01/02 12:00:00.123 "));
    f.host.inputs = {"1000", "2"};
    ASSERT_TRUE(ReadNITextFile(f.ctx, path));
    const SessionState& s = *f.s;
    EXPECT_EQ(s.NIFileName + "|" + s.FileName, path + "|");
    EXPECT_NE(std::find(s.Memo1.begin(), s.Memo1.end(), "2   0  2"), s.Memo1.end());
    EXPECT_EQ(std::vector<int32_t>({s.SignalLength, s.NrTraces, s.NrColumns, s.ElectrodeCol[64], s.ElectrodeCol[65],
                                    s.Signals.at(2, 64), s.SamplingFrequency}),
              std::vector<int32_t>({4, 64, 64, 64, -1, 2000000, 500}));  // 2 lines at 500 Hz last 4 ms
    EXPECT_EQ(f.host.questions[0] + f.host.questions[1],
              "Input nr of samples (Max 60000) |Give new nr of samples:  |Give new signal length if necessary:");
}

TEST(TextImport, EveryRefusalSaysWhyAndTheAucklandHeaderIsNamed) {
    Fixture f;
    const std::string nash = f.dir.write("n.txt", lines(4, 3, [](int n, int c) { return n * 10 + c; }));
    const std::pair<ImportEdits, const char*> refused[] = {
        {{"0", "2", "1000", "m"}, "Nr Channels must be in the 1 - 256 range !"},
        {{"257", "2", "1000", "m"}, "Nr Channels must be in the 1 - 256 range !"},
        {{"3", "-1", "1000", "m"}, "Nr Samples must not be negative !"},
        {{"3", "2", "0", "m"}, "Sampling rate must be above 0 !"}};
    for (const auto& [edits, why] : refused) {
        EXPECT_EQ(f.ok(4, nash, edits).outcome, ImportOutcome::Refused);
        EXPECT_EQ(f.host.messages.back(), why);
    }
    EXPECT_EQ(std::tuple(f.host.beeps, f.host.messages.size()), std::tuple(4, size_t{4}));
    // 1 and 256 channels and a rate of 1 Hz are taken.
    EXPECT_EQ(f.ok(4, nash, {"1", "2", "1", "m"}).outcome, ImportOutcome::Loaded);
    EXPECT_EQ(f.ok(6, nash, {"256", "2", "1000", "m"}).outcome, ImportOutcome::Loaded);
    // The Auckland values come from the file's header: the message says so.
    const std::pair<const char*, const char*> headers[] = {
        {"10\n0\n2\n1000\n1\nm\nc\n\n\n\n1 2 3", "Nr Channels must be in the 1 - 256 range !"},
        {"10\n3\n2\n0\n1\nm\nc\n\n\n\n1 2 3", "Sampling rate must be above 0 !"}};
    for (const auto& [header, why] : headers) {
        ASSERT_TRUE(LoadImportFile(f.ctx, 5, f.dir.write("a.txt", header)));
        EXPECT_EQ(ImportOkClick(f.ctx).outcome, ImportOutcome::Refused);
        EXPECT_EQ(f.host.messages.back(), std::string("The header of this file cannot be used: ") + why);
        EXPECT_TRUE(f.s->ImportF.Shown);
    }
}

}  // namespace
}  // namespace vk
