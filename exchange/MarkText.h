// The mark text file: the marks of a recording as tab-separated text, for
// spreadsheets and for marks prepared elsewhere.
//
// A fixed 29-line header names the matrix file and the sampling frequency
// and describes the six columns; one line per mark follows with electrode,
// activation time, mark type, amplitude, slope and mark number. Marks are
// written electrode by electrode (1 to 256), each electrode's marks in table
// order; deleted marks and marks at time 0 or earlier are left out, reference
// marks are kept. Numbers use "." and no thousands separators, so that the
// program reads its own files back on every system.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "session/Context.h"

namespace vk {

// The lines of the file (without line ends).
std::vector<std::string> MarkTextLines(const SessionState& s);

// What reading a mark text file did.
struct MarkTextRead {
    int32_t announced = 0;       // marks the header promised
    int32_t read = 0;            // marks appended to the table
    int32_t alreadyPresent = 0;  // of those, equal (electrode, type, time) to a mark the table held before
    int32_t skipped = 0;         // mark lines whose electrode is outside 1..256: nothing appended
};

// Reads the header (MatrixFileName and SamplingFrequency are taken from it)
// and appends each mark line's mark to the table, on its electrode, with its
// rounded time, type and mark number; amplitude and slope are not used. A
// line whose electrode is outside 1..256 is skipped (a mark belongs to an
// electrode). A mark equal to one already held is appended all the same, as
// the import appends, and counted, so that the user can be told.
// Reading stops at the end of the data even when the header promised more.
// A token that is not a number throws ConversionError, a line cut short
// IoError; the marks appended before it stay.
MarkTextRead ReadMarkText(SessionState& s, std::string_view text, const std::string& path);

// What the import window says after reading `path`, or "" when there is
// nothing to say beyond the marks appearing: marks already present, lines
// skipped, fewer marks than announced.
std::string MarkTextReadMessage(const std::string& path, const MarkTextRead& r);

// File > Export > "Marks to .txt file": asks for the file and writes it.
void SaveMarkstotxt1Click(Ctx& ctx);
// File > Import > "Marks from .txt file": asks for the file and appends its marks.
void Readmarksfromtxt1Click(Ctx& ctx);
// The import without the dialog (also the command-line tool's).
MarkTextRead ImportMarkText(SessionState& s, const std::string& path);

}  // namespace vk
