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
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace vk {
namespace {

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
    EXPECT_EQ(s->MarkCount, MaxMarks);
    EXPECT_FALSE(s->MarksChanged);
    EXPECT_EQ(s->MarkTable[MaxMarks].Time, MaxMarks - 1);
}

TEST(MarkStore, DeletingInAWindowAndSwitchingTypes) {
    auto s = fresh();
    add(*s, 7, 1000, SlowWave);
    add(*s, 8, 1005, SlowWave);  // another electrode
    add(*s, 7, 1010, SlowWave);
    add(*s, 7, 1020, Reference);
    add(*s, 7, 1030, Type3);
    // Both slow waves and the reference in the window go; Found is the
    // time of the last one in slot order.
    EXPECT_EQ(RemoveTime(*s, 7, SlowWave, 1020, 990), 1020);
    EXPECT_EQ(s->MarkTable[1].Time, Missing);
    EXPECT_EQ(s->MarkTable[1].MarkType, DeletedType);
    EXPECT_EQ(s->MarkTable[1].Electrode, 7);  // the slot keeps its electrode
    EXPECT_EQ(s->MarkTable[2].Time, 1005);
    EXPECT_EQ(s->MarkCount, 5);  // deleted slots stay counted
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
    EXPECT_EQ(s->MarkTable[static_cast<size_t>(s->MarkCount)].MarkType, SlowWave);
    EXPECT_EQ(s->MarkTable[5].MarkType, Type3);

    // K: every slow wave and reference of the electrode, nothing else.
    add(*s, 7, 50, Reference);
    s->CurrentElectrode = 7;
    s->SignalLength = 5000;
    KillMarks(*s);
    for (int i = 1; i <= s->MarkCount; ++i) {
        const MarkRecord& m = s->MarkTable[static_cast<size_t>(i)];
        if (m.Electrode == 7) {
            EXPECT_TRUE(m.MarkType == Type3 || IsDeleted(m)) << i;
        }
    }
}

TEST(MarkStore, UndoKeepsAHundredAndReaddsWithTheCurrentLabels) {
    auto s = fresh();
    for (int i = 1; i <= 101; ++i) StoreUndo(*s, i * 10, SlowWave, i);
    EXPECT_EQ(s->UndoCount, 100);
    EXPECT_EQ(s->UndoStore[0].Electrode, 101);
    EXPECT_EQ(s->UndoStore[99].Electrode, 2);  // the first one was pushed out
    s->MarkOrigin = AutomaticOrigin;
    s->CurrentMarkNr = 7;
    ASSERT_TRUE(UndoLastDeletion(*s));
    const MarkRecord& m = s->MarkTable[1];
    EXPECT_EQ(m.Electrode, 101);
    EXPECT_EQ(m.Time, 1010);
    EXPECT_EQ(m.Origin, AutomaticOrigin);
    EXPECT_EQ(m.MarkNr, 7);
    EXPECT_EQ(s->UndoCount, 99);
    EXPECT_EQ(s->UndoStore[0].Electrode, 100);
    while (UndoLastDeletion(*s)) {
    }
    EXPECT_EQ(s->UndoCount, 0);
    EXPECT_EQ(s->MarkCount, 100);
}

TEST(MarkStore, StatisticsIgnoreDeletedSlotsAndHidingSparesThem) {
    auto s = fresh();
    add(*s, 1, 100, SlowWave);
    add(*s, 1, 200, SlowWave);
    s->MarkOrigin = AutomaticOrigin;
    add(*s, 1, 300, SlowWave);
    add(*s, 2, 300, Spike);
    add(*s, 2, 400, Reference);
    add(*s, 3, 400, Type3);
    RemoveTime(*s, 1, SlowWave, 100, 100);
    const auto grid = MarkStatisticsGrid(CalcMarkStatistics(*s));
    EXPECT_EQ(grid[0][1], "# marks");
    EXPECT_EQ(grid[1][1], "1");
    EXPECT_EQ(grid[2][0], "Slow Waves");
    EXPECT_EQ(grid[2][1], "2");
    EXPECT_EQ(grid[2][2], "1");
    EXPECT_EQ(grid[2][3], "1");
    EXPECT_EQ(grid[3][3], "1");
    EXPECT_EQ(grid[4][1], "1");

    s->RefTime = 100;
    HideMarks(*s, 1, 200);  // the mark at 300 = 200 after the reference time
    EXPECT_EQ(s->MarkTable[3].Visible, 0);
    EXPECT_EQ(s->MarkTable[2].Visible, 1);
    EXPECT_TRUE(s->UnhideEnabled);
    UnhideElectrode(*s, 1);
    EXPECT_EQ(s->MarkTable[3].Visible, 1);
    HideMarks(*s, 1, 200);
    UnhideAll(*s);
    EXPECT_EQ(s->MarkTable[3].Visible, 1);
    EXPECT_FALSE(s->UnhideEnabled);
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
    for (size_t i = 0; i < records.size(); ++i) {
        const MarkRecord& want = records[i];
        const MarkRecord& got = s.MarkTable[i + 1];
        const std::string at = when + ", slot " + std::to_string(i + 1);
        EXPECT_EQ(got.Electrode, want.Electrode) << at;
        EXPECT_EQ(got.MarkType, want.MarkType) << at;
        EXPECT_EQ(got.Time, want.Time) << at;
        EXPECT_EQ(got.Aux1, want.Aux1) << at;
        EXPECT_EQ(got.Aux2, want.Aux2) << at;
        EXPECT_EQ(got.Origin, want.Origin) << at;
        EXPECT_EQ(got.MarkNr, want.MarkNr) << at;
        EXPECT_EQ(got.SeqNr, i + 1) << at;
    }
}

TEST(MarkFile, CreatedWithItsHeaderAndWrittenBitExact) {
    Recording r;
    ASSERT_TRUE(r.open());
    std::string b = r.markFile();
    ASSERT_EQ(b.size(), 4096u);
    EXPECT_EQ(static_cast<uint8_t>(b[0]), 0xFF);
    EXPECT_EQ(static_cast<uint8_t>(b[1]), 0xFF);
    EXPECT_EQ(i16(b, 2), 4096);
    EXPECT_EQ(i16(b, 86), 4);
    EXPECT_EQ(i16(b, 88), 2);
    EXPECT_EQ(i16(b, 90), 0x1234);
    EXPECT_EQ(i16(b, 104), -2);
    EXPECT_EQ(b[106], 16);  // "a-twenty-char-name.txt" cut to 16 characters
    EXPECT_EQ(b.substr(107, 16), "a-twenty-char-na");
    EXPECT_EQ(i32(b, 2164), 101);
    EXPECT_EQ(r.s->MarkCount, 0);

    add(*r.s, 3, 1500, SlowWave, 4);
    add(*r.s, 2, -5, Reference, 0);
    add(*r.s, 3, 1600, Spike, 4);
    RemoveTime(*r.s, 3, Spike, 1600, 1600);
    r.s->FileInfo = "stomach, 37 C";
    WriteMarkFile(*r.s);
    EXPECT_FALSE(r.s->MarksChanged);
    b = r.markFile();
    ASSERT_EQ(b.size(), 4096u + 3 * 16);
    EXPECT_EQ(b[1898], 13);
    EXPECT_EQ(b.substr(1899, 13), "stomach, 37 C");
    // Record 1: electrode, type, time, aux1, aux2, origin, mark nr.
    EXPECT_EQ(i16(b, 4096), 3);
    EXPECT_EQ(i16(b, 4098), 1);
    EXPECT_EQ(i32(b, 4100), 1500);
    EXPECT_EQ(i16(b, 4104), 0);
    EXPECT_EQ(i16(b, 4108), 1);
    EXPECT_EQ(i16(b, 4110), 4);
    EXPECT_EQ(i32(b, 4116), -5);
    // The deleted mark is saved as such.
    EXPECT_EQ(i16(b, 4130), -12345);
    EXPECT_EQ(i32(b, 4132), -12345);

    // Read back into a fresh session: the same slots and text.
    Recording again;
    std::filesystem::copy_file(r.dir.file("REC.M07"), again.dir.file("REC.M07"));
    ASSERT_TRUE(again.open());
    EXPECT_EQ(again.s->MarkCount, 3);
    EXPECT_EQ(again.s->FileInfo, "stomach, 37 C");
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(again.s->MarkTable[static_cast<size_t>(i)].Time, r.s->MarkTable[static_cast<size_t>(i)].Time);
        EXPECT_EQ(again.s->MarkTable[static_cast<size_t>(i)].MarkType, r.s->MarkTable[static_cast<size_t>(i)].MarkType);
        EXPECT_EQ(again.s->MarkTable[static_cast<size_t>(i)].SeqNr, i);
        EXPECT_EQ(again.s->MarkTable[static_cast<size_t>(i)].Visible, 1);
    }
    EXPECT_NE(std::find(again.s->Memo1.begin(), again.s->Memo1.end(), "reading.1." + again.s->MatrixFileName),
              again.s->Memo1.end());
}

TEST(MarkFile, EveryFieldOfEveryRecordReadsBackAndWritesBackBitExact) {
    // Distinct values in all seven fields, negative and above 32767 where
    // the field's type allows it, so that a field read from a neighbour's
    // offset or with the wrong sign shows.
    const std::vector<MarkRecord> records = {
        {3, SlowWave, 1500, 11, 22, ManualOrigin, 4},
        {256, Reference, -5, -3, -4, AutomaticOrigin, 65535},
        {17, DeletedType, Missing, 32767, -32768, 9, 40000},
        {1, Type3, 2000000000, 300, 301, 0, 7},
    };
    std::string bytes = markFileWith(4096, records);
    auto s = fresh();
    EXPECT_TRUE(ParseMarkFile(bytes, "m.M01", *s).problems.empty());
    expectRecords(*s, records, "read");
    // Written back: the records are the bytes that were read.
    EXPECT_EQ(MarkFileBytes(*s).substr(4096), bytes.substr(4096));

    // A full table reads whole; one record more is cut and reported.
    const std::string first = bytes.substr(4096, 16);
    for (int n = 4; n < MaxMarks; ++n) bytes += first;
    EXPECT_TRUE(ParseMarkFile(bytes, "m.M01", *s).problems.empty());
    EXPECT_EQ(s->MarkCount, MaxMarks);
    bytes += first;
    EXPECT_EQ(ParseMarkFile(bytes, "m.M01", *s).problems,
              std::vector<std::string>{"it holds 32768 marks; only the first 32767 can be used"});
    EXPECT_EQ(s->MarkCount, MaxMarks);
}

TEST(MarkFile, SavingFewerMarksTruncatesAndSeqNrIsRenumbered) {
    Recording r;
    ASSERT_TRUE(r.open());
    for (int i = 0; i < 8; ++i) add(*r.s, 1, i * 100, SlowWave);
    WriteMarkFile(*r.s);
    ASSERT_EQ(r.markFile().size(), 4096u + 8 * 16);
    r.s->MarkCount = 5;
    r.s->MarkTable[4].SeqNr = 77;
    r.s->MarksChanged = true;
    WriteMarkFile(*r.s);
    EXPECT_EQ(r.markFile().size(), 4096u + 5 * 16);
    EXPECT_EQ(r.s->MarkTable[4].SeqNr, 4);
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
    EXPECT_FALSE(r.host.closed);  // the marks could not be saved: stay open
    ASSERT_EQ(r.host.errors.size(), 1u);
    EXPECT_NE(r.host.errors[0].find(r.dir.file("gone/REC.M07")), std::string::npos);
    EXPECT_TRUE(r.s->MarksChanged);

    // The target cannot be replaced (a folder stands in its place): the
    // old content stays and no temporary file is left behind.
    std::filesystem::create_directories(r.dir.file("blocked.M07/inside"));
    r.s->MarkFileName = r.dir.file("blocked.M07");
    SaveMarks1Click(r.ctx);
    EXPECT_EQ(r.host.errors.size(), 2u);
    EXPECT_TRUE(r.s->MarksChanged);
    EXPECT_TRUE(std::filesystem::is_directory(r.dir.file("blocked.M07/inside")));
    EXPECT_EQ(r.markFile(), saved);
    for (const auto& e : std::filesystem::directory_iterator(r.dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".blocked"), std::string::npos) << e.path();
    EXPECT_EQ(r.host.beeps, 1 + 20);  // the quit question, then the save's twenty beeps
}

TEST(MarkFile, SaveFromTheMenu) {
    Recording r;
    ASSERT_TRUE(r.open());
    const auto before = std::filesystem::last_write_time(r.dir.file("REC.M07"));
    SaveMarks1Click(r.ctx);  // nothing changed: beeps, no message, file untouched
    EXPECT_EQ(r.host.beeps, 20);
    EXPECT_TRUE(r.host.messages.empty());
    EXPECT_EQ(std::filesystem::last_write_time(r.dir.file("REC.M07")), before);
    add(*r.s, 2, 10, Spike);
    SaveMarks1Click(r.ctx);
    EXPECT_EQ(r.host.messages.back(), "Marks have been saved ");
    EXPECT_EQ(r.markFile().size(), 4096u + 16);
}

TEST(MarkFile, DamagedFilesAreReadAsFarAsTheyGo) {
    auto header = [](int16_t length) {
        std::string b(4096, '\0');
        std::memcpy(&b[2], &length, 2);
        return b;
    };
    auto record = [](uint16_t e, int16_t type, int32_t time) {
        std::string r(16, '\0');
        std::memcpy(&r[0], &e, 2);
        std::memcpy(&r[2], &type, 2);
        std::memcpy(&r[4], &time, 4);
        return r;
    };
    struct Case {
        std::string bytes;
        int marks;
        const char* problem;
    };
    const Case cases[] = {
        {std::string(100, 'x'), 0, "shorter than its 4096-byte header"},
        {header(30000) + record(1, 1, 5), 0, "points outside the file"},
        {header(-16) + record(1, 1, 5), 0, "points outside the file"},
        {header(4096) + record(1, 1, 5) + "abc", 1, "3 bytes that are not a whole mark record"},
        {header(4096) + record(0, 1, 5) + record(999, 1, 6) + record(3, 42, 7), 3, "outside 1..256"},
        {header(4096) + record(3, 42, 7), 1, "unknown type"},
        {header(4096) + record(3, 1, 7), 1, nullptr},
        {header(4100) + record(3, 1, 7), 1, nullptr},  // records start at a whole record
    };
    for (const Case& c : cases) {
        Recording r;
        r.dir.write("REC.M07", c.bytes);
        ASSERT_TRUE(r.open()) << c.bytes.size();
        EXPECT_EQ(r.s->MarkCount, c.marks);
        if (c.problem) {
            ASSERT_FALSE(r.host.messages.empty());
            EXPECT_NE(r.host.messages.back().find(c.problem), std::string::npos) << r.host.messages.back();
            // The damaged original is kept.
            EXPECT_EQ(TempDir::read(r.dir.file("REC.M07.damaged")), c.bytes);
        } else {
            EXPECT_TRUE(r.host.messages.empty());
        }
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
    constexpr int Count = 387;
    const int16_t types[] = {SlowWave, Spike, Type3, Reference, DeletedType};
    std::vector<MarkRecord> written(Count);
    for (int i = 0; i < Count; ++i) {
        MarkRecord& m = written[static_cast<size_t>(i)];
        m.Electrode = static_cast<uint16_t>(1 + i % 256);
        m.MarkType = types[i % 5];
        m.Time = m.MarkType == DeletedType ? Missing : i * 37 - 100;
        m.Aux1 = static_cast<int16_t>(i * 3);
        m.Aux2 = static_cast<int16_t>(-i);
        m.Origin = static_cast<uint16_t>(1 + i % 2);
        m.MarkNr = static_cast<uint16_t>(1000 + i);
    }
    const std::string bytes = markFileWith(8192, written);
    Recording r;
    r.dir.write("REC.M07", bytes);
    ASSERT_TRUE(r.open());
    EXPECT_TRUE(r.host.messages.empty());  // not damaged
    expectRecords(*r.s, written, "read");
    r.s->MarksChanged = true;
    WriteMarkFile(*r.s);
    const std::string saved = r.markFile();
    const auto savedStart = static_cast<size_t>(i16(saved, 2));
    EXPECT_EQ(saved.size(), savedStart + Count * 16u);
    EXPECT_EQ(saved.compare(savedStart, std::string::npos, bytes, 8192), 0);
    ASSERT_TRUE(r.open());
    EXPECT_TRUE(r.host.messages.empty());
    expectRecords(*r.s, written, "saved and read again");
}

TEST(MarkFile, OpeningAnotherRecordingEmptiesTheUndoStore) {
    Recording r;
    ASSERT_TRUE(r.open());
    add(*r.s, 1, 100, SlowWave);
    StoreUndo(*r.s, 100, SlowWave, 1);
    WriteMarkFile(*r.s);
    ASSERT_TRUE(r.open());
    EXPECT_EQ(r.s->UndoCount, 0);
    EXPECT_EQ(r.s->MarkCount, 1);
    EXPECT_FALSE(UndoLastDeletion(*r.s));
}

TEST(MarkFile, FileInfoOkWritesTheText) {
    Recording r;
    ASSERT_TRUE(r.open());
    r.s->FileInfo = "antrum";
    r.s->MarksChanged = true;
    InfoOkClick(r.ctx);
    EXPECT_FALSE(r.s->MarksChanged);
    EXPECT_EQ(r.markFile().substr(1899, 6), "antrum");
    // Cancel keeps the typed text for the next write, and writes nothing.
    r.s->FileInfo = "corpus";
    InfoCancelClick(r.ctx);
    EXPECT_EQ(r.markFile().substr(1899, 6), "antrum");
    EXPECT_EQ(r.s->FileInfo, "corpus");
}

}  // namespace
}  // namespace vk
