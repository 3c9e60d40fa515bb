// The journal of unsaved mark changes: while a recording is open in the
// window, its marks and connections are written to `<mark file>.journal`
// about once a second after they change, so that a crash, a power cut or a
// killed program loses nothing that was marked since the last save.
//
// The file starts with a header naming the size and modification time of
// the mark file it applies to; a journal is never applied to another
// version of the mark file. Each entry that follows holds the whole mark
// table and connections after one batch of changes and the number of
// changes made since the last save, with its length and a
// checksum, so that an entry torn by a crash is recognised and the journal
// is cut after the last complete one. A journal grown large is rewritten as
// a single entry.
//
// A save removes the journal, and so does leaving the recording without
// saving. Opening a recording whose journal matches its mark file asks
// whether to restore it; a journal that does not match, or is damaged, is
// renamed ".journal.unused" and never applied.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/Context.h"

namespace vk {

struct RecordingFiles;

std::string JournalFileName(const std::string& markFileName);

// What identifies one version of the mark file: its size (-1: no file)
// and modification time (ns since the epoch).
struct FileStamp {
    int64_t size = -1;
    int64_t modified = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);

// The marks and connections one entry holds.
struct JournalState {
    std::vector<MarkRecord> marks;        // slots 1..n, in order
    std::vector<Connection> connections;  // slots 1..n, in order
    int64_t written = 0;                  // seconds since the epoch
    uint32_t changes = 0;                 // changes since the mark file was saved
};

std::string JournalHeaderBytes(const FileStamp& markFile);
std::string JournalEntryBytes(const SessionState& s, int64_t written, uint32_t changes);

struct JournalContents {
    enum class Status { Usable, Mismatch, Damaged };
    Status status = Status::Damaged;
    std::string reason;     // why it is not usable
    int entries = 0;        // complete entries
    bool cutTail = false;   // bytes after the last complete entry were left off
    JournalState last;      // the state of the last complete entry
};
// Reads journal bytes written for the mark file `markFile` (as stamped when
// it was read). Never throws.
JournalContents ParseJournal(std::string_view bytes, const FileStamp& markFile);

// Puts the state into the session's tables (MarkCount, ConnCount).
void ApplyJournalState(const JournalState& j, SessionState& s);

// Counts the user's changes: one for every action (a click, a key, a
// command) during which MarksChanged or ConnectionsChanged was set, however
// often. Called between actions; none unsaved puts the count back to 0.
void CountChanges(SessionState& s);

// What one entry is made from: a copy of the tables, taken between actions
// so that it can be written while the user goes on marking.
struct JournalSnapshot {
    std::string markFileName;
    std::vector<MarkRecord> marks;        // slots 1..n
    std::vector<Connection> connections;  // slots 1..n
    int64_t written = 0;                  // seconds since the epoch
    uint32_t changes = 0;                 // UnsavedChanges
};
// The snapshot of the session's unsaved changes, or nothing when there are
// none or the session keeps no journal.
std::optional<JournalSnapshot> JournalSnapshotOf(const SessionState& s, int64_t now);

// Writes the journal of the open recording. Never throws: a failure comes
// back as its reason, and the next call starts the journal afresh.
class JournalWriter {
public:
    JournalWriter() = default;
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;
    ~JournalWriter();

    // Appends the snapshot as an entry and flushes it to disk, unless the
    // last entry holds the same. The journal starts afresh for another
    // mark file, one written since, or when it was removed. Returns the
    // reason when it could not be written.
    std::optional<std::string> write(const JournalSnapshot& j);
    // Counts the changes and writes the session's snapshot at once (tests
    // and benchmarks; the window writes in the background).
    std::optional<std::string> update(SessionState& s, int64_t now);
    // Entries appended since the writer started (for tests and benchmarks).
    int appended() const { return appended_; }
    void close();

private:
    std::optional<std::string> start(const std::string& path, const FileStamp& stamp, const std::string& entry);

    int fd_ = -1;
    std::string path_;
    FileStamp stamp_;
    std::string last_;  // the marks and connections of the last entry
    uint32_t changes_ = 0;
    int64_t size_ = 0;
    int appended_ = 0;
};

// The journal's state of the recording files (read with them), or nothing.
struct JournalFile {
    bool exists = false;
    std::string path;
    JournalContents contents;
    std::string readError;  // the file exists but could not be read
};
JournalFile ReadJournalFile(const std::string& markFileName, const FileStamp& markFile);

// The question asked on opening a recording with a usable journal.
std::string RestoreQuestion(const JournalContents& j);

// Opening: asks about a usable journal and restores it or renames it
// ".journal.discarded"; one not usable is renamed ".journal.unused" with a
// line in the memo window.
void OfferJournal(Ctx& ctx, const RecordingFiles& files);
// After a save or after the user chose not to save: the journal goes when
// nothing unsaved is left. Both settle the journal written in the
// background first, so that no entry comes after the removal.
void DropJournalIfSaved(const SessionState& s);
void RemoveJournal(const SessionState& s);

}  // namespace vk
