// Connections between marks of neighbouring electrodes (keys, arrows, the
// connections file), the reference table, and what stays with a recording
// when another one is opened or imported.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "input/TextImport.h"
#include "maps/MapBuffer.h"
#include "maps/Velocity.h"
#include "marks/Connections.h"
#include "marks/ManualMarking.h"
#include "marks/MarkFile.h"
#include "marks/MarkStore.h"
#include "marks/ReferenceTable.h"
#include "shell/KeyMap.h"
#include "session/SampleTime.h"
#include "session/TextFiles.h"
#include "shell/Commands.h"
#include "support/ElectrogramSession.h"
#include "support/FileSession.h"

namespace vk {
namespace {

using test::TempDir;
using Rec = std::tuple<int32_t, int32_t, int32_t, int32_t, int16_t>;

// Electrodes 17 and 18 on rows 1 and 2 (250 pixels apart, centres at y 135
// and 385), a 2000 ms window over 1000 pixels: x = 30 + t / 2.
struct Conn : test::ElectrogramSession {
    test::TempDir dir;
    Conn() : ElectrogramSession(5000, 2000, 2, 17) {
        s->FileName = dir.file("REC.E07");
        UpdateDisplay(ctx);
    }
    void mark(int e, int t, int type = SlowWave) {
        s->CurrentElectrode = e;
        AddMarkRecord(*s, t, static_cast<int16_t>(type), 1);
    }
    // A key with the mouse on row `row`, above (dy < 0) or below its centre, at time t.
    void key(char k, int row, int dy, int t) {
        s->MouseX = 500;
        s->MouseY = 10 + row * 250 - 125 + dy;
        s->CurrentTrace = row;
        s->CurrentElectrode = 16 + row;
        s->CursorTime = t;
        CharacterKey(ctx, k);
    }
    Rec rec(int i) const {
        const Connection& c = s->Connections[static_cast<size_t>(i)];
        return {c.Electrode1, c.Time1, c.Electrode2, c.Time2, c.Direction};
    }
    std::vector<Rec> records(int n) const {
        std::vector<Rec> out;
        for (int i = 1; i <= n; ++i) out.push_back(rec(i));
        return out;
    }
    void put(std::vector<Connection> cs) {
        s->ConnCount = 0;
        for (const Connection& c : cs) s->Connections[static_cast<size_t>(++s->ConnCount)] = c;
    }
    // What panel A drew in magenta.
    std::vector<std::string> magentaOps() const {
        auto it = std::find(a.ops.begin(), a.ops.end(), "pen 16711935");
        if (it == a.ops.end()) return {};
        return std::vector<std::string>(it + 1, std::find_if(it + 1, a.ops.end(), [](const std::string& op) { return op.starts_with("pen"); }));
    }
};

TEST(Connections, KeyYConnectsThePairAndDrawsTheArrowToTheLaterMark) {
    Conn c;
    c.mark(17, 1000);
    c.mark(18, 1040);
    c.key('y', 1, +5, 1020);  // below the centre of row 1: the pair (17, 18)
    EXPECT_EQ(std::tuple(c.s->ConnCount, c.rec(1), c.s->ConnectionsChanged), std::tuple(1, Rec{17, 1000, 18, 1040, 1}, true));
    Point p1, p2;
    ASSERT_TRUE(ArrowHead({530, 135}, {550, 385}, 62, p1, p2));
    const std::vector<std::string> arrow = {"line 530 135 550 385",
                                            "line 550 385 " + std::to_string(p1.x) + " " + std::to_string(p1.y),
                                            "line 550 385 " + std::to_string(p2.x) + " " + std::to_string(p2.y)};
    EXPECT_EQ(c.magentaOps(), arrow);
    // Above the centre of row 2 is the same pair; there the only pair is late-to-early.
    c.mark(17, 3000);
    c.mark(18, 2990);
    c.key('Y', 2, -5, 4500);
    EXPECT_EQ(std::tuple(c.s->ConnCount, c.rec(2)), std::tuple(2, Rec{0, 0, 0, 0, -1}));
    // The unfilled record is neither drawn nor saved; the count line holds it.
    EXPECT_EQ(c.magentaOps(), arrow);
    ToggleShowConnections(c.ctx);
    EXPECT_TRUE(c.magentaOps().empty());
    WriteConnectionsFile(*c.s);
    EXPECT_EQ(readWholeFile(c.dir.file("REC.C07"), 1000),
              c.dir.file("REC.C07") + "\r\n5000\r\n2\r\n 0.00000000000000E+0000\r\n 0.00000000000000E+0000\r\n"
                                       "0\r\n0\r\n0\r\n\r\n17\t1000\t18\t1040\t1\r\n");
}

TEST(Connections, DeletingBetweenElectrodesAndAcrossATime) {
    Conn c;
    const std::vector<Connection> start = {
        {17, 100, 18, 200, 1}, {16, 100, 19, 200, 1}, {18, 100, 19, 200, 1}, {17, 100, 19, 200, 1}, {0, 0, 0, 0, 0}};
    c.put(start);
    c.key('f', 1, +5, 10);  // the pair (17, 18): the record on it and those spanning it go
    EXPECT_EQ(c.records(5),
              std::vector<Rec>({{Missing, 100, 18, 200, 1}, {Missing, 100, 19, 200, 1}, {18, 100, 19, 200, 1},
                                {Missing, 100, 19, 200, 1}, {0, 0, 0, 0, 0}}));
    c.put({{17, 300, 18, 100, -1}, {18, 100, 19, 150, 1}, {17, 150, 18, 250, 1}});
    c.s->ConnectionsChanged = false;
    c.key('Z', 1, 0, 200);  // 200 lies strictly inside records 1 and 3 of electrode 17
    EXPECT_EQ(c.records(3),
              std::vector<Rec>({{Missing, 300, 18, 100, -1}, {18, 100, 19, 150, 1}, {Missing, 150, 18, 250, 1}}));
    c.key('z', 2, 0, 150);  // end points are not inside
    c.key('z', 2, 0, 100);
    EXPECT_EQ(c.rec(2), (Rec{18, 100, 19, 150, 1}));
}

TEST(Connections, KeysOneAndTwoAndMakeConnections) {
    Conn c;
    c.mark(18, 2000);
    c.mark(17, 1900);
    c.mark(17, 2450);
    c.key('1', 2, 0, 2100);  // remembers electrode 18 at 2000
    c.key('2', 1, 0, 2100);  // both marks of 17 within 500 ms: arrows from 18 back to 17
    EXPECT_EQ(c.records(2), std::vector<Rec>({{17, 1900, 18, 2000, -1}, {17, 2450, 18, 2000, -1}}));
    c.mark(17, 100);
    c.mark(18, 50);
    MakeConnections1Click(c.ctx);  // the window 0..2000 of panel A; 17 at 2450 lies outside
    EXPECT_EQ(std::tuple(c.s->ConnCount, c.rec(3), c.rec(4)),
              std::tuple(4, Rec{17, 1900, 18, 2000, 1}, Rec{17, 100, 18, 2000, 1}));
    MakeConnections1Click(c.ctx);  // every mark of 17 is connected now
    EXPECT_EQ(c.s->ConnCount, 4);
}

TEST(Connections, FileReadDuplicatesAndSave) {
    Conn c;
    // The count line says 12; 10 record lines follow, one of them deleted.
    std::string text = "x\r\n777\r\n12\r\na\r\nb\r\n0\r\n0\r\n0\r\n\r\n";
    for (int i = 1; i <= 10; ++i) text += std::to_string(i == 4 ? -1 : 17) + "\t" + std::to_string(i % 3) + "\t18\t9\t1\r\n";
    c.dir.write("in.C07", text);
    ReadConnectionsFile(*c.s, c.dir.file("in.C07"));
    EXPECT_EQ(std::tuple(c.s->ConnCount, std::vector(c.s->Memo1.end() - 4, c.s->Memo1.end())),
              std::tuple(9, std::vector<std::string>{"x", "777", "12", "new nr connect: 9"}));
    // Three distinct records survive the save, each once.
    c.s->ConnectionsChanged = c.s->MarksChanged = true;
    c.s->MarkFileName = c.dir.file("REC.M07");
    SaveMarks1Click(c.ctx);
    const std::string saved = readWholeFile(c.dir.file("REC.C07"), 1000);
    EXPECT_EQ(saved.substr(saved.find("\r\n\r\n") + 4), "17\t2\t18\t9\t1\r\n17\t0\t18\t9\t1\r\n17\t1\t18\t9\t1\r\n");
    EXPECT_EQ(std::tuple(c.host.messages, c.s->ConnectionsChanged),
              std::tuple(std::vector<std::string>{"Marks have been saved ", "Connections have been saved "}, false));
    // Lines may end in LF, CR LF or CR alike.
    for (const std::string end : {"\n", "\r\n", "\r"}) {
        std::string lines = "y" + end + "5" + end + "2" + end;
        for (int i = 4; i <= 9; ++i) lines += end;
        ParseConnectionsFile(lines + "3 40 4 55 -1" + end + "7\t1\t8\t2\t1", *c.s);
        EXPECT_EQ(std::tuple(c.s->ConnCount, c.records(2)), std::tuple(2, std::vector<Rec>{{3, 40, 4, 55, -1}, {7, 1, 8, 2, 1}}))
            << int(end.back());
    }
    // The name comes from the recording's own name only.
    for (auto [rec, conn] : {std::pair{"a1.E1", "a1.C1"}, {"pig.v2/rec", "pig.v2/rec.C"}, {"pig.v2/a.E01", "pig.v2/a.C01"},
                             {"x.C01", "x.C01.C"}, {"d/r.e01.bak", "d/r.C01.bak"}})
        EXPECT_EQ(ConnFileNameFor(rec), conn) << rec;
}

// Nine header lines precede the records, and the count line is obeyed: with
// exactly as many records as announced, a reader that skipped one line too
// few or too many would lose the last or the first record.
TEST(Connections, TheRecordsStartAfterNineHeaderLines) {
    Conn c;
    const std::string head = "x\r\n777\r\n";
    const std::string rest = "\r\n a\r\n b\r\n1\r\n2\r\n3\r\n\r\n17\t1\t18\t2\t1\r\n19\t3\t20\t4\t-1\r\n21\t5\t22\t6\t1\r\n";
    const std::pair<const char*, std::vector<Rec>> cases[] = {
        {"3", {{17, 1, 18, 2, 1}, {19, 3, 20, 4, -1}, {21, 5, 22, 6, 1}}},
        {"2", {{17, 1, 18, 2, 1}, {19, 3, 20, 4, -1}}},
        {"0", {}},
    };
    for (const auto& [count, expected] : cases) {
        ParseConnectionsFile(head + count + rest, *c.s);
        EXPECT_EQ(c.records(c.s->ConnCount), expected) << count;
    }
}

TEST(ReferenceTable, ListChooseInsertAndDelete) {
    Conn c;
    UpdateReferenceTable(*c.s);
    EXPECT_EQ(RefGridRows(*c.s), (std::vector<std::array<std::string, 3>>{{"Nr 1", "0", "0"}}));
    c.s->RefTime = 70;
    RefGridSelectCell(*c.s, 0);
    OkbuttonClick(c.ctx);
    EXPECT_EQ(std::tuple(c.s->RefTime, c.s->RefElectrode), std::tuple(0, 0));
    // Out-of-range values: each says so and beeps; nothing is added.
    InsertButtonClick(c.ctx, "16", "100");
    InsertButtonClick(c.ctx, "300", " -5");
    EXPECT_EQ(c.host.messages, (std::vector<std::string>{"Electrode Number must be in the 17 - 256 range !",
                                                         "Electrode Number must be in the 17 - 256 range !",
                                                         "Reference time must be in the 0 - 5000 range !"}));
    InsertRefNrChange(c.ctx, "0");
    EXPECT_EQ(std::tuple(c.host.beeps, c.host.messages.back(), c.s->MarkCount), std::tuple(4, InvalidRefText, 0));
    // 120 reference marks list 99 of them; a slow wave at the same place goes with its reference.
    for (int i = 0; i < 120; ++i) c.mark(17 + i % 3, 10 * i, Reference);
    c.mark(18, 10, SlowWave);
    InsertButtonClick(c.ctx, "256", "5000");
    EXPECT_EQ(std::tuple(c.s->RefCount, RefGridRows(*c.s).back()[0], c.s->RefList[3].Time), std::tuple(100, "Nr 100", 10));
    RefGridSelectCell(*c.s, 0);
    DeleteButtonClick(c.ctx);  // entry 1 stays
    InsertRefNrChange(c.ctx, "3");
    c.s->RefTime = 70;
    RefGridSelectCell(*c.s, 2);
    DeleteButtonClick(c.ctx);
    EXPECT_EQ(std::tuple(c.s->MarkTable[2].Time, c.s->MarkTable[121].Time, c.s->RefList[3].Time, c.s->RefCount),
              std::tuple(Missing, Missing, 20, 100));
    EXPECT_EQ(std::tuple(c.s->CandidateElectrode, c.s->CandidateTime, c.s->RefTime), std::tuple(0, 0, 70));
}

// What belongs to one recording stays with it when another one is opened,
// reopened from the recent list or imported: its connections (in memory and
// in its connections file), its map cells, and the view of its samples.
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
