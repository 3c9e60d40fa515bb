#include "marks/Journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <span>

#include "marks/MarkFile.h"
#include "session/Ask.h"
#include "session/Errors.h"
#include "session/TextFiles.h"

namespace vk {

namespace {

constexpr std::string_view HeaderMagic = "VKJOURNAL 1\n";  // 12 bytes
constexpr size_t HeaderSize = 12 + 8 + 8 + 4;
constexpr std::string_view EntryMagic = "ENTR";
constexpr size_t MarkBytes = 18, ConnBytes = 18, EntryFixed = 8 + 4 + 4 + 4;
// Past this size the journal is rewritten as one entry, so that hours of
// marking never fill the disk.
constexpr int64_t CompactBytes = 8 << 20;
constexpr size_t MaxJournalBytes = 64u << 20;

uint32_t crc32(std::string_view bytes) {
    static const auto table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (const char ch : bytes) c = table[(c ^ static_cast<uint8_t>(ch)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void put(std::string& out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
uint64_t get(std::string_view in, size_t at, int bytes) {
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(static_cast<uint8_t>(in[at + static_cast<size_t>(i)])) << (8 * i);
    return v;
}

// The marks and connections as an entry holds them.
std::string encodeState(std::span<const MarkRecord> marks, std::span<const Connection> connections) {
    std::string out;
    out.reserve(8 + marks.size() * MarkBytes + connections.size() * ConnBytes);
    put(out, static_cast<uint32_t>(marks.size()), 4);
    put(out, static_cast<uint32_t>(connections.size()), 4);
    for (const MarkRecord& m : marks) {
        put(out, m.Electrode, 2);
        put(out, static_cast<uint16_t>(m.MarkType), 2);
        put(out, static_cast<uint32_t>(m.Time), 4);
        put(out, static_cast<uint16_t>(m.Aux1), 2);
        put(out, static_cast<uint16_t>(m.Aux2), 2);
        put(out, m.Origin, 2);
        put(out, m.MarkNr, 2);
        put(out, m.Visible, 2);
    }
    for (const Connection& c : connections) {
        for (const int32_t v : {c.Electrode1, c.Time1, c.Electrode2, c.Time2}) put(out, static_cast<uint32_t>(v), 4);
        put(out, static_cast<uint16_t>(c.Direction), 2);
    }
    return out;
}

std::span<const MarkRecord> marksOf(const SessionState& s) {
    return {s.MarkTable.data() + 1, static_cast<size_t>(std::max(s.MarkCount, 0))};
}
std::span<const Connection> connectionsOf(const SessionState& s) {
    return {s.Connections.data() + 1, static_cast<size_t>(std::max(s.ConnCount, 0))};
}

std::string entryFrom(std::string_view state, int64_t written, uint32_t changes) {
    std::string payload;
    put(payload, static_cast<uint64_t>(written), 8);
    put(payload, changes, 4);
    payload.append(state);
    std::string out(EntryMagic);
    put(out, static_cast<uint32_t>(payload.size()), 4);
    out += payload;
    put(out, crc32(payload), 4);
    return out;
}

// Decodes a payload whose checksum held; false when its counts do not fit.
bool decodePayload(std::string_view p, JournalState& j) {
    if (p.size() < 20) return false;
    j.written = static_cast<int64_t>(get(p, 0, 8));
    j.changes = static_cast<uint32_t>(get(p, 8, 4));
    const uint64_t marks = get(p, 12, 4), conns = get(p, 16, 4);
    if (marks > static_cast<uint64_t>(MaxMarks) || conns > static_cast<uint64_t>(MaxConnections)) return false;
    if (p.size() != 20 + marks * MarkBytes + conns * ConnBytes) return false;
    j.marks.assign(marks, MarkRecord{});
    size_t at = 20;
    for (auto& m : j.marks) {
        m.Electrode = static_cast<uint16_t>(get(p, at, 2));
        m.MarkType = static_cast<int16_t>(get(p, at + 2, 2));
        m.Time = static_cast<int32_t>(get(p, at + 4, 4));
        m.Aux1 = static_cast<int16_t>(get(p, at + 8, 2));
        m.Aux2 = static_cast<int16_t>(get(p, at + 10, 2));
        m.Origin = static_cast<uint16_t>(get(p, at + 12, 2));
        m.MarkNr = static_cast<uint16_t>(get(p, at + 14, 2));
        m.Visible = get(p, at + 16, 2) != 0 ? 1 : 0;
        at += MarkBytes;
    }
    j.connections.assign(conns, Connection{});
    for (auto& c : j.connections) {
        c.Electrode1 = static_cast<int32_t>(get(p, at, 4));
        c.Time1 = static_cast<int32_t>(get(p, at + 4, 4));
        c.Electrode2 = static_cast<int32_t>(get(p, at + 8, 4));
        c.Time2 = static_cast<int32_t>(get(p, at + 12, 4));
        c.Direction = static_cast<int16_t>(get(p, at + 16, 2));
        at += ConnBytes;
    }
    return true;
}

std::string reasonOf(int err) { return std::strerror(err); }

}  // namespace

std::string JournalFileName(const std::string& markFileName) { return markFileName + ".journal"; }

FileStamp StampOf(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return {};
    return {static_cast<int64_t>(st.st_size),
            static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + static_cast<int64_t>(st.st_mtim.tv_nsec)};
}

std::string JournalHeaderBytes(const FileStamp& markFile) {
    std::string out(HeaderMagic);
    put(out, static_cast<uint64_t>(markFile.size), 8);
    put(out, static_cast<uint64_t>(markFile.modified), 8);
    put(out, crc32(out), 4);
    return out;
}

std::string JournalEntryBytes(const SessionState& s, int64_t written, uint32_t changes) {
    return entryFrom(encodeState(marksOf(s), connectionsOf(s)), written, changes);
}

JournalContents ParseJournal(std::string_view bytes, const FileStamp& markFile) {
    JournalContents j;
    if (bytes.size() < HeaderSize || bytes.substr(0, HeaderMagic.size()) != HeaderMagic ||
        get(bytes, HeaderSize - 4, 4) != crc32(bytes.substr(0, HeaderSize - 4))) {
        j.reason = "it is not a journal of mark changes";
        return j;
    }
    const FileStamp stamp{static_cast<int64_t>(get(bytes, 12, 8)), static_cast<int64_t>(get(bytes, 20, 8))};
    size_t at = HeaderSize;
    while (at < bytes.size()) {
        const size_t left = bytes.size() - at;
        if (left < 8 || bytes.substr(at, 4) != EntryMagic) break;
        const uint64_t length = get(bytes, at + 4, 4);
        if (length > left - 8 || left - 8 - length < 4) break;
        const std::string_view payload = bytes.substr(at + 8, length);
        if (get(bytes, at + 8 + length, 4) != crc32(payload)) break;
        JournalState state;
        if (!decodePayload(payload, state)) break;
        j.last = std::move(state);
        ++j.entries;
        at += 8 + length + 4;
    }
    j.cutTail = at < bytes.size();
    if (j.entries == 0) {
        j.reason = "it holds no complete entry";
        return j;
    }
    if (!(stamp == markFile)) {
        j.status = JournalContents::Status::Mismatch;
        j.reason = "the mark file changed since it was written";
        return j;
    }
    j.status = JournalContents::Status::Usable;
    return j;
}

void ApplyJournalState(const JournalState& j, SessionState& s) {
    s.MarkCount = static_cast<int32_t>(j.marks.size());
    bool hidden = false;
    for (size_t i = 0; i < j.marks.size(); ++i) {
        MarkRecord m = j.marks[i];
        m.SeqNr = static_cast<uint16_t>(i + 1);
        m.Connected = 0;
        hidden = hidden || m.Visible == 0;
        s.MarkTable[i + 1] = m;
    }
    if (hidden) s.UnhideEnabled = true;
    s.ConnCount = static_cast<int32_t>(j.connections.size());
    for (size_t i = 0; i < j.connections.size(); ++i) s.Connections[i + 1] = j.connections[i];
}

JournalWriter::~JournalWriter() { close(); }

void JournalWriter::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    last_.clear();
}

std::optional<std::string> JournalWriter::start(const std::string& path, const FileStamp& stamp,
                                                const std::string& entry) {
    // The first entry goes in with the header as one complete file, so that
    // a journal on disk always holds at least one whole entry.
    try {
        writeBytesAtomic(path, JournalHeaderBytes(stamp) + entry);
    } catch (const IoError& e) {
        return e.reason();
    }
    fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd_ < 0) return reasonOf(errno);
    path_ = path;
    stamp_ = stamp;
    size_ = static_cast<int64_t>(HeaderSize + entry.size());
    return std::nullopt;
}

void CountChanges(SessionState& s) {
    const uint64_t tally = s.MarksChanged.sets() + s.ConnectionsChanged.sets();
    if (!s.MarksChanged && !s.ConnectionsChanged)
        s.UnsavedChanges = 0;
    else if (tally != s.ChangesCounted || s.UnsavedChanges == 0)
        ++s.UnsavedChanges;
    s.ChangesCounted = tally;
}

std::optional<JournalSnapshot> JournalSnapshotOf(const SessionState& s, int64_t now) {
    if (!s.JournalMarks || s.MarkFileName.empty() || !(s.MarksChanged || s.ConnectionsChanged)) return std::nullopt;
    const auto marks = marksOf(s);
    const auto connections = connectionsOf(s);
    return JournalSnapshot{s.MarkFileName, {marks.begin(), marks.end()}, {connections.begin(), connections.end()}, now,
                           s.UnsavedChanges};
}

std::optional<std::string> JournalWriter::write(const JournalSnapshot& j) {
    const std::string path = JournalFileName(j.markFileName);
    const FileStamp stamp = StampOf(j.markFileName);
    // Another recording, a mark file written since, or a journal removed
    // by a save: the entry starts a new journal.
    if (fd_ >= 0 && (path != path_ || !(stamp == stamp_) || !fileExists(path))) close();
    std::string state = encodeState(j.marks, j.connections);
    if (fd_ >= 0 && state == last_ && j.changes == changes_) return std::nullopt;
    const std::string entry = entryFrom(state, j.written, j.changes);
    if (fd_ < 0 || size_ + static_cast<int64_t>(entry.size()) > CompactBytes) {
        close();
        if (auto failed = start(path, stamp, entry)) return failed;
    } else {
        size_t done = 0;
        while (done < entry.size()) {
            const ssize_t n = ::write(fd_, entry.data() + done, entry.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                const std::string why = reasonOf(n < 0 ? errno : ENOSPC);
                close();
                return why;
            }
            done += static_cast<size_t>(n);
        }
        if (::fdatasync(fd_) != 0) {
            const std::string why = reasonOf(errno);
            close();
            return why;
        }
        size_ += static_cast<int64_t>(entry.size());
    }
    last_ = std::move(state);
    changes_ = j.changes;
    ++appended_;
    return std::nullopt;
}

std::optional<std::string> JournalWriter::update(SessionState& s, int64_t now) {
    CountChanges(s);
    const auto j = JournalSnapshotOf(s, now);
    return j ? write(*j) : std::nullopt;
}

JournalFile ReadJournalFile(const std::string& markFileName, const FileStamp& markFile) {
    JournalFile f;
    f.path = JournalFileName(markFileName);
    f.exists = fileExists(f.path);
    if (!f.exists) return f;
    try {
        f.contents = ParseJournal(readWholeFile(f.path, MaxJournalBytes), markFile);
    } catch (const IoError& e) {
        f.readError = e.reason();
    }
    return f;
}

std::string RestoreQuestion(const JournalContents& j) {
    const std::time_t t = static_cast<std::time_t>(j.last.written);
    std::tm local{};
    ::localtime_r(&t, &local);
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
    return "Restore the " + std::to_string(j.last.changes) + " unsaved mark changes made on " + when + "?";
}

void OfferJournal(Ctx& ctx, const RecordingFiles& files) {
    SessionState& s = ctx.s;
    const JournalFile& f = files.journal;
    if (!f.exists) return;
    if (!f.readError.empty()) {
        s.Memo1.push_back(f.path + " could not be read: " + f.readError);
        return;
    }
    const auto renameTo = [&](const std::string& suffix) {
        const std::string target = f.path + suffix;
        if (std::rename(f.path.c_str(), target.c_str()) != 0)
            s.Memo1.push_back(f.path + " could not be renamed: " + reasonOf(errno));
    };
    if (f.contents.status != JournalContents::Status::Usable) {
        s.Memo1.push_back(f.path + " was not used (" + f.contents.reason + "); it was renamed " + f.path + ".unused");
        renameTo(".unused");
        return;
    }
    if (ctx.host.askYesNo(RestoreQuestion(f.contents)) != Answer::Yes) {
        renameTo(".discarded");
        return;
    }
    const std::vector<Connection> read(s.Connections.begin() + 1, s.Connections.begin() + 1 + s.ConnCount);
    ApplyJournalState(f.contents.last, s);
    s.MarksChanged = true;
    if (read != f.contents.last.connections) s.ConnectionsChanged = true;
    // The changes go on being counted from those restored.
    s.UnsavedChanges = std::max<uint32_t>(f.contents.last.changes, 1);
    s.ChangesCounted = s.MarksChanged.sets() + s.ConnectionsChanged.sets();
    s.Memo1.push_back("restored " + std::to_string(f.contents.last.changes) + " unsaved mark changes from " + f.path +
                      (f.contents.cutTail ? " (its incomplete last entry was left off)" : ""));
}

void DropJournalIfSaved(const SessionState& s) {
    if (!s.MarksChanged && !s.ConnectionsChanged) RemoveJournal(s);
}

void RemoveJournal(const SessionState& s) {
    // An entry being written would otherwise come after the removal.
    if (s.SettleJournal) s.SettleJournal();
    if (!s.MarkFileName.empty()) ::unlink(JournalFileName(s.MarkFileName).c_str());
}

}  // namespace vk
