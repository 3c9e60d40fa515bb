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
    int32_t announced = 0;  // marks the header promised
    int32_t read = 0;       // mark lines found and passed to the mark table
};

// Reads the header (MatrixFileName and SamplingFrequency are taken from it)
// and appends each mark line's mark to the table, on its electrode, with its
// rounded time, type and mark number; amplitude and slope are not used.
// Reading stops at the end of the data even when the header promised more.
// A token that is not a number throws ConversionError, a line cut short
// IoError; the marks appended before it stay.
MarkTextRead ReadMarkText(SessionState& s, std::string_view text, const std::string& path);

// File > Export > "Marks to .txt file": asks for the file and writes it.
void SaveMarkstotxt1Click(Ctx& ctx);
// File > Import > "Marks from .txt file": asks for the file and appends its marks.
void Readmarksfromtxt1Click(Ctx& ctx);
// The import without the dialog (also the command-line tool's).
MarkTextRead ImportMarkText(SessionState& s, const std::string& path);

}  // namespace vk
