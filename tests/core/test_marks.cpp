// The mark store, its undo and statistics, and the mark file on disk.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "shell/Display.h"
#include "input/ElgFile.h"
#include "marks/MarkFile.h"
#include "marks/MarkStore.h"
#include "shell/Commands.h"
#include "session/TextFiles.h"
#include "support/MarkFields.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace vk {
namespace {

using test::fields;
using test::ScriptedHost;
using test::TempDir;

std::unique_ptr<SessionState> fresh() { return std::make_unique<SessionState>(); }

void add(SessionState& s, int electrode, int time, int type, int nr = 1) {
    s.CurrentElectrode = electrode;
    AddMarkRecord(s, time, static_cast<int16_t>(type), static_cast<int16_t>(nr));
}

TEST(MarkStore, AddingStopsAtAFullTable) {
    auto s = fresh();
    for (int i = 0; i < MaxMarks; ++i) add(*s, 1 + i % 256, i, SlowWave);
    ASSERT_EQ(s->MarkCount, MaxMarks);
    s->MarksChanged = false;
    add(*s, 5, 99999, Spike);
    EXPECT_EQ(std::tuple(s->MarkCount, s->MarksChanged, s->MarkTable[MaxMarks].Time), std::tuple(MaxMarks, false, MaxMarks - 1));
}

TEST(MarkStore, DeletingInAWindowAndSwitchingTypes) {
    auto s = fresh();
    // Electrode 8 is another electrode.
    for (auto [e, time, type] : {std::tuple{7, 1000, SlowWave}, {8, 1005, SlowWave}, {7, 1010, SlowWave},
                                 {7, 1020, Reference}, {7, 1030, Type3}})
        add(*s, e, time, type);
    // Both slow waves and the reference in the window go; Found is the
    // time of the last one in slot order.
    EXPECT_EQ(RemoveTime(*s, 7, SlowWave, 1020, 990), 1020);
    // The slot keeps its electrode; deleted slots stay counted.
    EXPECT_EQ(fields(s->MarkTable[1]), fields({7, DeletedType, Missing, 0, 0, ManualOrigin, 1}));
    EXPECT_EQ(std::tuple(s->MarkTable[2].Time, s->MarkCount), std::tuple(1005, 5));
    // A delete of type 2 takes a reference mark with it.
    add(*s, 9, 500, Reference);
    EXPECT_EQ(RemoveTime(*s, 9, Spike, 530, 470), 500);
    // Ends of the window are inclusive; nothing found is Missing.
    add(*s, 9, 600, Spike);
    EXPECT_EQ(RemoveTime(*s, 9, Spike, 599, 570), Missing);
    EXPECT_EQ(RemoveTime(*s, 9, Spike, 600, 600), 600);

    // Switching: slow wave <-> spike; type 3 stays and reports nothing.
    EXPECT_EQ(SwitchAttribute(*s, 7, 1000, 1100), Missing);
    add(*s, 7, 1040, Spike);
    EXPECT_EQ(SwitchAttribute(*s, 7, 1000, 1100), 1040);
    EXPECT_EQ(std::tuple(s->MarkTable[static_cast<size_t>(s->MarkCount)].MarkType, s->MarkTable[5].MarkType),
              std::tuple(SlowWave, Type3));

    // K: every slow wave and reference of the electrode, nothing else.
    add(*s, 7, 50, Reference);
    s->CurrentElectrode = 7;
    s->SignalLength = 5000;
    KillMarks(*s);
    for (int i = 1; i <= s->MarkCount; ++i) {
        const MarkRecord& m = s->MarkTable[static_cast<size_t>(i)];
        EXPECT_TRUE(m.Electrode != 7 || m.MarkType == Type3 || IsDeleted(m)) << i;
    }
}

TEST(MarkStore, UndoKeepsAHundredAndReaddsWithTheCurrentLabels) {
    auto s = fresh();
    for (int i = 1; i <= 101; ++i) StoreUndo(*s, i * 10, SlowWave, i);
    // The first one was pushed out.
    EXPECT_EQ(std::tuple(s->UndoCount, s->UndoStore[0].Electrode, s->UndoStore[99].Electrode), std::tuple(100, 101, 2));
    s->MarkOrigin = AutomaticOrigin;
    s->CurrentMarkNr = 7;
    ASSERT_TRUE(UndoLastDeletion(*s));
    EXPECT_EQ(std::tuple(fields(s->MarkTable[1]), s->UndoCount, s->UndoStore[0].Electrode),
              std::tuple(fields({101, SlowWave, 1010, 0, 0, AutomaticOrigin, 7}), 99, 100));
    while (UndoLastDeletion(*s)) continue;
    EXPECT_EQ(std::tuple(s->UndoCount, s->MarkCount), std::tuple(0, 100));
}

TEST(MarkStore, StatisticsIgnoreDeletedSlotsAndHidingSparesThem) {
    auto s = fresh();
    add(*s, 1, 100, SlowWave);
    add(*s, 1, 200, SlowWave);
    s->MarkOrigin = AutomaticOrigin;
    for (auto [e, time, type] : {std::tuple{1, 300, SlowWave}, {2, 300, Spike}, {2, 400, Reference}, {3, 400, Type3}})
        add(*s, e, time, type);
    RemoveTime(*s, 1, SlowWave, 100, 100);
    const auto grid = MarkStatisticsGrid(CalcMarkStatistics(*s));
    std::string rows;
    for (const auto& row : grid)
        for (const auto& cell : row) rows += cell + (&cell == &row.back() ? "|" : ",");
    EXPECT_EQ(rows, ",# marks,# manual,# automatic|References,1,,|Slow Waves,2,1,1|Spikes,1,0,1|Type 3,1,,|");

    s->RefTime = 100;
    HideMarks(*s, 1, 200);  // the mark at 300 = 200 after the reference time
    EXPECT_EQ(std::tuple(s->MarkTable[3].Visible, s->MarkTable[2].Visible, s->UnhideEnabled), std::tuple(0, 1, true));
    UnhideElectrode(*s, 1);
    EXPECT_EQ(s->MarkTable[3].Visible, 1);
    HideMarks(*s, 1, 200);
    UnhideAll(*s);
    EXPECT_EQ(std::tuple(s->MarkTable[3].Visible, s->UnhideEnabled), std::tuple(1, false));
}

TEST(MarkStore, SortedByElectrodeThenTimeWithoutDeletedOrStrayMarks) {
    auto s = fresh();
    for (auto [e, time, type] : {std::tuple{3, 500, SlowWave}, {1, 900, Spike}, {1, 100, SlowWave}, {3, 200, Spike},
                                 {2, 700, Reference}, {1, 400, SlowWave}, {2, 50, SlowWave}, {2, 10, SlowWave},
                                 {4, 300, SlowWave}, {4, 300, SlowWave}})
        add(*s, e, time, type);
    RemoveTime(*s, 2, SlowWave, 10, 10);  // slot 8 deleted
    s->MarkTable[9].Electrode = 257;      // no electrode of the recording
    s->MarkTable[10].Time = Missing;      // no time: deleted as well
    std::vector<int32_t> order{99, 98};   // what a previous sort left
    EXPECT_EQ(&SortMarksByElectrode(*s, order), &order);
    EXPECT_EQ(order, (std::vector<int32_t>{3, 6, 2, 7, 5, 4, 1}));
    const std::vector<int32_t> slowWaves = SortMarksByElectrode(*s, order, SlowWave);
    EXPECT_EQ(std::pair(slowWaves, SortMarksByElectrode(*s, order, Reference)), std::pair(std::vector<int32_t>{3, 6, 7, 1}, std::vector<int32_t>{5}));
}

// A session with an open recording whose mark file lives in a temporary folder.
struct Recording {
    TempDir dir;
    std::unique_ptr<SessionState> s = fresh();
    ScriptedHost host;
    Ctx ctx{*s, host, RedrawPanels};

    Recording() {
        s->DataRoot = dir.file("root");
        StartUp(ctx);
        UseNewMatrix(*s, dir.write("a-twenty-char-name.txt", "-2\n4 4 1 1\n\n1 2 3 4\n"));
        ElgWriteFormat format;
        format.channels = 4;
        format.headerWordA = 0x1234;
        format.headerWordB = -2;
        dir.write("REC.E07", ElgFileBytes(format, std::vector<int16_t>(4 * 100, 1)));
    }
    bool open() { return OpenElectrogramFile(ctx, dir.file("REC.E07")); }
    std::string markFile() const { return TempDir::read(dir.file("REC.M07")); }
};

int16_t i16(const std::string& b, size_t at) { int16_t v; std::memcpy(&v, &b[at], 2); return v; }
int32_t i32(const std::string& b, size_t at) { int32_t v; std::memcpy(&v, &b[at], 4); return v; }

// A mark file whose header puts the records at `start`, then the records.
std::string markFileWith(int16_t start, const std::vector<MarkRecord>& records) {
    std::string bytes(static_cast<size_t>(start), '\0');
    std::memcpy(&bytes[2], &start, 2);
    for (const MarkRecord& m : records) bytes.append(reinterpret_cast<const char*>(&m), MarkRecordDiskSize);
    return bytes;
}

// Slots 1.. of the table hold the records, every field of them.
void expectRecords(const SessionState& s, const std::vector<MarkRecord>& records, const std::string& when) {
    ASSERT_EQ(s.MarkCount, static_cast<int32_t>(records.size())) << when;
    for (size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(std::tuple(fields(s.MarkTable[i + 1]), s.MarkTable[i + 1].SeqNr), std::tuple(fields(records[i]), i + 1)) << when << ", slot " << i + 1;
}

TEST(MarkFile, CreatedWithItsHeaderAndWrittenBitExact) {
    Recording r;
    ASSERT_TRUE(r.open());
    std::string b = r.markFile();
    ASSERT_EQ(b.size(), 4096u);
    for (auto [at, v] : {std::pair{0, -1}, {2, 4096}, {86, 4}, {88, 2}, {90, 0x1234}, {104, -2}})
        EXPECT_EQ(i16(b, at), v) << at;
    // "a-twenty-char-name.txt" cut to 16 characters; the frames; no marks.
    EXPECT_EQ(std::tuple(int{b[106]}, b.substr(107, 16), i32(b, 2164), r.s->MarkCount),
              std::tuple(16, std::string("a-twenty-char-na"), 101, 0));

    add(*r.s, 3, 1500, SlowWave, 4);
    add(*r.s, 2, -5, Reference, 0);
    add(*r.s, 3, 1600, Spike, 4);
    RemoveTime(*r.s, 3, Spike, 1600, 1600);
    r.s->FileInfo = "stomach, 37 C";
    WriteMarkFile(*r.s);
    EXPECT_FALSE(r.s->MarksChanged);
    b = r.markFile();
    ASSERT_EQ(b.size(), 4096u + 3 * 16);
    EXPECT_EQ(std::tuple(int{b[1898]}, b.substr(1899, 13)), std::tuple(13, std::string("stomach, 37 C")));
    // Record 1: electrode, type, time, aux1, origin, mark nr; record 2's time; the deleted third.
    for (auto [at, v] : {std::pair{4096, 3}, {4098, 1}, {4104, 0}, {4108, 1}, {4110, 4}, {4130, -12345}})
        EXPECT_EQ(i16(b, at), v) << at;
    for (auto [at, v] : {std::pair{4100, 1500}, {4116, -5}, {4132, -12345}}) EXPECT_EQ(i32(b, at), v) << at;

    // Read back into a fresh session: the same slots and text.
    Recording again;
    std::filesystem::copy_file(r.dir.file("REC.M07"), again.dir.file("REC.M07"));
    ASSERT_TRUE(again.open());
    EXPECT_EQ(std::tuple(again.s->MarkCount, again.s->FileInfo), std::tuple(3, std::string("stomach, 37 C")));
    for (size_t i = 1; i <= 3; ++i)
        EXPECT_EQ(std::tuple(fields(again.s->MarkTable[i]), again.s->MarkTable[i].Visible), std::tuple(fields(r.s->MarkTable[i]), 1)) << i;
    EXPECT_NE(std::find(again.s->Memo1.begin(), again.s->Memo1.end(), "reading.1." + again.s->MatrixFileName),
              again.s->Memo1.end());
}

// Distinct values in all seven fields, negative and above 32767 where the
// field's type allows it, so that a field read from a neighbour's offset or
// with the wrong sign shows.
const std::vector<MarkRecord> records = {
    {3, SlowWave, 1500, 11, 22, ManualOrigin, 4},
    {256, Reference, -5, -3, -4, AutomaticOrigin, 65535},
    {17, DeletedType, Missing, 32767, -32768, 9, 40000},
    {1, Type3, 2000000000, 300, 301, 0, 7},
};

TEST(MarkFile, EveryFieldOfEveryRecordReadsBackAndWritesBackBitExact) {
    std::string bytes = markFileWith(4096, records);
    auto s = fresh();
    EXPECT_TRUE(ParseMarkFile(bytes, "m.M01", *s).problems.empty());
    expectRecords(*s, records, "read");
    // Written back: the records are the bytes that were read.
    EXPECT_EQ(MarkFileBytes(*s).substr(4096), bytes.substr(4096));

    // A full table reads whole; one record more is cut and reported.
    const std::string first = bytes.substr(4096, 16);
    for (int n = 4; n < MaxMarks; ++n) bytes += first;
    EXPECT_EQ(std::tuple(ParseMarkFile(bytes, "m.M01", *s).problems.size(), s->MarkCount), std::tuple(0u, MaxMarks));
    bytes += first;
    EXPECT_EQ(std::tuple(ParseMarkFile(bytes, "m.M01", *s).problems, s->MarkCount),
              std::tuple(std::vector<std::string>{"it holds 32768 marks; only the first 32767 can be used"}, MaxMarks));
}

TEST(MarkFile, AFailedWriteIsReportedAndLosesNothing) {
    Recording r;
    ASSERT_TRUE(r.open());
    add(*r.s, 1, 100, SlowWave);
    WriteMarkFile(*r.s);
    const std::string saved = r.markFile();
    add(*r.s, 1, 200, SlowWave);

    // The mark file's folder has gone away.
    r.s->MarkFileName = r.dir.file("gone/REC.M07");
    r.host.answers = {Answer::Yes};
    Quit1Click(r.ctx);
    // The marks could not be saved: stay open, say where, keep them changed.
    ASSERT_EQ(r.host.errors.size(), 1u);
    EXPECT_EQ(std::tuple(r.host.closed, r.host.errors[0].find(r.dir.file("gone/REC.M07")) != std::string::npos,
                         r.s->MarksChanged),
              std::tuple(false, true, true));

    // The target cannot be replaced (a folder stands in its place): the
    // old content stays and no temporary file is left behind.
    std::filesystem::create_directories(r.dir.file("blocked.M07/inside"));
    r.s->MarkFileName = r.dir.file("blocked.M07");
    SaveMarks1Click(r.ctx);
    EXPECT_EQ(std::tuple(r.host.errors.size(), r.s->MarksChanged,
                         std::filesystem::is_directory(r.dir.file("blocked.M07/inside"))),
              std::tuple(2u, true, true));
    EXPECT_EQ(r.markFile(), saved);
    for (const auto& e : std::filesystem::directory_iterator(r.dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".blocked"), std::string::npos) << e.path();
    EXPECT_EQ(r.host.beeps, 1 + 20);  // the quit question, then the save's twenty beeps
}

TEST(MarkFile, SavingFromTheMenuAndTheInfoDialogTruncatesRenumbersAndReopeningEmptiesTheUndo) {
    Recording r;
    ASSERT_TRUE(r.open());
    const auto before = std::filesystem::last_write_time(r.dir.file("REC.M07"));
    SaveMarks1Click(r.ctx);  // nothing changed: beeps, no message, file untouched
    EXPECT_EQ(std::tuple(r.host.beeps, r.host.messages.size(), std::filesystem::last_write_time(r.dir.file("REC.M07"))),
              std::tuple(20, 0u, before));
    for (int i = 0; i < 8; ++i) add(*r.s, 1, i * 100, SlowWave);
    SaveMarks1Click(r.ctx);
    EXPECT_EQ(r.host.messages.back(), "Marks have been saved ");
    ASSERT_EQ(r.markFile().size(), 4096u + 8 * 16);
    // Fewer marks truncate the file; SeqNr is renumbered. The info dialog's OK writes its text.
    r.s->MarkCount = 5;
    r.s->MarkTable[4].SeqNr = 77;
    r.s->FileInfo = "antrum";
    r.s->MarksChanged = true;
    InfoOkClick(r.ctx);
    EXPECT_EQ(std::tuple(r.s->MarksChanged, r.markFile().size(), r.s->MarkTable[4].SeqNr, r.markFile().substr(1899, 6)),
              std::tuple(false, 4096u + 5 * 16, 4, std::string("antrum")));
    // Cancel keeps the typed text for the next write, and writes nothing.
    r.s->FileInfo = "corpus";
    InfoCancelClick(r.ctx);
    EXPECT_EQ(std::tuple(r.markFile().substr(1899, 6), r.s->FileInfo),
              std::tuple(std::string("antrum"), std::string("corpus")));

    StoreUndo(*r.s, 100, SlowWave, 1);
    ASSERT_TRUE(r.open());
    EXPECT_EQ(std::tuple(UndoLastDeletion(*r.s), r.s->UndoCount, r.s->MarkCount), std::tuple(false, 0, 5));
}

TEST(MarkFile, DamagedFilesAreReadAsFarAsTheyGo) {
    auto header = [](int16_t length) {
        std::string b(4096, '\0');
        std::memcpy(&b[2], &length, 2);
        return b;
    };
    auto record = [](uint16_t e, int16_t type, int32_t time) {
        const MarkRecord m{e, type, time};
        return std::string(reinterpret_cast<const char*>(&m), MarkRecordDiskSize);
    };
    struct Case {
        std::string bytes;
        int marks;
        const char* problem;  // part of the damage message, nullptr for a file that is not damaged
        int unknownTypes;     // marks of an unknown type: told apart, not damage
    };
    const Case cases[] = {
        {std::string(100, 'x'), 0, "shorter than its 4096-byte header", 0},
        {header(30000) + record(1, 1, 5), 0, "points outside the file", 0},
        {header(-16) + record(1, 1, 5), 0, "points outside the file", 0},
        {header(4096) + record(1, 1, 5) + "abc", 1, "3 bytes that are not a whole mark record", 0},
        {header(4096) + record(0, 1, 5) + record(999, 1, 6) + record(3, 42, 7), 3, "2 marks name an electrode outside 1..256", 1},
        {header(4096) + record(3, 42, 7) + record(4, 1, 8) + record(5, -2, 9), 3, nullptr, 2},
        {header(4096) + record(3, -1, 7) + record(3, -12345, 7) + record(3, 0, 7) + record(3, 3, 7), 4, nullptr, 0},
        {header(4096) + record(3, 4, 7) + record(3, -3, 7), 2, nullptr, 2},
        {header(4096) + record(3, 1, 7), 1, nullptr, 0},
        {header(4100) + record(3, 1, 7), 1, nullptr, 0},  // records start at a whole record
    };
    for (const Case& c : cases) {
        Recording r;
        r.dir.write("REC.M07", c.bytes);
        ASSERT_TRUE(r.open()) << c.bytes.size();
        // What was wrong is told, and the damaged original is kept; unknown
        // types get a line of their own and no copy.
        ASSERT_EQ(std::tuple(r.s->MarkCount, r.host.messages.size()),
                  std::tuple(c.marks, (c.problem ? 1u : 0u) + (c.unknownTypes ? 1u : 0u))) << c.bytes.size();
        if (c.problem) {
            EXPECT_NE(r.host.messages[0].find(c.problem), std::string::npos) << r.host.messages[0];
            EXPECT_EQ(r.host.messages[0].find("unknown type"), std::string::npos) << r.host.messages[0];
        }
        EXPECT_EQ(TempDir::read(r.dir.file("REC.M07.damaged")), c.problem ? c.bytes : "");
        const std::string unknown = r.dir.file("REC.M07") + ": " + std::to_string(c.unknownTypes) +
                                    " marks have an unknown type; they are kept but take part in no map";
        EXPECT_EQ(c.unknownTypes ? r.host.messages.back() : unknown, unknown);
        // Saving writes what could be read.
        r.s->MarksChanged = true;
        WriteMarkFile(*r.s);
        EXPECT_EQ(r.markFile().size(), 4096u + 16u * static_cast<size_t>(c.marks));
    }
}

// A file whose header puts the records further on (here 8192) is read
// from there; saving writes them where the new header says, and every
// field of every record reads back.
TEST(MarkFile, ARecordStartBeyondTheHeaderSurvivesASave) {
    const std::string bytes = markFileWith(8192, records);
    Recording r;
    r.dir.write("REC.M07", bytes);
    ASSERT_TRUE(r.open());
    EXPECT_EQ(r.host.messages.size(), 0u);  // not damaged
    expectRecords(*r.s, records, "read");
    r.s->MarksChanged = true;
    WriteMarkFile(*r.s);
    const std::string saved = r.markFile();
    const auto savedStart = static_cast<size_t>(i16(saved, 2));
    EXPECT_EQ(saved.size(), savedStart + records.size() * 16u);
    EXPECT_EQ(saved.compare(savedStart, std::string::npos, bytes, 8192), 0);
    ASSERT_TRUE(r.open() && r.host.messages.empty());
    expectRecords(*r.s, records, "saved and read again");
}

}  // namespace
}  // namespace vk
