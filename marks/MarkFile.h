// The recording's mark file: a 4096-byte header followed by one 16-byte
// record per slot of the mark table, deleted slots included.
//
// Writing goes to a temporary file that replaces the old one only when it is
// complete, so a failed save never damages the marks already on disk. A
// damaged file is read as far as it can be, and the user is told what was
// wrong; the damaged original is kept beside it. Records are read from the
// start that the header gives (offset 2) and always written right after the
// 4096-byte header, with the header saying so.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "marks/Journal.h"
#include "session/Context.h"

namespace vk {

// A mark file holds at most 32767 records of 16 bytes after its header;
// anything far larger is not a mark file.
inline constexpr size_t MaxMarkFileBytes = 64u << 20;

// What reading a mark file found.
struct MarkFileContents {
    std::array<uint8_t, MarkHeaderSize> header{};
    std::string fileInfo;
    int32_t recordCount = 0;  // records put into the table
    std::vector<std::string> problems;
    // What is not damage but worth telling: marks of a type the program
    // does not know (a later version's, or another program's) are kept.
    std::vector<std::string> notes;
};

// Parses the bytes of a mark file into slots 1.. of the session's table
// (MarkCount, FileInfo and the header buffer are set; Visible is 1 and
// the other session fields are reset for every slot read).
MarkFileContents ParseMarkFile(std::string_view bytes, const std::string& path, SessionState& s);

// The header as a new mark file gets it, from the recording in the session.
void PrepareMarkHeader(SessionState& s);
// The bytes WriteMarkFile puts on disk (header and slots 1..MarkCount, with
// SeqNr renumbered).
std::string MarkFileBytes(SessionState& s);

// Creates the mark file of a newly opened recording (header, no records).
void CreateMarkFile(SessionState& s);
// Writes header and all marks; clears MarksChanged only when the file is
// safely on disk. Throws IoError otherwise.
void WriteMarkFile(SessionState& s);

// Reads MarkFileName into the table, tells about damage and keeps a damaged
// original as MarkFileName + ".damaged", tells about marks of an unknown
// type (no copy: the file is not damaged). Opening a recording then checks
// its matrix (LoadMatrixInUse); a text import has its own electrode layout
// and no matrix.
void ReadMarkFile(Ctx& ctx, const std::string& bytes);

// The files a recording keeps beside it: its mark file and its connections
// file. They are read before the recording replaces the open one, so that a
// file that exists but cannot be read stops the opening with nothing changed.
struct RecordingFiles {
    std::string markFileName, connFileName;
    bool hasMarkFile = false, hasConnFile = false;
    std::string markBytes, connBytes;
    // The journal of unsaved changes beside the mark file, read against the
    // mark file as it was read.
    JournalFile journal;
};
// Reads the mark file `markFileName` and the connections file of the
// recording at `recordingPath`, each when it exists. Throws IoError.
RecordingFiles ReadRecordingFiles(const std::string& markFileName, const std::string& recordingPath);

// How a recording's marks start.
struct MarkStart {
    bool createMarkFile = true;  // a recording without a mark file gets an empty one
    // The window offers the recording's journal of unsaved changes and
    // keeps one while the recording is open.
    bool useJournal = false;
};
// Every command that loads a recording (open, reopen, the text imports, the
// command-line tool) calls this once the samples and the recording variables
// are the new recording's. Nothing of the previous recording stays: marks,
// undo, measurements, connections and their unsaved state, the mark kept for
// a connection by hand, and the map buffer with its expanded and crossed-out
// cells, velocities and the maps the panels last showed. Then the new
// recording's marks and connections are read from `files`, or its empty mark
// file is made. A connections file that is not one is reported and kept as
// ".damaged"; the records read before the fault stay. With `how.useJournal`
// a journal of unsaved changes is offered (or set aside) last.
void StartRecordingMarks(Ctx& ctx, const RecordingFiles& files, const MarkStart& how = {});

// File > "Save Marks+Connections".
void SaveMarks1Click(Ctx& ctx);

// The file info text stored at offset 1898: a length byte and 255 characters at most.
std::string HeaderString(const std::array<uint8_t, MarkHeaderSize>& h, size_t offset, size_t maxLength);

}  // namespace vk
