// What belongs to one recording stays with it when another one is opened,
// reopened from the recent list or imported: its connections (in memory and
// in its connections file), its map cells, and the view of its samples.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <tuple>

#include "input/ElgFile.h"
#include "input/TextImport.h"
#include "maps/MapBuffer.h"
#include "marks/Connections.h"
#include "marks/MarkFile.h"
#include "session/SampleTime.h"
#include "shell/Commands.h"
#include "shell/Display.h"
#include "support/FileSession.h"

namespace vk {
namespace {

using test::TempDir;
using Rec = std::tuple<int32_t, int32_t, int32_t, int32_t, int16_t>;

// A connections file as "Save Marks+Connections" writes it.
std::string connFile(const std::string& name, int32_t length, int32_t count, const std::vector<Rec>& records) {
    std::string t = name + "\r\n" + std::to_string(length) + "\r\n" + std::to_string(count) +
                    "\r\n 0.00000000000000E+0000\r\n 0.00000000000000E+0000\r\n0\r\n0\r\n0\r\n\r\n";
    for (const auto& [e1, t1, e2, t2, d] : records)
        t += std::to_string(e1) + "\t" + std::to_string(t1) + "\t" + std::to_string(e2) + "\t" + std::to_string(t2) +
             "\t" + std::to_string(d) + "\r\n";
    return t;
}

struct Fixture : test::FileSession {
    using FileSession::FileSession;
    // Three header lines, then `lines` lines of `channels` values (NI: after its two fields).
    std::string text(const std::string& name, int channels, int lines, const std::string& fields = "") {
        std::string t = "h\nh\nh\n";
        for (int n = 1; n <= lines; ++n) {
            t += fields;
            for (int c = 1; c <= channels; ++c) t += std::to_string(n) + "\t";
            t += "\n";
        }
        return dir.write(name, t);
    }
    void open(const std::string& path) {
        host.files = {FileChoice{path, 1}};
        OpenFile1Click(ctx);
    }
    // The import as the window's OK runs it: unsaved work asked about first.
    void importNashville(const std::string& path, int lines, int rate, int channels = 3) {
        if (!SaveAlert(ctx)) return;
        const ImportEdits edits{std::to_string(channels), std::to_string(lines), std::to_string(rate), "M"};
        ASSERT_EQ(ImportTextFile(ctx, TextFormat::Nashville, path, edits, 0).outcome, ImportOutcome::Loaded);
    }
    void importNi(const std::string& path, int lines) {
        host.inputs = {"1000", std::to_string(lines)};
        if (!SaveAlert(ctx)) return;
        ASSERT_TRUE(ReadNITextFile(ctx, path));
    }
    // An edit by hand: one more record, unsaved.
    void connect(Rec r) {
        const auto [e1, t1, e2, t2, d] = r;
        s->Connections[static_cast<size_t>(++s->ConnCount)] = Connection{e1, t1, e2, t2, d};
        s->ConnectionsChanged = true;
    }
    std::vector<Rec> records() const {
        std::vector<Rec> out;
        for (const Connection& c : std::vector(&s->Connections[1], &s->Connections[1] + s->ConnCount))
            out.emplace_back(c.Electrode1, c.Time1, c.Electrode2, c.Time2, c.Direction);
        return out;
    }
    std::string file(const std::string& name) const { return TempDir::read(dir.file(name)); }
};

// The length in ms of `samples` samples at `rate`, as the recording shows it.
int32_t lengthAt(int samples, int rate) { return static_cast<int32_t>(std::nearbyint(samples * 1000.0 / rate)); }

TEST(RecordingChange, ConnectionsAreReadSavedAndAskedAboutWithTheirOwnRecording) {
    for (const int rate : {500, 1000, 2000}) {
        SCOPED_TRACE(rate);
        Fixture f(rate);
        const std::string a = f.recording("a.E01", 100), b = f.recording("b.E01", 150);
        const std::string aConn = connFile(f.dir.file("a.C01"), 100, 1, {{1, 10, 2, 20, 1}});
        f.dir.write("a.C01", aConn);
        f.dir.write("b.C01", connFile(f.dir.file("b.C01"), 150, 1, {{3, 30, 4, 40, 1}}));
        const std::string nash = f.text("n.txt", 3, 8), ni = f.text("ni.txt", 64, 2, "2009/01/02 12:00:00.123 ");

        // Open: the recording's own connections, nothing unsaved.
        f.open(a);
        EXPECT_EQ(std::tuple(f.records(), f.s->ConnectionsChanged, f.s->ConnFileName, f.s->SignalLength, RecordingRows(*f.s)),
                  std::tuple(std::vector<Rec>{{1, 10, 2, 20, 1}}, false, f.dir.file("a.C01"), lengthAt(100, rate), 100));

        // An unsaved connection is asked about; "No" drops it, and the save
        // after the open writes nothing over b's file (or a's).
        f.connect({5, 50, 6, 60, 1});
        f.host.answers = {Answer::No};
        f.open(b);
        EXPECT_EQ(f.host.questions, std::vector<std::string>{UnsavedConnectionsQuestion});
        EXPECT_EQ(std::tuple(f.records(), f.s->ConnectionsChanged), std::tuple(std::vector<Rec>{{3, 30, 4, 40, 1}}, false));
        SaveMarks1Click(f.ctx);
        EXPECT_EQ(std::tuple(f.file("b.C01"), f.file("a.C01")), std::tuple(connFile(f.dir.file("b.C01"), 150, 1, {{3, 30, 4, 40, 1}}), aConn));

        // Reopen (F2: a is second in the list): "Yes" saves b's connections
        // to b's file, and a comes back with its own.
        f.connect({7, 70, 8, 80, -1});
        f.host.answers = {Answer::Yes};
        ShowPrevFileClick(f.ctx, 2);
        const std::string bSaved = connFile(f.dir.file("b.C01"), lengthAt(150, rate), 2, {{3, 30, 4, 40, 1}, {7, 70, 8, 80, -1}});
        EXPECT_EQ(std::tuple(f.file("b.C01"), f.s->FileName, f.records(), f.s->ConnectionsChanged),
                  std::tuple(bSaved, a, std::vector<Rec>{{1, 10, 2, 20, 1}}, false));

        // A Nashville import at this rate starts without connections and
        // saves them beside the text file.
        f.connect({2, 5, 3, 9, 1});
        f.host.answers = {Answer::No};
        f.importNashville(nash, 8, rate);
        EXPECT_EQ(std::tuple(f.s->ConnCount, f.s->ConnectionsChanged, f.s->ConnFileName), std::tuple(0, false, f.dir.file("n.Cxt")));
        f.connect({1, 1, 2, 3, 1});
        SaveMarks1Click(f.ctx);
        const std::string nSaved = connFile(f.dir.file("n.Cxt"), lengthAt(8, rate), 1, {{1, 1, 2, 3, 1}});
        EXPECT_EQ(std::tuple(f.file("n.Cxt"), f.file("a.C01")), std::tuple(nSaved, aConn));

        // An NI import keeps FileName but its connections go beside the NI
        // file, and the status bar names it.
        f.connect({2, 2, 3, 4, 1});
        f.host.answers = {Answer::No};
        f.importNi(ni, 2);
        EXPECT_EQ(std::tuple(f.s->FileName, f.s->ConnCount, f.s->ConnFileName, StatusBarTexts(*f.s).fileName, f.s->SignalLength),
                  std::tuple(nash, 0, f.dir.file("ni.Cxt"), std::string("ni.txt"), lengthAt(2, rate)));
        f.connect({4, 4, 5, 6, -1});
        SaveMarks1Click(f.ctx);
        EXPECT_EQ(std::tuple(f.file("ni.Cxt"), f.file("n.Cxt")),
                  std::tuple(connFile(f.dir.file("ni.Cxt"), lengthAt(2, rate), 1, {{4, 4, 5, 6, -1}}), nSaved));

        // The open after the imports: b as saved, shown whole at this rate.
        f.open(b);
        EXPECT_EQ(std::tuple(f.records().size(), f.s->SignalLength, f.s->WindowA, RecordingRows(*f.s), StatusBarTexts(*f.s).fileName, f.file("b.C01")),
                  std::tuple(2u, lengthAt(150, rate), lengthAt(150, rate), 150, std::string("b.E01"), bSaved));
    }
}

TEST(RecordingChange, QuitAsksAboutConnectionsAndADamagedConnectionsFileIsKept) {
    Fixture f;
    const std::string a = f.recording("a.E01", 100);
    // A connections file with a bad number on its second record line.
    const std::string damaged = connFile("x", 100, 3, {{1, 10, 2, 20, 1}}) + "3\t3x\t4\t40\t1\r\n";
    f.dir.write("a.C01", damaged);
    f.open(a);
    EXPECT_EQ(f.host.messages, std::vector{f.dir.file("a.C01") + " is damaged: '3x' is not a valid integer value\n"
                                           "1 connections before the fault were read.\nThe damaged file was kept as " +
                                           f.dir.file("a.C01.damaged") + "."});
    EXPECT_EQ(std::tuple(f.s->FileName, f.records(), f.file("a.C01.damaged")),
              std::tuple(a, std::vector<Rec>{{1, 10, 2, 20, 1}}, damaged));

    // A connections file that cannot be read (far larger than one can be;
    // tests run as root, so permissions would not stop the read) stops the
    // open: a stays.
    const std::string b = f.recording("b.E01", 50);
    std::filesystem::resize_file(f.dir.write("b.C01", ""), (64u << 20) + 1);
    f.open(b);
    EXPECT_EQ(std::tuple(f.host.errors.size(), f.s->FileName, f.s->FileLoaded), std::tuple(1u, a, true));

    // Connections read from another file are unsaved for this recording.
    f.host.files = {FileChoice{f.dir.write("other.C05", connFile("o", 9, 1, {{6, 1, 7, 2, 1}})), 1}};
    ReadConnections1Click(f.ctx);
    // Quit asks about them: Cancel stays, Yes saves them and quits.
    f.host.answers = {Answer::Cancel, Answer::Yes};
    Quit1Click(f.ctx);
    EXPECT_EQ(std::tuple(f.s->ConnectionsChanged, f.host.closed), std::tuple(true, false));
    Quit1Click(f.ctx);
    EXPECT_EQ(f.host.questions, std::vector<std::string>(2, UnsavedConnectionsQuestion));
    EXPECT_EQ(std::tuple(f.host.closed, f.file("a.C01")),
              std::tuple(true, connFile(f.dir.file("a.C01"), 100, 1, {{6, 1, 7, 2, 1}})));
    // Marks and connections both unsaved: two questions, Cancel at the second stays.
    f.host.closed = false;
    f.s->MarksChanged = f.s->ConnectionsChanged = true;
    f.host.answers = {Answer::No, Answer::Cancel};
    Quit1Click(f.ctx);
    EXPECT_EQ(std::tuple(std::vector(f.host.questions.end() - 2, f.host.questions.end()), f.host.closed),
              std::tuple(std::vector<std::string>{UnsavedMarksQuestion, UnsavedConnectionsQuestion}, false));
}

// The previous recording's expanded cell (69, in italics) and crossed-out
// cell must not reach the next recording's map, whichever way it is loaded.
TEST(RecordingChange, EveryLoadStartsWithAnEmptyMap) {
    Fixture f;
    const std::string a = f.recording("a.E01", 100), b = f.recording("b.E01", 100);
    const std::string nash = f.text("n.txt", 3, 4), ni = f.text("ni.txt", 64, 3, "2009/01/02 12:00:00.123 ");
    f.open(a);
    f.open(b);  // a is entry 2 of the recent list
    const std::pair<const char*, std::function<void()>> loads[] = {
        {"open", [&] { f.open(a); }},
        {"reopen", [&] { ShowPrevFileClick(f.ctx, 2); }},
        {"nashville", [&] { f.importNashville(nash, 4, 1000); }},
        {"ni", [&] { f.importNi(ni, 3); }},
    };
    for (const auto& [name, load] : loads) {
        SCOPED_TRACE(name);
        f.s->MapBuf.at(2, 1).Time = 69;
        f.s->MapBuf.at(2, 1).Expanded = 1;
        f.s->MapBuf.at(3, 1).Time = Excluded;
        f.s->VelocityBuf.at(1, 1).Speed = 4.5;
        f.s->PanelMapTime[1].at(2, 1) = 69;
        load();
        SetMapWindowOfPanel(*f.s, 1);
        LoadMap(*f.s, SlowWave);
        for (int column = 1; column <= f.s->NrColumns; ++column)
            for (int row = 1; row <= f.s->NrRows; ++row)
                ASSERT_EQ(std::tuple(f.s->MapBuf.at(column, row).Time, f.s->MapBuf.at(column, row).Expanded, f.s->PanelMapTime[1].at(column, row)),
                          std::tuple(Missing, 0, Missing)) << column << "," << row;
        EXPECT_EQ(f.s->VelocityBuf.at(1, 1).Speed, Missing);
    }
}

// After a text import the traces start at 0 whatever the begin time was; an
// open keeps a begin time that lies inside the new recording.
TEST(RecordingChange, AnImportIsShownFromItsStartAndAnOpenKeepsABeginInside) {
    for (const int rate : {500, 1000, 2000}) {
        SCOPED_TRACE(rate);
        Fixture f(rate);
        const std::string nash = f.text("run.txt", 3, 2000);
        f.open(f.recording("long.E01", 9000));
        f.s->BeginTimeA = f.s->BeginTimeB = f.s->BeginTimeAll = 3500;
        f.importNashville(nash, 2000, rate);
        EXPECT_EQ(std::tuple(f.s->BeginTimeA, f.s->BeginTimeB, f.s->BeginTimeAll, f.s->WindowA, f.s->SignalLength,
                             StatusBarTexts(*f.s).fileName, f.s->FirstSample),
                  std::tuple(0, 0, 0, lengthAt(2000, rate), lengthAt(2000, rate), std::string("run.txt"), 0));
        // The single row holds the import's channels and nothing of the
        // matrix used before (electrodes 1..8): 3 channels in 16 columns.
        EXPECT_EQ(std::tuple(f.s->NrColumns, f.s->NrRows, IsPlaced(*f.s, 3), IsPlaced(*f.s, 4), IsPlaced(*f.s, 8)),
                  std::tuple(16, 1, true, false, false));
        // An open keeps a begin time before its end and starts one at or past it from 0.
        const int32_t end = lengthAt(100, rate), inside = end - 1;
        f.s->BeginTimeA = inside;
        f.s->BeginTimeB = end;
        f.open(f.recording("short.E01", 100));
        EXPECT_EQ(std::tuple(f.s->SignalLength, f.s->BeginTimeA, f.s->BeginTimeB), std::tuple(end, inside, 0));
    }
    // 48 channels (the Nashville default) make a row of 48 cells that fits
    // the panel; the 256 channels of a full file fill the grid's 100 columns.
    for (const auto& [channels, columns, cell] : {std::tuple(48, 48, 33), std::tuple(256, 100, 15)}) {
        Fixture f;
        f.importNashville(f.text("w.txt", channels, 1), 1, 1000, channels);
        SizeMapCells(*f.s, 1600, 500);
        EXPECT_EQ(std::tuple(f.s->NrColumns, f.s->CellWidth, IsPlaced(*f.s, columns), IsPlaced(*f.s, columns + 1)),
                  std::tuple(columns, cell, true, false));
    }
}

}  // namespace
}  // namespace vk
