// The journal of unsaved mark changes: what it writes, what it gives back
// after a crash (also when the crash tore its last entry), what it refuses,
// and how opening, saving and quitting treat it.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>
#include <tuple>

#include "input/ElgFile.h"
#include "input/Matrix.h"
#include "input/TextImport.h"
#include "marks/BackgroundJournal.h"
#include "marks/Connections.h"
#include "marks/Journal.h"
#include "marks/MarkFile.h"
#include "marks/MarkStore.h"
#include "shell/Commands.h"
#include "shell/Display.h"
#include "support/FileSession.h"

namespace vk {
namespace {

using test::TempDir;
// Electrode, type, time, visible.
using Mark = std::tuple<int, int, int32_t, int>;

std::vector<Mark> marksOf(const SessionState& s) {
    std::vector<Mark> out;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        out.emplace_back(m.Electrode, m.MarkType, m.Time, m.Visible);
    }
    return out;
}
std::vector<Connection> connectionsOf(const SessionState& s) {
    return {s.Connections.begin() + 1, s.Connections.begin() + 1 + s.ConnCount};
}

struct Fixture : test::FileSession {
    JournalWriter writer;
    std::string rec = recording("a.E01", 1000), other = recording("b.E01", 1000);

    std::string journal() const { return JournalFileName(s->MarkFileName); }
    // Opening as the window does, without asking about the open recording:
    // what a new start after a crash sees.
    void openAfterCrash(const std::string& path, std::deque<Answer> answers = {}) {
        writer.close();
        host.answers = std::move(answers);
        ASSERT_TRUE(OpenElectrogramFile(ctx, path));
    }
    void mark(int electrode, int32_t time, int16_t type = SlowWave) {
        s->CurrentElectrode = electrode;
        AddMarkRecord(*s, time, type, 1);
    }
    void tick(int64_t now = 1800000000) { ASSERT_EQ(writer.update(*s, now), std::nullopt); }
};

TEST(Journal, EntriesFollowTheChangesAndGiveBackTheLastState) {
    Fixture f;
    f.openAfterCrash(f.rec);
    // Nothing unsaved: no journal.
    f.tick();
    EXPECT_FALSE(std::filesystem::exists(f.journal()));
    f.mark(3, 120);
    f.mark(5, 340, Spike);
    f.tick(1800000000);
    f.tick(1800000001);  // no change since: no entry
    RemoveTime(*f.s, 3, SlowWave, 130, 110);  // the slot stays, deleted
    HideMarks(*f.s, 5, 340 - f.s->RefTime);
    f.s->Connections[1] = Connection{3, 120, 5, 340, 1};
    f.s->ConnCount = 1;
    f.tick(1800000002);
    EXPECT_EQ(f.writer.appended(), 2);

    const JournalContents j = ParseJournal(TempDir::read(f.journal()), StampOf(f.s->MarkFileName));
    EXPECT_EQ(std::tuple(j.status, j.entries, j.cutTail, j.last.changes, j.last.written),
              std::tuple(JournalContents::Status::Usable, 2, false, 2u, int64_t{1800000002}));
    SessionState back;
    ApplyJournalState(j.last, back);
    EXPECT_EQ(marksOf(back), marksOf(*f.s));
    EXPECT_EQ(marksOf(back)[1], Mark(5, Spike, 340, 0));
    EXPECT_EQ(connectionsOf(back), (std::vector<Connection>{{3, 120, 5, 340, 1}}));
    EXPECT_TRUE(back.UnhideEnabled);

    // Another version of the mark file: never applied.
    FileStamp changed = StampOf(f.s->MarkFileName);
    for (FileStamp other : {FileStamp{changed.size + 16, changed.modified}, FileStamp{changed.size, changed.modified + 1},
                            FileStamp{}}) {
        const JournalContents m = ParseJournal(TempDir::read(f.journal()), other);
        EXPECT_EQ(std::tuple(m.status, m.reason),
                  std::tuple(JournalContents::Status::Mismatch, std::string("the mark file changed since it was written")));
    }
}

TEST(Journal, ATornOrDamagedTailIsCutAtTheLastCompleteEntry) {
    SessionState s;
    s.MarkTable[1] = MarkRecord{4, SlowWave, 100};
    s.MarkCount = 1;
    const FileStamp stamp{4112, 77};
    const std::string header = JournalHeaderBytes(stamp), first = JournalEntryBytes(s, 10, 1);
    s.MarkTable[2] = MarkRecord{6, Spike, 200};
    s.MarkCount = 2;
    const std::string second = JournalEntryBytes(s, 11, 2);
    const std::string whole = header + first + second;
    std::string flipped = whole;
    flipped[header.size() + first.size() + 30] ^= 0x10;  // in the second entry's payload
    std::string badLength = whole;
    badLength[header.size() + first.size() + 4] = '\x7F';
    std::string badHeader = whole;
    badHeader[15] ^= 1;

    struct Case {
        const char* what;
        std::string bytes;
        JournalContents::Status status;
        int entries;
        bool cut;
        size_t marks;
    };
    using S = JournalContents::Status;
    const std::vector<Case> cases = {
        {"whole", whole, S::Usable, 2, false, 2},
        {"cut in the second entry", whole.substr(0, whole.size() - 9), S::Usable, 1, true, 1},
        {"cut in its checksum", whole.substr(0, whole.size() - 1), S::Usable, 1, true, 1},
        {"cut in its length", whole.substr(0, header.size() + first.size() + 6), S::Usable, 1, true, 1},
        {"a flipped bit", flipped, S::Usable, 1, true, 1},
        {"a length past the end", badLength, S::Usable, 1, true, 1},
        {"garbage after it", whole + "garbage!garbage!", S::Usable, 2, true, 2},
        {"cut in the first entry", whole.substr(0, header.size() + 10), S::Damaged, 0, true, 0},
        {"only the header", header, S::Damaged, 0, false, 0},
        {"cut in the header", header.substr(0, 20), S::Damaged, 0, false, 0},
        {"a changed header", badHeader, S::Damaged, 0, false, 0},
        {"not a journal", std::string(200, 'x'), S::Damaged, 0, false, 0},
        {"empty", "", S::Damaged, 0, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const JournalContents j = ParseJournal(c.bytes, stamp);
        EXPECT_EQ(std::tuple(j.status, j.entries, j.cutTail, j.last.marks.size()),
                  std::tuple(c.status, c.entries, c.cut, c.marks));
    }
    EXPECT_EQ(ParseJournal("", stamp).reason, "it is not a journal of mark changes");
    EXPECT_EQ(ParseJournal(header, stamp).reason, "it holds no complete entry");
}

TEST(Journal, OpeningOffersTheJournalAndYesRestoresIt) {
    Fixture f;
    f.openAfterCrash(f.rec);
    f.mark(2, 50);
    f.mark(7, 900);
    f.s->Connections[1] = Connection{2, 50, 7, 900, 1};
    f.s->ConnCount = 1;
    f.s->ConnectionsChanged = true;
    f.tick(1800000000);
    f.mark(8, 950);
    f.tick(1800000005);
    const std::vector<Mark> made = marksOf(*f.s);

    // A crash: the next start opens another recording, then this one.
    f.openAfterCrash(f.other);
    f.openAfterCrash(f.rec, {Answer::Yes});
    ASSERT_EQ(f.host.questions.size(), 1u);
    EXPECT_EQ(f.host.questions[0].substr(0, 42), "Restore the 2 unsaved mark changes made on");
    EXPECT_EQ(std::tuple(marksOf(*f.s), connectionsOf(*f.s), f.s->MarksChanged, f.s->ConnectionsChanged),
              std::tuple(made, std::vector<Connection>{{2, 50, 7, 900, 1}}, true, true));
    EXPECT_EQ(f.s->Memo1.back(), "restored 2 unsaved mark changes from " + f.journal());
    // Nothing was saved yet; the journal stays until a save.
    EXPECT_EQ(TempDir::read(f.s->MarkFileName).size(), 4096u);
    EXPECT_TRUE(std::filesystem::exists(f.journal()));
    // The next entry goes on counting.
    f.mark(6, 700);
    f.tick();
    EXPECT_EQ(ParseJournal(TempDir::read(f.journal()), StampOf(f.s->MarkFileName)).last.changes, 3u);
    SaveMarks1Click(f.ctx);
    EXPECT_EQ(std::tuple(TempDir::read(f.s->MarkFileName).size(), std::filesystem::exists(f.journal())),
              std::tuple(size_t{4096 + 4 * 16}, false));
    // The next change after the save starts a new journal for the saved file.
    f.mark(1, 10);
    f.tick();
    EXPECT_EQ(ParseJournal(TempDir::read(f.journal()), StampOf(f.s->MarkFileName)).entries, 1);
}

TEST(Journal, NoSetsTheJournalAsideAndAStaleOrDamagedOneIsNeverApplied) {
    Fixture f;
    f.openAfterCrash(f.rec);
    f.mark(2, 50);
    f.tick();
    const std::string journal = f.journal(), marks = f.s->MarkFileName;
    const std::string written = TempDir::read(journal);

    // No: the mark file's marks, the journal kept as .discarded (replacing an older one).
    f.dir.write("a.M01.journal.discarded", "older");
    f.openAfterCrash(f.rec, {Answer::No});
    EXPECT_EQ(std::tuple(f.s->MarkCount, f.s->MarksChanged, TempDir::read(journal + ".discarded"),
                         std::filesystem::exists(journal)),
              std::tuple(0, false, written, false));

    // A journal of an earlier version of the mark file: no question, .unused.
    const auto unused = [&](const std::string& bytes, const std::string& reason) {
        f.dir.write("a.M01.journal", bytes);
        const size_t asked = f.host.questions.size();
        f.openAfterCrash(f.rec, {Answer::Yes});
        EXPECT_EQ(std::tuple(f.host.questions.size(), f.s->MarkCount, TempDir::read(journal + ".unused"),
                             std::filesystem::exists(journal), f.s->Memo1.back()),
                  std::tuple(asked, 0, bytes, false,
                             journal + " was not used (" + reason + "); it was renamed " + journal + ".unused"));
    };
    std::filesystem::last_write_time(marks, std::filesystem::last_write_time(marks) + std::chrono::seconds(1));
    unused(written, "the mark file changed since it was written");
    unused(written.substr(0, 40), "it holds no complete entry");
    unused("not mine", "it is not a journal of mark changes");

    // The command line never reads nor moves a journal.
    f.dir.write("a.M01.journal", written);
    OpenOptions cli;
    cli.useJournal = false;
    ASSERT_TRUE(OpenElectrogramFile(f.ctx, f.rec, cli));
    EXPECT_EQ(std::tuple(TempDir::read(journal), f.s->MarksChanged), std::tuple(written, false));
    EXPECT_EQ(f.writer.update(*f.s, 1), std::nullopt);
}

TEST(Journal, LeavingWithoutSavingRemovesItAndAFailureIsReported) {
    Fixture f;
    f.openAfterCrash(f.rec);
    f.mark(2, 50);
    f.tick();
    // Quit, Cancel: kept; No: removed.
    f.host.answers = {Answer::Cancel};
    Quit1Click(f.ctx);
    EXPECT_TRUE(std::filesystem::exists(f.journal()));
    f.host.answers = {Answer::No};
    Quit1Click(f.ctx);
    EXPECT_EQ(std::tuple(f.host.closed, std::filesystem::exists(f.journal())), std::tuple(true, false));

    // Another recording, the question answered Yes: saved, then removed.
    f.openAfterCrash(f.rec);
    f.mark(2, 60);
    f.tick();
    const std::string first = f.journal();
    f.host.answers = {Answer::Yes};
    LoadNewElgFile(f.ctx, f.other);
    EXPECT_EQ(std::tuple(f.s->FileName, std::filesystem::exists(first), TempDir::read(f.dir.file("a.M01")).size()),
              std::tuple(f.other, false, size_t{4096 + 16}));

    // A journal that cannot be written: the reason, and marking goes on.
    f.s->MarkFileName = f.dir.file("gone/b.M01");
    f.mark(1, 5);
    const auto failed = f.writer.update(*f.s, 1);
    ASSERT_TRUE(failed.has_value());
    EXPECT_EQ(*failed, "cannot create a temporary file: No such file or directory");
    EXPECT_EQ(f.s->MarkCount, 1);
}

// The restore question counts the user's actions, not the entries: each
// action that set a flag is one change, however many marks it touched.
TEST(Journal, EveryActionThatSetsAFlagIsOneChange) {
    Fixture f;
    f.openAfterCrash(f.rec);
    const std::vector<std::tuple<const char*, std::function<void()>, uint32_t>> actions = {
        {"a mark", [&] { f.mark(1, 10); }, 1},
        {"two marks in one command", [&] { f.mark(2, 20), f.mark(3, 30); }, 2},
        {"an electrode's marks killed", [&] { f.s->CurrentElectrode = 2, KillMarks(*f.s); }, 3},
        {"a mark hidden", [&] { HideMarks(*f.s, 1, 10 - f.s->RefTime); }, 3},
        {"undo", [&] { StoreUndo(*f.s, 40, SlowWave, 4), UndoLastDeletion(*f.s); }, 4},
        {"a connection", [&] { f.s->ConnectionsChanged = true; }, 5},
        {"nothing", [] {}, 5},
    };
    for (const auto& [what, act, expected] : actions) {
        SCOPED_TRACE(what);
        act();
        CountChanges(*f.s);
        EXPECT_EQ(f.s->UnsavedChanges, expected);
    }
    f.tick();
    EXPECT_EQ(ParseJournal(TempDir::read(f.journal()), StampOf(f.s->MarkFileName)).last.changes, 5u);
    SaveMarks1Click(f.ctx);
    CountChanges(*f.s);
    EXPECT_EQ(std::tuple(f.s->UnsavedChanges, std::filesystem::exists(f.journal())), std::tuple(0u, false));
}

// The journal written on its own thread: a save, or leaving without
// saving, settles it first, so no entry comes after the removal, whatever
// was handed over just before.
TEST(Journal, WrittenInTheBackgroundItNeverOutlivesTheSaveOrTheNo) {
    Fixture f;
    BackgroundJournal journal;
    f.s->SettleJournal = [&] { journal.settle(); };
    f.openAfterCrash(f.rec);
    for (int round = 0; round < 20; ++round) {
        f.mark(1 + round % 8, 10 * round);
        ASSERT_TRUE(journal.offer(*f.s, 1800000000));
        EXPECT_FALSE(journal.offer(*f.s, 1800000000));  // nothing new
        if (round % 2 == 0) {
            SaveMarks1Click(f.ctx);
        } else {
            f.host.answers = {Answer::No};
            ASSERT_TRUE(SaveAlert(f.ctx));
            f.s->MarksChanged = false;
        }
        journal.flush();
        ASSERT_FALSE(std::filesystem::exists(f.journal())) << round;
    }
    f.mark(2, 5);
    journal.offer(*f.s, 1800000000);
    journal.flush();
    EXPECT_EQ(std::tuple(journal.outcome(), ParseJournal(TempDir::read(f.journal()), StampOf(f.s->MarkFileName)).status),
              std::tuple(std::optional<std::string>(""), JournalContents::Status::Usable));
    // Connections read back from their own file, the marks saved: nothing
    // unsaved is left, nor a journal.
    f.s->ConnectionsChanged = true;
    SaveMarks1Click(f.ctx);
    f.s->Connections[++f.s->ConnCount] = Connection{1, 5, 2, 9, 1};
    f.s->ConnectionsChanged = true;
    journal.offer(*f.s, 1800000000);
    journal.flush();
    ASSERT_TRUE(std::filesystem::exists(f.journal()));
    f.host.files = {FileChoice{f.s->ConnFileName, 1}};
    ReadConnections1Click(f.ctx);
    journal.offer(*f.s, 1800000000);
    EXPECT_EQ(std::tuple(f.s->ConnCount, std::filesystem::exists(f.journal())), std::tuple(0, false));
    f.s->SettleJournal = nullptr;
}

// A disk that fills while journaling: the reason, a journal still readable
// up to its last whole entry, and a fresh journal once there is room again.
TEST(Journal, AFullDiskStopsTheJournalNotTheMarking) {
    Fixture f;
    f.openAfterCrash(f.rec);
    f.mark(1, 10);
    f.tick();
    const auto before = std::filesystem::file_size(f.journal());
    for (int i = 0; i < 50; ++i) f.mark(2, 20 + i);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tight = old;
    tight.rlim_cur = before + 100;
    setrlimit(RLIMIT_FSIZE, &tight);
    const auto failed = f.writer.update(*f.s, 1800000001);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(failed, std::optional<std::string>("File too large"));
    const JournalContents torn = ParseJournal(TempDir::read(f.journal()), StampOf(f.s->MarkFileName));
    EXPECT_EQ(std::tuple(torn.status, torn.entries, torn.cutTail, torn.last.marks.size()),
              std::tuple(JournalContents::Status::Usable, 1, true, size_t{1}));
    f.tick(1800000002);
    EXPECT_EQ(ParseJournal(TempDir::read(f.journal()), StampOf(f.s->MarkFileName)).last.marks.size(), 51u);
}

// A text import in the window keeps its journal beside the ".Mxt" file and
// offers it back; the import without a window leaves it alone.
TEST(Journal, TextImportsJournalBesideTheirMarkFile) {
    Fixture f;
    const std::string text = f.dir.write("n.txt", "h\nh\nh\n1\t2\t3\n4\t5\t6\n");
    const auto import = [&](bool window, std::deque<Answer> answers) {
        f.writer.close();
        f.host.answers = std::move(answers);
        const ImportEdits edits{"3", "2", "1000", "M"};
        if (!window) return ImportTextFile(f.ctx, TextFormat::Nashville, text, edits, 0).outcome;
        LoadImportFile(f.ctx, 4, text);
        f.s->ImportF.Nashville = edits;
        return ImportOkClick(f.ctx).outcome;
    };
    ASSERT_EQ(import(true, {}), ImportOutcome::Loaded);
    f.mark(2, 1);
    f.tick();
    EXPECT_EQ(f.journal(), f.dir.file("n.Mxt.journal"));
    const std::string written = TempDir::read(f.journal());
    ASSERT_EQ(import(false, {}), ImportOutcome::Loaded);
    EXPECT_EQ(std::tuple(f.host.questions.size(), f.s->MarkCount, TempDir::read(f.journal())),
              std::tuple(size_t{0}, 0, written));
    ASSERT_EQ(import(true, {Answer::Yes}), ImportOutcome::Loaded);
    EXPECT_EQ(std::tuple(f.host.questions.size(), marksOf(*f.s)),
              std::tuple(size_t{1}, std::vector<Mark>{{2, SlowWave, 1, 1}}));
}

}  // namespace
}  // namespace vk
