// The start-up defaults, and the File menu's commands through a scripted
// host: opening, refusing, the recent-file list, the matrix commands and
// quitting; both matrix formats, the smoothing filter and the preferences.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "shell/Display.h"
#include "input/ElgFile.h"
#include "input/Matrix.h"
#include "input/Smoothing.h"
#include "electrograms/PanelCursor.h"
#include "marks/ManualMarking.h"
#include "session/Errors.h"
#include "shell/Commands.h"
#include "shell/Preferences.h"
#include "shell/ViewCommands.h"
#include "session/TextFiles.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace vk {
namespace {

using test::ScriptedHost;
using test::TempDir;

const char* Matrix4x2 = "-2\n8 4 2 2.5\n\n1 2 3 4\n5 6 7 8\n";

struct Fixture {
    TempDir dir;
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    ScriptedHost host;
    test::RecordingCanvas canvasA, canvasB;
    Ctx ctx{*s, host, RedrawPanels, &canvasA, &canvasB};

    Fixture() {
        s->DataRoot = dir.file("root");
        StartUp(ctx);
    }
    // A recording of `channels` channels whose sample c of frame f is value(f, c).
    std::string recording(const std::string& name, int channels, int frames, int16_t offset = 0) {
        ElgWriteFormat format;
        format.channels = channels;
        std::vector<int16_t> data;
        for (int f = 0; f < frames; ++f)
            for (int c = 1; c <= channels; ++c) data.push_back(static_cast<int16_t>(offset + f * 10 + c));
        return dir.write(name, ElgFileBytes(format, data));
    }
    std::string matrix() { return dir.write("m.txt", Matrix4x2); }
};

TEST(StartUp, TheDefaultsThatShapeResults) {
    auto s = std::make_unique<SessionState>();
    s->WaveDifference = {0, 1, 1, 1};
    s->IsochroneWidth = 1;
    InitSession(*s);  // as the main window runs it on a used state (the preferences: their own test)
    struct Default {
        const char* name;
        double value, expected;
    };
#define D(value, expected) Default{#value, static_cast<double>(value), static_cast<double>(expected)}
    const Default defaults[] = {
        D(s->WaveDifference[1], 500), D(s->WaveDifference[2], 150), D(s->WaveDifference[3], 500), D(s->WaveMode, 2),
        D(s->IsochroneWidth, 500), D(s->RefTime, 0), D(s->SamplingFrequency, 1000), D(s->HighRateMode, 0),
        D(s->Amplification, 0.01), D(s->UnitsPerMillivolt, 747), D(s->NrTraces, 24), D(s->TraceOrder, 1),
        D(s->FirstChannel, 17), D(s->WindowA, 4000), D(s->WindowB, 4000), D(s->WindowTime, 4000), D(s->BeginTimeA, 0),
        D(s->StepIncrement, 100), D(s->SmoothOnLoad, 1), D(s->AverageOffsetOn, 1), D(s->BipolarMode, 0),
        D(s->CurrentMarkType[1], 1), D(s->CurrentMarkType[2], 1), D(s->CurrentMarkNr, 1),
        D(s->MarkOrigin, ManualOrigin), D(s->MaxNrSamples, 65500), D(s->MapLeft, 10), D(s->MapTop, 10),
        D(s->ShowSWsAndSpikes, 0), D(s->PlotLocalTimes, 0), D(s->WavesOutdated, 1), D(s->Prefs.ValueDigitFormat, 2),
    };
#undef D
    for (const auto& d : defaults) EXPECT_EQ(d.value, d.expected) << d.name;
}

TEST(OpenFile, AsksForAMatrixTheFirstTimeThenLoadsAndResetsTheView) {
    Fixture f;
    const std::string rec = f.recording("REC.E07", 8, 100);
    const std::string m = f.matrix();
    f.s->BeginTimeA = 50;
    f.s->WindowB = 777;
    f.s->SmoothOnLoad = false;
    f.host.files = {FileChoice{rec, 1}, FileChoice{m, 1}};
    OpenFile1Click(f.ctx);

    ASSERT_EQ(f.host.dialogs.size(), 2u);
    const auto& open = f.host.dialogs[0];
    ASSERT_EQ(open.filters.size(), 6u);
    // The fifth filter the first time.
    EXPECT_EQ(
        std::tuple(open.title, open.filters[0].name, open.filters[0].patterns, open.filters[5].name, open.selected),
        std::tuple("Open electrogram file", "E00 files", "*.E**", "Manchester text files", 5));
    EXPECT_EQ(std::tuple(f.host.dialogs[1].title, f.host.dialogs[1].folder),
              std::tuple(std::string("Open New Matrix File"), f.dir.file("root") + "/MyNewMatrix"));
    // No matrix was chosen yet: the empty name is not found.
    EXPECT_EQ(std::tuple(f.host.messages, f.host.beeps), std::tuple(std::vector<std::string>{" is not found! (newE00)"}, 1));
    EXPECT_EQ(std::tuple(f.s->FileName, f.s->FileExt, f.s->MarkFileName, f.s->MatrixFileName),
              std::tuple(rec, ".E07", f.dir.file("REC.M07"), m));
    EXPECT_NE(std::find(f.s->Memo1.begin(), f.s->Memo1.end(), "NrOfFramesinFile=101"), f.s->Memo1.end());
    EXPECT_TRUE(f.s->FileLoaded);
    // Columns, frames, length, two samples, the windows, the begin time and
    // window B that stay, traces, redraws.
    EXPECT_EQ(
        std::tuple(f.s->NrColumns, f.s->NrOfFrames, f.s->SignalLength, f.s->Signals.at(1, 3), f.s->Signals.at(2, 8),
                   f.s->WindowA, f.s->WindowAll, f.s->BeginTimeA, f.s->WindowB, f.s->NrTraces, f.host.redraws),
        std::tuple(4, 101, 101, 3, 18, 101, 101, 50, 777, 4, 1));
    EXPECT_EQ(std::tuple(f.host.captions[0], f.host.captions[1], f.host.progressSteps, f.host.progressShown),
              std::tuple("Reading electrograms ...", "Reading electrogram nr = 1", 256, false));

    // The recent-file list on disk: 20 CRLF lines, entry 1 first.
    const std::string list = TempDir::read(f.dir.file("root/MyNewMatrix/FileList.Txt"));
    EXPECT_EQ(std::tuple(list.substr(0, rec.size() + 5), std::count(list.begin(), list.end(), '\n')), std::tuple("1\r\n" + rec + "\r\n", 20));

    // The second open remembers the filter and the matrix: no question.
    f.host.files = {FileChoice{rec, 1}};
    OpenFile1Click(f.ctx);
    // The same file twice fills two entries.
    EXPECT_EQ(std::tuple(f.host.dialogs[2].selected, f.host.messages.size(), f.s->RecentNames[1], f.s->RecentNames[2]),
              std::tuple(1, 1u, rec, rec));
}

TEST(OpenFile, ARefusedRecordingOrUnsavedMarksLeaveTheOpenOneUsable) {
    Fixture f;
    UseNewMatrix(*f.s, f.matrix());
    const std::string good = f.recording("good.E01", 8, 200, 1000);
    f.host.files = {FileChoice{good, 1}};
    OpenFile1Click(f.ctx);
    ASSERT_TRUE(f.s->FileLoaded);
    const int32_t before = f.s->Signals.at(10, 2);
    const auto recent = f.s->RecentNames;

    const std::string bad[] = {
        f.dir.write("empty.E01", ""),
        f.dir.write("short.E01", std::string(5000, '\0')),
        f.dir.file("missing.E01"),
    };
    for (const auto& path : bad) {
        f.host.files = {FileChoice{path, 1}};
        OpenFile1Click(f.ctx);
        EXPECT_EQ(std::tuple(f.s->FileName, f.s->FileLoaded, f.s->SignalLength, f.s->Signals.at(10, 2)),
                  std::tuple(good, true, 201, before)) << path;
        EXPECT_EQ(f.s->RecentNames, recent) << path;
    }
    ASSERT_EQ(f.host.errors.size(), 3u);
    EXPECT_NE(f.host.errors[2].find("missing.E01"), std::string::npos);

    // A cancelled dialog changes nothing either; "M00 files" only beeps.
    OpenFile1Click(f.ctx);
    const int beeps = f.host.beeps;
    f.host.files = {FileChoice{good, 2}};
    OpenFile1Click(f.ctx);
    EXPECT_EQ(std::tuple(f.host.beeps, f.s->FileLoaded), std::tuple(beeps + 1, true));

    // Unsaved marks are asked about first, and Cancel keeps the recording.
    f.s->MarksChanged = true;
    f.host.files = {FileChoice{f.recording("b.E01", 8, 100), 1}};
    f.host.answers = {Answer::Cancel};
    OpenFile1Click(f.ctx);
    EXPECT_EQ(f.host.questions,
              std::vector<std::string>{"Some of the marks have been changed? Do you want to update these marks ?"});
    EXPECT_EQ(std::tuple(f.s->FileName, f.s->MarksChanged, f.s->FileLoaded), std::tuple(good, true, true));
}

// A recent list that cannot be written does not undo an open that already
// replaced the recording: it is a warning, and the recording is usable.
// A matrix that fails before anything was replaced leaves all as it was.
TEST(OpenFile, FailuresAfterTheRecordingIsReplacedAreWarnings) {
    Fixture f;
    const std::string m = f.matrix();
    UseNewMatrix(*f.s, m);
    const std::string a = f.recording("a.E01", 8, 100);
    const std::string b = f.recording("b.E01", 8, 150, 500);
    std::filesystem::create_directories(RecentListPath(*f.s) + "/in-the-way");
    f.host.files = {FileChoice{a, 1}};
    OpenFile1Click(f.ctx);
    EXPECT_TRUE(f.host.errors.empty());
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_NE(f.host.messages[0].find(RecentListPath(*f.s)), std::string::npos) << f.host.messages[0];
    EXPECT_EQ(std::tuple(f.s->FileLoaded, f.s->FileName, f.s->WindowA, f.s->RecentNames[1]),
              std::tuple(true, a, 101, a));
    f.s->PanelAWidth = 1070;
    f.s->PanelAHeight = 550;
    PanelClick(f.ctx, 1, 500, 100, false);  // the panels follow the mouse again
    EXPECT_TRUE(f.s->MarkingArmed);

    // The chosen matrix no longer parses: b is refused and a stays, matrix and all.
    const int32_t shown = f.s->Signals.at(1, 3);
    f.s->NewMatrixName = f.dir.write("broken.txt", "-2\nnot a matrix\n");
    f.host.files = {FileChoice{b, 1}};
    OpenFile1Click(f.ctx);
    EXPECT_EQ(f.host.errors.size(), 1u);
    EXPECT_EQ(std::tuple(f.s->FileLoaded, f.s->FileName, f.s->MatrixFileName, f.s->SignalLength, f.s->Signals.at(1, 3)),
              std::tuple(true, a, m, 101, shown));
}

TEST(RecentFiles, ReopenAndTheListFile) {
    Fixture f;
    UseNewMatrix(*f.s, f.matrix());
    const std::string a = f.recording("a.E01", 8, 100);
    EXPECT_TRUE(OpenElectrogramFile(f.ctx, a));
    ResetViewAfterLoad(*f.s);
    f.s->FirstChannel = 17;
    f.s->TraceOrder = 3;

    // A fresh session reads the list back.
    Fixture g;
    g.s->DataRoot = f.s->DataRoot;
    ReadRecentList(*g.s);
    EXPECT_EQ(std::tuple(g.s->RecentTypes[1], g.s->RecentNames[1], g.s->RecentNames[2]), std::tuple("1", a, ""));

    // Item 1 reopens the recording with the trace order reset.
    ShowPrevFileClick(f.ctx, 1);
    EXPECT_EQ(std::tuple(f.s->FileName, f.s->FirstChannel, f.s->TraceOrder), std::tuple(a, 65, 1));
    EXPECT_NE(std::find(f.s->Memo1.begin(), f.s->Memo1.end(), a), f.s->Memo1.end());
    // An entry that is not an electrogram file opens nothing.
    f.s->RecentTypes[3] = "4";
    f.s->RecentNames[3] = "/x/nashville.txt";
    ShowPrevFileClick(f.ctx, 3);
    EXPECT_EQ(f.s->FileName, a);

    // Eleven opens keep ten entries.
    for (int i = 0; i < 11; ++i) PushRecent(*f.s, "1", "p" + std::to_string(i));
    EXPECT_EQ(std::tuple(f.s->RecentNames[1], f.s->RecentNames[10]), std::tuple("p10", "p1"));
}

TEST(RecentFiles, MissingListIsSilentAndAnUnreadableOneIsReported) {
    Fixture f;  // no list file: StartUp said nothing
    EXPECT_TRUE(f.host.errors.empty());
    // A list that cannot be read as one (tests run as root, so permissions
    // would not stop the read): far larger than 20 lines can be.
    writeBytesAtomic(RecentListPath(*f.s), std::string(2 << 20, 'x'));
    ScriptedHost host;
    Ctx ctx{*f.s, host, RedrawPanels};
    StartUp(ctx);
    EXPECT_EQ(host.errors.size(), 1u);
}

TEST(MatrixCommands, LoadRecordAndNeverTouchTheRecentList) {
    Fixture f;
    PushRecent(*f.s, "1", "/keep/this.E01");
    WriteRecentList(*f.s);
    const std::string before = TempDir::read(RecentListPath(*f.s));
    const std::string m = f.matrix();
    f.host.files = {FileChoice{m, 1}};
    runCommand(f.ctx, [&] { ChangeNewMatrixfile(f.ctx, true); });
    EXPECT_EQ(std::tuple(f.s->NewMatrixName, f.s->NrColumns, TempDir::read(RecentListPath(*f.s))),
              std::tuple(m, 4, before));
    const std::string record = TempDir::read(NewMatrixRecordPath(*f.s));
    EXPECT_EQ(record, std::string(20, '\0').replace(0, 20, "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n") + m + "\r\n");

    // The old format: its own folder's list, 11 lines.
    const std::string old = f.dir.write("old.txt", "2 3 3 1.0\n0 0\n2 2\n");
    f.host.files = {FileChoice{old, 1}};
    ChangeMatrixfile1Click(f.ctx);
    EXPECT_EQ(std::tuple(f.s->NewMatrixName, f.s->ElectrodeCol[2], f.host.dialogs.back().title),
              std::tuple(old, 3, "Open Matrix File"));
    EXPECT_EQ(TempDir::read(f.dir.file("root/MyMatrix/FileList.Txt")).size(), 20 + old.size() + 2);

    // A missing file beeps and says so; a damaged one is reported and changes nothing.
    const int redraws = f.host.redraws;
    f.host.files = {FileChoice{f.dir.file("nope.txt"), 1}};
    ChangeMatrixfile1Click(f.ctx);
    EXPECT_EQ(f.host.messages.back(), f.dir.file("nope.txt") + " is not found!");
    EXPECT_EQ(f.host.redraws, redraws);  // the old-format command does not redraw then
    f.host.files = {FileChoice{f.dir.write("bad.txt", "-2\n1 1 1 1\n\n999\n"), 1}};
    runCommand(f.ctx, [&] { ChangeNewMatrixfile(f.ctx, true); });
    EXPECT_EQ(std::tuple(f.host.errors.size(), f.s->ElectrodeCol[2]), std::tuple(1u, 3));
}

TEST(Quit, AsksOnlyWhenMarksChanged) {
    Fixture f;
    f.s->MarksChanged = true;
    f.host.answers = {Answer::Cancel, Answer::No};
    Quit1Click(f.ctx);
    EXPECT_EQ(std::tuple(f.host.closed, f.host.beeps), std::tuple(false, 1));
    Quit1Click(f.ctx);
    EXPECT_TRUE(f.host.closed);
    f.host.closed = false;
    f.s->MarksChanged = false;
    Quit1Click(f.ctx);  // closes at once, no question
    EXPECT_EQ(std::tuple(f.host.closed, f.host.questions.size()), std::tuple(true, 2u));
}

// The rounding helpers and the in-place smoothing filter.
TEST(Rounding, IntegerDivisionMatchesRoundingOfTheRealQuotient) {
    EXPECT_EQ(std::tuple(roundHalfEven(2.5), roundHalfEven(3.5), roundHalfEven(-2.5)), std::tuple(2, 4, -2));
    for (int64_t n = -2000; n <= 2000; ++n)
        for (int64_t d : {20, 3, 7})
            ASSERT_EQ(roundHalfEvenDiv(n, d), roundHalfEven(static_cast<double>(n) / static_cast<double>(d))) << n << "/" << d;
}

TEST(Smoothing, InPlaceFilterAndItsEdges) {
    auto s = std::make_unique<SessionState>();
    std::vector<int32_t> work;
    auto samples = [&](int e, int rows) {
        SmoothChannelInPlace(s->Signals, e, rows, work);
        std::vector<int32_t> v;
        for (int k = 1; k <= rows; ++k) v.push_back(s->Signals.at(k, e));
        return v;
    };
    // A single 20 at sample 21: ones at 1..20 (the 20 lies in each of their
    // windows), then 0; (99 + 0 * 19) / 20 = 4.95 at 40; the last 20 samples keep their values.
    for (int k = 1; k <= 60; ++k) s->Signals.at(k, 3) = k == 21 ? 20 : k == 60 ? 99 : 0;
    std::vector<int32_t> want(20, 1);
    want.resize(39, 0);
    want.push_back(5);
    want.resize(59, 0);
    want.push_back(99);
    EXPECT_EQ(samples(3, 60), want);
    // Means of exactly 2.5 and 3.5 go to the even neighbour.
    for (auto [value, mean] : {std::pair{5, 2}, {7, 4}}) {  // sums 50 and 70
        for (int k = 1; k <= 21; ++k) s->Signals.at(k, 4) = (k >= 2 && k <= 11) ? value : 0;
        EXPECT_EQ(samples(4, 21)[0], mean);
    }
    // Twenty samples or fewer: unchanged.
    for (int k = 1; k <= 20; ++k) s->Signals.at(k, 5) = k * 100;
    EXPECT_EQ(samples(5, 20), std::vector<int32_t>({100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 1100, 1200, 1300, 1400,
                                                      1500, 1600, 1700, 1800, 1900, 2000}));
}

TEST(GeneralCommands, SmoothingTakesTheLoadedRowsAtEveryRate) {
    // 60 rows loaded, a 20 at row 50, and an earlier recording's 1000s
    // beyond: rows 1..40 are smoothed whatever the length in ms, and
    // nothing past row 60 is read or written.
    for (const int rate : {500, 1000, 2000}) {
        SCOPED_TRACE(rate);
        Fixture f;
        f.s->NrOfFrames = 60;
        SetSamplingFrequency(*f.s, rate);
        f.s->NrNIChannels = 2;
        for (int k = 1; k <= 130; ++k) f.s->Signals.at(k, 1) = k == 50 ? 20 : k > 60 ? 1000 : 0;
        Smoothing1Click(f.ctx);
        EXPECT_EQ(std::tuple(f.host.captions[0], f.host.captions.back()), std::tuple("now smoothing signals ...", "smoothing ele nr = 2"));
        for (int k = 1; k <= 130; ++k) {
            const int32_t expected = k >= 30 && k <= 40 ? 1 : k == 50 ? 20 : k > 60 ? 1000 : 0;
            ASSERT_EQ(f.s->Signals.at(k, 1), expected) << "row " << k;
        }
    }
}

// The preferences: their defaults in dialog order, the round trip through
// the dialog's texts and the stop at a field that cannot be taken.
size_t at(const std::string& control) {
    const auto& f = PreferenceFields();
    return std::find_if(f.begin(), f.end(), [&](const PrefField& p) { return p.control == control; }) - f.begin();
}
std::string all(SessionState& s) {
    std::string joined;
    const auto texts = PreferenceTexts(s);
    for (size_t i = 0; i < texts.size(); ++i) joined += std::string(PreferenceFields()[i].control) + "=" + texts[i] + " ";
    return joined;
}

const char* const Defaults =
    "MinDiffValEdit1=-100 WidthEdit1=300 DiffDistEdit1=100 MinDiffValEdit2=-200 WidthEdit2=100 DiffDistEdit2=10 "
    "MinDiffValEdit3=-1 WidthEdit3=300 DiffDistEdit3=50 SearchCriteria1=1 AvoidTwice1=1 DoubleWidth1=5 "
    "PlotOnlyPoints1=0 SmoothElectrograms1=1 IntervalRange1=1 MinIntervalRange1=2000 maxIntervalRange1=6000 "
    "EditDigitType=0 NrExpCyclesEdit=10 NrNeighbours1=3 MaxCondVelCheckBox1=0 MaxCondVelEdit=20 "
    "EditArrowSize=5000 EditIncVel=1 StepTimeEdit=100 begSimEdit=0 SWDurationEdit=2000 EndSimEdit= "
    "CheckLimitIntervals=0 EditMaxIntervalVal=6000 ";

TEST(Preferences, DefaultsAfterInitialisationAndAnUneditedOkChangesNothing) {
    Fixture p;
    p.s->Prefs.MaxVelocity = 99;  // as a used state holds them
    p.s->Prefs.SearchWidth = {0, 1, 1, 1};
    p.s->SmoothOnLoad = false;
    InitSession(*p.s);
    EXPECT_EQ(all(*p.s), Defaults);
    EXPECT_EQ(std::tuple(ApplyPreferences(p.ctx, PreferenceTexts(*p.s)), all(*p.s), p.host.redraws, p.host.beeps),
              std::tuple(-1, std::string(Defaults), 1, 0));
}

TEST(Preferences, EveryFieldIsReadBackAndTheReadingStopsAtABadField) {
    Fixture p;
    auto texts = PreferenceTexts(*p.s);
    // Every field takes a new value: integers one more, checks flipped, the other radio item.
    for (size_t i = 0; i < texts.size(); ++i) {
        if (texts[i].empty()) texts[i] = " -12344";  // "EndTime": no value shows as an empty field
        else if (PreferenceFields()[i].kind == PrefKind::Integer) texts[i] = " " + std::to_string(std::stoi(texts[i]) + 1);
        else texts[i] = texts[i] == "1" ? "0" : "1";
    }
    texts[at("AvoidTwice1")] = "1";  // keeps the avoidance width read
    ASSERT_EQ(ApplyPreferences(p.ctx, texts), -1);
    for (auto& t : texts) t.erase(0, t.find_first_not_of(' '));
    EXPECT_EQ(PreferenceTexts(*p.s), texts);
    EXPECT_EQ(std::tuple(p.s->PlotOnlyDots, p.s->SmoothOnLoad, p.s->Prefs.SearchWidth[2], p.s->Prefs.AnimEndTime),
              std::tuple(true, false, 101, Missing + 1));

    // A bad integer stops at its field: the fields before it are taken, the
    // ones after it are not, and there is no redraw.
    Fixture q;
    auto bad = PreferenceTexts(*q.s);
    bad[at("WidthEdit1")] = "250";
    bad[at("WidthEdit2")] = "12a";
    bad[at("DiffDistEdit2")] = "11";
    EXPECT_EQ(ApplyPreferences(q.ctx, bad), static_cast<int>(at("WidthEdit2")));
    EXPECT_EQ(std::tuple(q.s->Prefs.SearchWidth[1], q.s->Prefs.SearchWidth[2], q.s->Prefs.DiffDist[2], q.host.redraws),
              std::tuple(250, 100, 10, 0));
    EXPECT_EQ(q.host.errors, std::vector<std::string>{"Spikes: Search Width (msec): '12a' is not a valid integer value"});

    // Unchecked, the avoidance width is not read, whatever it holds; 0
    // neighbours is refused with a beep.
    bad = PreferenceTexts(*q.s);
    bad[at("AvoidTwice1")] = "0";
    bad[at("DoubleWidth1")] = "x";
    bad[at("NrNeighbours1")] = "0";
    EXPECT_EQ(ApplyPreferences(q.ctx, bad), static_cast<int>(at("NrNeighbours1")));
    EXPECT_EQ(std::tuple(q.s->Prefs.AvoidDoubleMarks, q.s->Prefs.DoubleWidth, q.s->Prefs.ExpandNeighbours, q.host.beeps,
                         q.host.errors.size()),
              std::tuple(false, 5, 3, 1, size_t{1}));
    EXPECT_EQ(q.host.messages, std::vector<std::string>{"Nr of Neighbours required must not be 0 !"});

    // The first field stops the reading as any other; an empty "EndTime"
    // is no value, any other empty field is refused.
    bad = PreferenceTexts(*q.s);
    bad[0] = "";
    bad[at("EndSimEdit")] = "100";
    EXPECT_EQ(ApplyPreferences(q.ctx, bad), 0);
    EXPECT_EQ(q.host.errors.back(), "Slow Waves: Minimal Differentiated level: '' is not a valid integer value");
    bad[0] = "-90";
    EXPECT_EQ(ApplyPreferences(q.ctx, bad), -1);
    EXPECT_EQ(std::tuple(q.s->Prefs.MinDiffLevel[1], q.s->Prefs.AnimEndTime), std::tuple(-90, 100));
    bad[at("EndSimEdit")] = "  ";
    EXPECT_EQ(std::tuple(ApplyPreferences(q.ctx, bad), q.s->Prefs.AnimEndTime), std::tuple(-1, Missing));
    // Every field a message can name, by its label in the dialog.
    std::string names;
    for (const PrefField& f : PreferenceFields())
        if (f.kind == PrefKind::Integer) names += PreferenceFieldName(f) + "|";
    EXPECT_EQ(names,
              "Slow Waves: Minimal Differentiated level|Slow Waves: Search Width (msec)|Slow Waves: Diff Dist (samples)|"
              "Spikes: Minimal Differentiated level|Spikes: Search Width (msec)|Spikes: Diff Dist (samples)|"
              "Type 3: Minimal Differentiated level|Type 3: Search Width (msec)|Type 3: Diff Dist (samples)|"
              "Avoidance width|Expected Interval Range (from)|Expected Interval Range (to)|Digit Display|"
              "Nr of Expand Cycles|Nr of Neighbours required|Maximum Conduction Velocity allowed (cm/sec)|"
              "Arrow size for plotting|Calc to next electrode|Step Time|BegTime|SW duration|EndTime|"
              "Maximal Interval Value|");
}

// Both matrix formats, the common ending and the refusals.
std::unique_ptr<SessionState> applied(const MatrixData& m) {
    auto s = std::make_unique<SessionState>();
    ApplyMatrix(*s, m);
    return s;
}

std::pair<int32_t, int32_t> position(const SessionState& s, int e) {
    return {s.ElectrodeCol[static_cast<size_t>(e)], s.ElectrodeRow[static_cast<size_t>(e)]};
}

TEST(Matrix, NewFormatGridDuplicatesAndEmptyPositions) {
    const char* text =
        "-2 trailing words are skipped\r\n"
        "16 8 2 2.5 also skipped\r\n"
        "col labels 1 2 3\r\n"
        "17 18 19 20 21 22 23 24\r\n"
        "25 -1 27 28 29 30 31\r\n"  // the row's last number stands on the next line
        "17\r\n";
    const MatrixData m = ParseNewMatrix(text, "m.txt");
    auto s = applied(m);
    EXPECT_EQ(std::tuple(s->NrElectrodes, s->NrColumns, s->NrRows, s->ElectrodeDistance), std::tuple(16, 8, 2, 2.5));
    // -1 leaves the position empty; 17 appears twice: the later position wins, the grid keeps both.
    EXPECT_EQ(std::tuple(position(*s, 18), s->MatrixGrid[2][2], s->ElectrodeCol[26], position(*s, 17), s->MatrixGrid[1][1], s->MatrixGrid[8][2]),
              std::tuple(std::pair(2, 1), -1, -1, std::pair(8, 2), 17, 17));
    // 8 columns, 2 rows: 8 div 2 = 4 >= 2 stacks the panels.
    EXPECT_EQ(std::tuple(s->TileRectangle, s->NrTraces), std::tuple(true, 8));
}

TEST(Matrix, OldFormatPositionsAndNegativeEntries) {
    const char* text =
        "3 5 5 1.0\n"
        "0 0 comment\n"
        "-1 3\n"
        "4 2\n";
    auto s = applied(ParseOldMatrix(text, "old.txt"));
    // Not on the grid (electrode 2): both values stay as read.
    EXPECT_EQ((std::vector{position(*s, 1), position(*s, 2), position(*s, 3)}),
              (std::vector<std::pair<int32_t, int32_t>>{{1, 1}, {-1, 3}, {5, 3}}));
    EXPECT_EQ(s->ElectrodeCol[4], -1);
    // 5 div 2 = 2 < 5: side by side.
    EXPECT_EQ(std::tuple(s->TileRectangle, s->NrTraces), std::tuple(false, 5));
}

TEST(Matrix, OldFormatReplacesTheGridOfAnEarlierMatrix) {
    auto s = applied(ParseNewMatrix("-2\n1 1 1 1\n\n7\n", "n.txt"));
    ASSERT_EQ(s->MatrixGrid[1][1], 7);
    // Electrodes 1 and 3 share a position: the lower one is in the grid.
    ApplyMatrix(*s, ParseOldMatrix("3 2 2 1\n1 1\n0 0\n1 1\n", "o.txt"));
    EXPECT_EQ(std::tuple(s->MatrixGrid[1][1], s->MatrixGrid[2][2], s->MatrixGrid[1][2], s->ElectrodeCol[7]),
              std::tuple(2, 1, -1, -1));
}

TEST(Matrix, PanelsStackWhenHalfTheColumnsReachTheRows) {
    for (const auto& [columns, rows, stacked] : {std::tuple{4, 2, true}, {5, 3, false}, {6, 3, true}, {1, 1, false}})
        EXPECT_EQ(applied(RowByRowMatrix(columns, rows, 1, 1.0))->TileRectangle, stacked) << columns << "x" << rows;
}

TEST(Matrix, DistanceRule) {
    auto distance = [](const char* d) {
        return applied(ParseOldMatrix(std::string("0 2 2 ") + d + "\n", "d.txt"))->ElectrodeDistance;
    };
    for (auto [text, mm] : {std::pair{"250", 1.0}, {"-1", 1.0}, {"0", 0.0}, {"100", 100.0}})
        EXPECT_DOUBLE_EQ(distance(text), mm) << text;
}

TEST(Matrix, NewFormatWithoutItsMarkLoadsAnEmptyMatrix) {
    auto s = applied(ParseNewMatrix("-2\n4 4 1 2.0\n\n1 2 3 4\n", "n.txt"));
    ApplyMatrix(*s, ParseNewMatrix("5\n4 4 1 2.0\n\n1 2 3 4\n", "other.txt"));
    // Dimensions stay, positions and grid are empty.
    EXPECT_EQ(std::tuple(s->NrColumns, s->NrRows, s->ElectrodeCol[1], s->MatrixGrid[1][1]), std::tuple(4, 1, -1, -1));
}

TEST(Matrix, TheLargestLayoutsAreAccepted) {
    // 256 electrodes, 100 x 100 positions, electrode 256 and grid position 99.
    std::string old = "256 100 100 1\n";
    for (int e = 1; e <= 256; ++e) old += std::to_string((e - 1) % 100) + " " + std::to_string((e - 1) / 100 * 49) + "\n";
    auto s = applied(ParseOldMatrix(old, "old.txt"));
    EXPECT_EQ(std::tuple(s->NrElectrodes, s->NrColumns, s->NrRows), std::tuple(256, 100, 100));
    EXPECT_EQ(std::tuple(position(*s, 100), position(*s, 256)), std::tuple(std::pair(100, 1), std::pair(56, 99)));
    EXPECT_EQ(std::tuple(s->MatrixGrid[100][1], s->MatrixGrid[56][99]), std::tuple(100, 256));

    const MatrixData m = ParseNewMatrix("-2\n256 2 1 1\n\n256 1\n", "new.txt");
    EXPECT_EQ(std::tuple(m.NrElectrodes, m.ElectrodeCol[256], m.MatrixGrid[1][1], m.MatrixGrid[2][1]),
              std::tuple(256, 1, 256, 1));
}

TEST(Matrix, Refusals) {
    auto refused = [](const char* text, bool newFormat, const char* why) {
        try {
            newFormat ? ParseNewMatrix(text, "bad.txt") : ParseOldMatrix(text, "bad.txt");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
        }
    };
    refused("-2\n2 2 1 1\n\n0 1\n", true, "electrode number 0");
    refused("-2\n2 2 1 1\n\n1 257\n", true, "electrode number 257");
    refused("-2\n2 101 1 1\n\n", true, "101 columns");
    refused("-2\n2 2 101 1\n\n", true, "101 rows");
    refused("300 2 2 1\n", false, "300 electrodes");
    refused("257 2 2 1\n", false, "257 electrodes");
    refused("-1 2 2 1\n", false, "-1 electrodes");
    refused("0 0 2 1\n", false, "0 columns");
    refused("0 2 0 1\n", false, "0 rows");
    refused("2 2 2 1\n0 0\n100 0\n", false, "outside the 100 x 100 grid");
    refused("-2\n2 2 1 1\n\n1 2a\n", true, "'2a' is not a valid integer value");
    refused("2 2 2 x1\n", false, "'x1' is not a valid floating point value");
    refused("-2\n4 2 2 1\n\n1 2\n3\n", true, "unexpected end of file");
    refused("-2\n4 2 2 nan\n\n", true, "not a valid floating point value");
}

}  // namespace
}  // namespace vk
