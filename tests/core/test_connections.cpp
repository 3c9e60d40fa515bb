// Connections between marks of neighbouring electrodes (keys, arrows, the
// connections file) and the reference table.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "maps/Velocity.h"
#include "marks/Connections.h"
#include "marks/ManualMarking.h"
#include "marks/MarkFile.h"
#include "marks/MarkStore.h"
#include "marks/ReferenceTable.h"
#include "shell/KeyMap.h"
#include "session/TextFiles.h"
#include "support/ElectrogramSession.h"
#include "support/TempDir.h"

namespace vk {
namespace {

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
    EXPECT_EQ(std::vector({c.rec(1), c.rec(2), c.rec(3), c.rec(4), c.rec(5)}),
              std::vector<Rec>({{Missing, 100, 18, 200, 1}, {Missing, 100, 19, 200, 1}, {18, 100, 19, 200, 1},
                                {Missing, 100, 19, 200, 1}, {0, 0, 0, 0, 0}}));
    c.put({{17, 300, 18, 100, -1}, {18, 100, 19, 150, 1}, {17, 150, 18, 250, 1}});
    c.s->ConnectionsChanged = false;
    c.key('Z', 1, 0, 200);  // 200 lies strictly inside records 1 and 3 of electrode 17
    EXPECT_EQ(std::vector({c.rec(1), c.rec(2), c.rec(3)}),
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
    EXPECT_EQ(std::vector({c.rec(1), c.rec(2)}), std::vector<Rec>({{17, 1900, 18, 2000, -1}, {17, 2450, 18, 2000, -1}}));
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
    EXPECT_EQ(c.s->ConnCount, 9);
    EXPECT_EQ(std::vector(c.s->Memo1.end() - 4, c.s->Memo1.end()), (std::vector<std::string>{"x", "777", "12", "new nr connect: 9"}));
    // Three distinct records survive the save, each once.
    c.s->ConnectionsChanged = c.s->MarksChanged = true;
    c.s->MarkFileName = c.dir.file("REC.M07");
    SaveMarks1Click(c.ctx);
    const std::string saved = readWholeFile(c.dir.file("REC.C07"), 1000);
    EXPECT_EQ(saved.substr(saved.find("\r\n\r\n") + 4), "17\t2\t18\t9\t1\r\n17\t0\t18\t9\t1\r\n17\t1\t18\t9\t1\r\n");
    EXPECT_EQ(c.host.messages, (std::vector<std::string>{"Marks have been saved ", "Connections have been saved "}));
    EXPECT_FALSE(c.s->ConnectionsChanged);
    // Lines may end in LF, CR LF or CR alike.
    for (const std::string end : {"\n", "\r\n", "\r"}) {
        auto state = std::make_unique<SessionState>();
        SessionState& s = *state;
        std::string lines = "y" + end + "5" + end + "2" + end;
        for (int i = 4; i <= 9; ++i) lines += end;
        lines += "3 40 4 55 -1" + end + "7\t1\t8\t2\t1";
        ParseConnectionsFile(lines, s);
        EXPECT_EQ(std::tuple(s.ConnCount, s.Connections[1].Electrode1, s.Connections[1].Time2, s.Connections[1].Direction,
                             s.Connections[2].Electrode2),
                  std::tuple(2, 3, 55, -1, 8))
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
        std::vector<Rec> got;
        for (int i = 1; i <= c.s->ConnCount; ++i) got.push_back(c.rec(i));
        EXPECT_EQ(got, expected) << count;
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

}  // namespace
}  // namespace vk
