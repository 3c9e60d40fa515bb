// The start-up defaults, and the File menu's commands through a scripted
// host: opening, refusing, the recent-file list, the matrix commands and
// quitting.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "shell/Display.h"
#include "input/ElgFile.h"
#include "marks/ManualMarking.h"
#include "shell/Commands.h"
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
    s->Prefs.SearchWidth = {0, 1, 1, 1};
    s->IsochroneWidth = 1;
    InitSession(*s);  // as the main window runs it on a used state
    const Preferences& p = s->Prefs;
    struct Default {
        const char* name;
        double value, expected;
    };
    auto row = [](const char* name, double value, double expected) { return Default{name, value, expected}; };
    const Default defaults[] = {
        row("WaveDifference[1]", s->WaveDifference[1], 500), row("WaveDifference[2]", s->WaveDifference[2], 150),
        row("WaveDifference[3]", s->WaveDifference[3], 500), row("WaveMode", s->WaveMode, 2),
        row("IsochroneWidth", s->IsochroneWidth, 500),       row("RefTime", s->RefTime, 0),
        row("SamplingFrequency", s->SamplingFrequency, 1000), row("HighRateMode", s->HighRateMode, 0),
        row("Amplification", s->Amplification, 0.01),        row("UnitsPerMillivolt", s->UnitsPerMillivolt, 747),
        row("NrTraces", s->NrTraces, 24),                    row("TraceOrder", s->TraceOrder, 1),
        row("FirstChannel", s->FirstChannel, 17),            row("WindowA", s->WindowA, 4000),
        row("WindowB", s->WindowB, 4000),                    row("WindowTime", s->WindowTime, 4000),
        row("BeginTimeA", s->BeginTimeA, 0),                 row("StepIncrement", s->StepIncrement, 100),
        row("SmoothOnLoad", s->SmoothOnLoad, 1),             row("AverageOffsetOn", s->AverageOffsetOn, 1),
        row("BipolarMode", s->BipolarMode, 0),               row("CurrentMarkType[1]", s->CurrentMarkType[1], 1),
        row("CurrentMarkType[2]", s->CurrentMarkType[2], 1), row("CurrentMarkNr", s->CurrentMarkNr, 1),
        row("MarkOrigin", s->MarkOrigin, ManualOrigin),      row("MaxImportLength", s->MaxImportLength, 65500),
        row("MapLeft", s->MapLeft, 10),                      row("MapTop", s->MapTop, 10),
        row("ShowSWsAndSpikes", s->ShowSWsAndSpikes, 0),     row("PlotLocalTimes", s->PlotLocalTimes, 0),
        row("WavesOutdated", s->WavesOutdated, 1),           row("MinDiffVal[1]", p.MinDiffVal[1], -100),
        row("MinDiffVal[2]", p.MinDiffVal[2], -200),         row("MinDiffVal[3]", p.MinDiffVal[3], -1),
        row("SearchWidth[1]", p.SearchWidth[1], 300),        row("SearchWidth[2]", p.SearchWidth[2], 100),
        row("SearchWidth[3]", p.SearchWidth[3], 300),        row("DiffDist[1]", p.DiffDist[1], 100),
        row("DiffDist[2]", p.DiffDist[2], 10),               row("DiffDist[3]", p.DiffDist[3], 50),
        row("SearchCriteria", p.SearchCriteria, 1),          row("AvoidDoubleMarks", p.AvoidDoubleMarks, 1),
        row("DoubleWidth", p.DoubleWidth, 5),                row("TimeDigitFormat", p.TimeDigitFormat, 0),
        row("ValueDigitFormat", p.ValueDigitFormat, 2),      row("NrExpandCycles", p.NrExpandCycles, 10),
        row("NrNeighbours", p.NrNeighbours, 3),              row("LimitCondVel", p.LimitCondVel, 0),
        row("MaxCondVel", p.MaxCondVel, 20),                 row("ArrowSize", p.ArrowSize, 5000),
        row("IncVel", p.IncVel, 1),                          row("LimitIntervals", p.LimitIntervals, 0),
        row("MaxIntervalValue", p.MaxIntervalValue, 6000),   row("AnimEndTime", p.AnimEndTime, Missing),
    };
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
    EXPECT_EQ(open.title, "Open electrogram file");
    ASSERT_EQ(open.filters.size(), 6u);
    EXPECT_EQ(open.filters[0].name, "E00 files");
    EXPECT_EQ(open.filters[0].patterns, "*.E**");
    EXPECT_EQ(open.filters[5].name, "Manchester text files");
    EXPECT_EQ(open.selected, 5);  // the fifth filter the first time
    EXPECT_EQ(f.host.dialogs[1].title, "Open New Matrix File");
    EXPECT_EQ(f.host.dialogs[1].folder, f.dir.file("root") + "/MyNewMatrix");
    // No matrix was chosen yet: the empty name is not found.
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0], " is not found! (newE00)");
    EXPECT_EQ(f.host.beeps, 1);

    EXPECT_EQ(f.s->FileName, rec);
    EXPECT_EQ(f.s->FileExt, ".E07");
    EXPECT_EQ(f.s->MarkFileName, f.dir.file("REC.M07"));
    EXPECT_EQ(f.s->MatrixFileName, m);
    EXPECT_EQ(f.s->NrColumns, 4);
    EXPECT_EQ(f.s->NrOfFrames, 101);
    EXPECT_EQ(f.s->SignalLength, 101);
    EXPECT_EQ(f.s->Signals.at(1, 3), 3);
    EXPECT_EQ(f.s->Signals.at(2, 8), 18);
    EXPECT_NE(std::find(f.s->Memo1.begin(), f.s->Memo1.end(), "NrOfFramesinFile=101"), f.s->Memo1.end());
    EXPECT_TRUE(f.s->FileLoaded);
    EXPECT_EQ(f.s->WindowA, 101);
    EXPECT_EQ(f.s->WindowAll, 101);
    EXPECT_EQ(f.s->BeginTimeA, 50);  // begin times stay
    EXPECT_EQ(f.s->WindowB, 777);
    EXPECT_EQ(f.s->NrTraces, 4);
    EXPECT_EQ(f.host.redraws, 1);
    EXPECT_EQ(f.host.captions.front(), "Reading electrograms ...");
    EXPECT_EQ(f.host.captions[1], "Reading electrogram nr = 1");
    EXPECT_EQ(f.host.progressSteps, 256);
    EXPECT_FALSE(f.host.progressShown);

    // The recent-file list on disk: 20 CRLF lines, entry 1 first.
    const std::string list = TempDir::read(f.dir.file("root/MyNewMatrix/FileList.Txt"));
    EXPECT_EQ(list.substr(0, rec.size() + 5), "1\r\n" + rec + "\r\n");
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 20);

    // The second open remembers the filter and the matrix: no question.
    f.host.files = {FileChoice{rec, 1}};
    OpenFile1Click(f.ctx);
    EXPECT_EQ(f.host.dialogs[2].selected, 1);
    EXPECT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.s->RecentNames[1], rec);
    EXPECT_EQ(f.s->RecentNames[2], rec);  // the same file twice fills two entries
}

TEST(OpenFile, ARefusedRecordingLeavesTheOpenOneUsable) {
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
        EXPECT_EQ(f.s->FileName, good) << path;
        EXPECT_TRUE(f.s->FileLoaded) << path;
        EXPECT_EQ(f.s->SignalLength, 201) << path;
        EXPECT_EQ(f.s->Signals.at(10, 2), before) << path;
        EXPECT_EQ(f.s->RecentNames, recent) << path;
    }
    EXPECT_EQ(f.host.errors.size(), 3u);
    EXPECT_NE(f.host.errors[2].find("missing.E01"), std::string::npos);

    // A cancelled dialog changes nothing either; "M00 files" only beeps.
    OpenFile1Click(f.ctx);
    EXPECT_TRUE(f.s->FileLoaded);
    const int beeps = f.host.beeps;
    f.host.files = {FileChoice{good, 2}};
    OpenFile1Click(f.ctx);
    EXPECT_EQ(f.host.beeps, beeps + 1);
    EXPECT_TRUE(f.s->FileLoaded);
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
    EXPECT_TRUE(f.s->FileLoaded);
    EXPECT_EQ(f.s->FileName, a);
    EXPECT_EQ(f.s->WindowA, 101);
    EXPECT_EQ(f.s->RecentNames[1], a);
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
    EXPECT_TRUE(f.s->FileLoaded);
    EXPECT_EQ(f.s->FileName, a);
    EXPECT_EQ(f.s->MatrixFileName, m);
    EXPECT_EQ(f.s->SignalLength, 101);
    EXPECT_EQ(f.s->Signals.at(1, 3), shown);
}

TEST(OpenFile, UnsavedMarksAreAskedAboutAndCancelKeepsTheRecording) {
    Fixture f;
    UseNewMatrix(*f.s, f.matrix());
    const std::string a = f.recording("a.E01", 8, 100);
    const std::string b = f.recording("b.E01", 8, 100);
    f.host.files = {FileChoice{a, 1}};
    OpenFile1Click(f.ctx);
    f.s->MarksChanged = true;
    f.host.files = {FileChoice{b, 1}};
    f.host.answers = {Answer::Cancel};
    OpenFile1Click(f.ctx);
    ASSERT_EQ(f.host.questions.size(), 1u);
    EXPECT_EQ(f.host.questions[0], "Some of the marks have been changed? Do you want to update these marks ?");
    EXPECT_EQ(f.s->FileName, a);
    EXPECT_TRUE(f.s->MarksChanged);
    EXPECT_TRUE(f.s->FileLoaded);
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
    EXPECT_EQ(g.s->RecentTypes[1], "1");
    EXPECT_EQ(g.s->RecentNames[1], a);
    EXPECT_EQ(g.s->RecentNames[2], "");

    // Item 1 reopens the recording with the trace order reset.
    ShowPrevFileClick(f.ctx, 1);
    EXPECT_EQ(f.s->FileName, a);
    EXPECT_EQ(f.s->FirstChannel, 65);
    EXPECT_EQ(f.s->TraceOrder, 1);
    EXPECT_NE(std::find(f.s->Memo1.begin(), f.s->Memo1.end(), a), f.s->Memo1.end());
    // An entry that is not an electrogram file opens nothing.
    f.s->RecentTypes[3] = "4";
    f.s->RecentNames[3] = "/x/nashville.txt";
    ShowPrevFileClick(f.ctx, 3);
    EXPECT_EQ(f.s->FileName, a);

    // Eleven opens keep ten entries.
    for (int i = 0; i < 11; ++i) PushRecent(*f.s, "1", "p" + std::to_string(i));
    EXPECT_EQ(f.s->RecentNames[1], "p10");
    EXPECT_EQ(f.s->RecentNames[10], "p1");
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
    EXPECT_EQ(f.s->NewMatrixName, m);
    EXPECT_EQ(f.s->NrColumns, 4);
    EXPECT_EQ(TempDir::read(RecentListPath(*f.s)), before);
    const std::string record = TempDir::read(NewMatrixRecordPath(*f.s));
    EXPECT_EQ(record, std::string(20, '\0').replace(0, 20, "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n") + m + "\r\n");

    // The old format: its own folder's list, 11 lines.
    const std::string old = f.dir.write("old.txt", "2 3 3 1.0\n0 0\n2 2\n");
    f.host.files = {FileChoice{old, 1}};
    ChangeMatrixfile1Click(f.ctx);
    EXPECT_EQ(f.s->NewMatrixName, old);
    EXPECT_EQ(f.s->ElectrodeCol[2], 3);
    EXPECT_EQ(f.host.dialogs.back().title, "Open Matrix File");
    EXPECT_EQ(TempDir::read(f.dir.file("root/MyMatrix/FileList.Txt")).size(), 20 + old.size() + 2);

    // A missing file beeps and says so; a damaged one is reported and changes nothing.
    const int redraws = f.host.redraws;
    f.host.files = {FileChoice{f.dir.file("nope.txt"), 1}};
    ChangeMatrixfile1Click(f.ctx);
    EXPECT_EQ(f.host.messages.back(), f.dir.file("nope.txt") + " is not found!");
    EXPECT_EQ(f.host.redraws, redraws);  // the old-format command does not redraw then
    f.host.files = {FileChoice{f.dir.write("bad.txt", "-2\n1 1 1 1\n\n999\n"), 1}};
    runCommand(f.ctx, [&] { ChangeNewMatrixfile(f.ctx, true); });
    EXPECT_EQ(f.host.errors.size(), 1u);
    EXPECT_EQ(f.s->ElectrodeCol[2], 3);
}

TEST(Quit, AsksOnlyWhenMarksChanged) {
    Fixture f;
    f.s->MarksChanged = true;
    f.host.answers = {Answer::Cancel, Answer::No};
    Quit1Click(f.ctx);
    EXPECT_FALSE(f.host.closed);
    EXPECT_EQ(f.host.beeps, 1);
    Quit1Click(f.ctx);
    EXPECT_TRUE(f.host.closed);
    f.host.closed = false;
    f.s->MarksChanged = false;
    Quit1Click(f.ctx);  // closes at once, no question
    EXPECT_TRUE(f.host.closed);
    EXPECT_EQ(f.host.questions.size(), 2u);
}

TEST(GeneralCommands, MemoToggleAndSmoothing) {
    Fixture f;
    ShowMemoWindow1Click(f.ctx);
    EXPECT_TRUE(f.s->ShowMemo);
    EXPECT_EQ(MemoItemCaption(*f.s), "hide Memo Window");
    ShowMemoWindow1Click(f.ctx);
    EXPECT_EQ(MemoItemCaption(*f.s), "show Memo Window");

    f.s->SignalLength = f.s->NrOfFrames = 41;
    f.s->NrNIChannels = 2;
    for (int k = 1; k <= 41; ++k) f.s->Signals.at(k, 2) = k == 21 ? 20 : 0;
    Smoothing1Click(f.ctx);
    EXPECT_EQ(f.s->Signals.at(1, 2), 1);
    EXPECT_EQ(f.host.captions[0], "now smoothing signals ...");
    EXPECT_EQ(f.host.captions.back(), "smoothing ele nr = 2");
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
        f.s->NrNIChannels = 1;
        for (int k = 1; k <= 130; ++k) f.s->Signals.at(k, 1) = k == 50 ? 20 : k > 60 ? 1000 : 0;
        Smoothing1Click(f.ctx);
        for (int k = 1; k <= 130; ++k) {
            const int32_t expected = k >= 30 && k <= 40 ? 1 : k == 50 ? 20 : k > 60 ? 1000 : 0;
            ASSERT_EQ(f.s->Signals.at(k, 1), expected) << "row " << k;
        }
    }
}

}  // namespace
}  // namespace vk
