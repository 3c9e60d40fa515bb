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

#include "session/Context.h"

namespace vk {

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

// Reads MarkFileName into the table, tells about damage, keeps a damaged
// original as MarkFileName + ".damaged", tells about marks of an unknown
// type (no copy: the file is not damaged), then, when checkMatrix is set,
// checks that the matrix in use can be loaded (asking for one when it is
// missing). A text import has its own electrode layout and no matrix.
void ReadMarkFile(Ctx& ctx, const std::string& bytes, bool checkMatrix = true);

// File > "Save Marks+Connections".
void SaveMarks1Click(Ctx& ctx);

// The file info text stored at offset 1898: a length byte and 255 characters at most.
std::string HeaderString(const std::array<uint8_t, MarkHeaderSize>& h, size_t offset, size_t maxLength);

}  // namespace vk
