#include "marks/MarkFile.h"

#include <algorithm>
#include <cstring>

#include "marks/Connections.h"
#include "marks/MarkStore.h"
#include "marks/Measures.h"
#include "session/Ask.h"
#include "session/Draw.h"
#include "session/Errors.h"
#include "session/TextFiles.h"

namespace vk {

namespace {

void putU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v & 0xFF);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void putI32(uint8_t* p, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>((u >> (8 * i)) & 0xFF);
}
uint16_t getU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
int32_t getI32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

void putString(std::array<uint8_t, MarkHeaderSize>& h, size_t offset, const std::string& text, size_t maxLength) {
    const size_t n = std::min(text.size(), maxLength);
    h[offset] = static_cast<uint8_t>(n);
    std::memcpy(h.data() + offset + 1, text.data(), n);
}

constexpr size_t NameOffset = 106, InfoOffset = 1898, LengthOffset = 2164;

// A connections file holds 3000 short lines; anything far larger is not one.
constexpr size_t MaxConnFileBytes = 64u << 20;

// Keeps the bytes of a damaged file beside it as `path`.damaged (once: an
// earlier copy is the older original), and says so in a sentence.
std::string keepDamaged(const std::string& path, const std::string& bytes) {
    const std::string keep = path + ".damaged";
    if (fileExists(keep)) return {};
    try {
        writeBytesAtomic(keep, bytes);
        return "\nThe damaged file was kept as " + keep + ".";
    } catch (const IoError& e) {
        return "\nThe damaged file could not be kept: " + std::string(e.what());
    }
}

// The map buffer and what was computed from it belong to the recording
// whose marks filled them: a cell filled by expansion or crossed out keeps
// its value through every reload, so only a new recording empties it.
void emptyMaps(SessionState& s) {
    s.MapBuf.fill(MapCell{});
    s.VelocityBuf.fill(VelocityRec{});
    for (auto& shown : s.PanelMapTime) shown.fill(Missing);
    s.MinMapTime = s.EarliestTime = NoMinMapTime;
    s.MaxMapTime = NoMaxMapTime;
    s.MapTimeCount = 0;
}

}  // namespace

std::string HeaderString(const std::array<uint8_t, MarkHeaderSize>& h, size_t offset, size_t maxLength) {
    const size_t n = std::min<size_t>(h[offset], maxLength);
    return std::string(reinterpret_cast<const char*>(h.data() + offset + 1), n);
}

MarkFileContents ParseMarkFile(std::string_view bytes, const std::string& path, SessionState& s) {
    MarkFileContents c;
    s.MarkCount = 0;
    ClearMeasures(s);
    if (bytes.size() < MarkHeaderSize) {
        c.problems.push_back("the file is shorter than its 4096-byte header (" + std::to_string(bytes.size()) +
                             " bytes); it holds no marks");
        std::memcpy(c.header.data(), bytes.data(), bytes.size());
        s.MarkHeader = c.header;
        return c;
    }
    std::memcpy(c.header.data(), bytes.data(), MarkHeaderSize);
    c.fileInfo = HeaderString(c.header, InfoOffset, 255);
    const auto headerLength = static_cast<int16_t>(getU16(c.header.data() + 2));
    const int64_t start = static_cast<int64_t>(headerLength / MarkRecordDiskSize) * MarkRecordDiskSize;
    if (start < 0 || static_cast<uint64_t>(start) > bytes.size()) {
        c.problems.push_back("its header length (" + std::to_string(headerLength) +
                             ") points outside the file; no marks could be read");
    } else {
        const size_t available = bytes.size() - static_cast<size_t>(start);
        size_t records = available / MarkRecordDiskSize;
        if (available % MarkRecordDiskSize != 0)
            c.problems.push_back("it ends with " + std::to_string(available % MarkRecordDiskSize) +
                                 " bytes that are not a whole mark record");
        if (records > static_cast<size_t>(MaxMarks)) {
            c.problems.push_back("it holds " + std::to_string(records) + " marks; only the first " +
                                 std::to_string(MaxMarks) + " can be used");
            records = MaxMarks;
        }
        int badElectrodes = 0, badTypes = 0;
        for (size_t i = 0; i < records; ++i) {
            const auto* p = reinterpret_cast<const uint8_t*>(bytes.data()) + start + i * MarkRecordDiskSize;
            MarkRecord& m = s.MarkTable[i + 1];
            m.Electrode = getU16(p);
            m.MarkType = static_cast<int16_t>(getU16(p + 2));
            m.Time = getI32(p + 4);
            m.Aux1 = static_cast<int16_t>(getU16(p + 8));
            m.Aux2 = static_cast<int16_t>(getU16(p + 10));
            m.Origin = getU16(p + 12);
            m.MarkNr = getU16(p + 14);
            m.SeqNr = static_cast<uint16_t>(i + 1);
            m.Visible = 1;
            m.Connected = 0;
            if (m.Electrode < 1 || m.Electrode > MaxChannels) ++badElectrodes;
            const bool knownType = m.MarkType == SlowWave || m.MarkType == Spike || m.MarkType == Type3 ||
                                   m.MarkType == Reference || m.MarkType == DeletedType || m.MarkType == 0;
            if (!knownType) ++badTypes;
        }
        if (badElectrodes > 0)
            c.problems.push_back(std::to_string(badElectrodes) +
                                 " marks name an electrode outside 1..256; they are kept but never shown");
        if (badTypes > 0)
            c.notes.push_back(std::to_string(badTypes) +
                                 " marks have an unknown type; they are kept but take part in no map");
        c.recordCount = static_cast<int32_t>(records);
        s.MarkCount = c.recordCount;
    }
    s.MarkHeader = c.header;
    s.FileInfo = c.fileInfo;
    (void)path;
    return c;
}

void PrepareMarkHeader(SessionState& s) {
    auto& h = s.MarkHeader;
    h.fill(0);
    h[0] = 0xFF;
    h[1] = 0xFF;
    putU16(h.data() + 2, MarkHeaderSize);
    putU16(h.data() + 86, static_cast<uint16_t>(s.NrChannelsInFile));
    putU16(h.data() + 88, static_cast<uint16_t>(s.BytesPerSample));
    putU16(h.data() + 90, static_cast<uint16_t>(s.HeaderWordA));
    putU16(h.data() + 104, static_cast<uint16_t>(s.HeaderWordB));
    putString(h, InfoOffset, s.FileInfo, 255);
    putI32(h.data() + LengthOffset, s.SignalLength);
    putString(h, NameOffset, namePart(s.MatrixFileName), 16);
}

std::string MarkFileBytes(SessionState& s) {
    putString(s.MarkHeader, NameOffset, namePart(s.MatrixFileName), 16);
    putString(s.MarkHeader, InfoOffset, s.FileInfo, 255);
    // The records follow the header directly, whatever start the file read
    // last gave; the header must say so, or a reader would look for them
    // elsewhere.
    putU16(s.MarkHeader.data() + 2, MarkHeaderSize);
    std::string bytes(MarkHeaderSize + static_cast<size_t>(s.MarkCount) * MarkRecordDiskSize, '\0');
    auto* out = reinterpret_cast<uint8_t*>(bytes.data());
    std::memcpy(out, s.MarkHeader.data(), MarkHeaderSize);
    for (int i = 1; i <= s.MarkCount; ++i) {
        MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        m.SeqNr = static_cast<uint16_t>(i);
        uint8_t* p = out + MarkHeaderSize + static_cast<size_t>(i - 1) * MarkRecordDiskSize;
        putU16(p, m.Electrode);
        putU16(p + 2, static_cast<uint16_t>(m.MarkType));
        putI32(p + 4, m.Time);
        putU16(p + 8, static_cast<uint16_t>(m.Aux1));
        putU16(p + 10, static_cast<uint16_t>(m.Aux2));
        putU16(p + 12, m.Origin);
        putU16(p + 14, m.MarkNr);
    }
    return bytes;
}

void CreateMarkFile(SessionState& s) {
    PrepareMarkHeader(s);
    s.Memo1.push_back("writing.." + s.MatrixFileName);
    writeBytesAtomic(s.MarkFileName,
                     std::string_view(reinterpret_cast<const char*>(s.MarkHeader.data()), MarkHeaderSize));
}

void WriteMarkFile(SessionState& s) {
    if (s.MarkFileName.empty()) throw IoError("(no recording)", "there is no mark file to write");
    // No journal entry is written while the mark file changes: one begun
    // before the save would be stamped with the saved file.
    if (s.SettleJournal) s.SettleJournal();
    const std::string bytes = MarkFileBytes(s);
    writeBytesAtomic(s.MarkFileName, bytes);
    s.Memo1.push_back("NumWritten..1");
    s.Memo1.push_back("printer=" + s.FileInfo);
    s.Memo1.push_back("header=" + HeaderString(s.MarkHeader, InfoOffset, 255));
    s.MarksChanged = false;
}

void ReadMarkFile(Ctx& ctx, const std::string& bytes) {
    auto& s = ctx.s;
    const MarkFileContents c = ParseMarkFile(bytes, s.MarkFileName, s);
    s.Memo1.push_back("reading.1." + s.MatrixFileName);
    s.Memo1.push_back("reading.2." + s.MatrixFileName);
    if (!c.problems.empty()) {
        std::string text = s.MarkFileName + " is damaged:";
        for (const auto& p : c.problems) text += "\n- " + p;
        // Keep the original as it was; the next save writes what could be read.
        ctx.host.warning(text + keepDamaged(s.MarkFileName, bytes));
    }
    for (const auto& note : c.notes) ctx.host.warning(s.MarkFileName + ": " + note);
}

RecordingFiles ReadRecordingFiles(const std::string& markFileName, const std::string& recordingPath) {
    RecordingFiles f;
    f.markFileName = markFileName;
    f.connFileName = ConnFileNameFor(recordingPath);
    f.hasMarkFile = fileExists(f.markFileName);
    const FileStamp stamp = StampOf(f.markFileName);
    if (f.hasMarkFile) f.markBytes = readWholeFile(f.markFileName, MaxMarkFileBytes);
    // A mark file replaced while it was read is not the version stamped.
    f.journal = ReadJournalFile(f.markFileName, StampOf(f.markFileName) == stamp ? stamp : FileStamp{-2, 0});
    f.hasConnFile = fileExists(f.connFileName);
    if (f.hasConnFile) f.connBytes = readWholeFile(f.connFileName, MaxConnFileBytes);
    return f;
}

void StartRecordingMarks(Ctx& ctx, const RecordingFiles& files, const MarkStart& how) {
    SessionState& s = ctx.s;
    // Nothing of the previous recording's journal is written after this.
    if (s.SettleJournal) s.SettleJournal();
    ClearMarks(s);
    s.MarksChanged = false;
    s.ConnCount = 0;
    s.ConnectionsChanged = false;
    s.UnsavedChanges = 0;
    s.ChangesCounted = s.MarksChanged.sets() + s.ConnectionsChanged.sets();
    s.JournalMarks = how.useJournal;
    s.ConnFileName = files.connFileName;
    s.RememberedElectrode = s.RememberedTime = Missing;
    emptyMaps(s);

    s.MarkFileName = files.markFileName;
    if (files.hasMarkFile) {
        ReadMarkFile(ctx, files.markBytes);
    } else {
        // A new recording starts without the previous one's info text.
        s.FileInfo.clear();
        if (how.createMarkFile) {
            try {
                CreateMarkFile(s);
            } catch (const IoError& e) {
                ctx.host.warning(std::string("The mark file could not be created: ") + e.what());
            }
        } else {
            PrepareMarkHeader(s);
        }
    }
    if (files.hasConnFile) {
        try {
            ParseConnectionsFile(files.connBytes, s);
        } catch (const ConversionError& e) {
            ctx.host.warning(files.connFileName + " is damaged: " + e.what() + "\n" + std::to_string(s.ConnCount) +
                             " connections before the fault were read." +
                             keepDamaged(files.connFileName, files.connBytes));
        }
    }
    if (how.useJournal) OfferJournal(ctx, files);
}

void SaveMarks1Click(Ctx& ctx) {
    auto& s = ctx.s;
    for (int i = 0; i < 20; ++i) ctx.host.beep();
    runCommand(ctx, [&] {
        if (s.MarksChanged) {
            WriteMarkFile(s);
            ctx.host.information("Marks have been saved ");
        }
        if (s.ConnectionsChanged) {
            WriteConnectionsFile(s);
            ctx.host.information("Connections have been saved ");
        }
        DropJournalIfSaved(s);
    });
    UpdateDisplay(ctx);
}

}  // namespace vk
