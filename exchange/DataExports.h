// The small text exports for spreadsheets and other laboratories' tools,
// and the Data Pad's start-up content.
//
// Each export is first built as text (testable without a file) and then
// written completely or not at all, never over the open recording or its
// mark or connections file (session/RecordingFiles.h). The text builders read
// BeginTime and WindowTime; the menu commands set them to the window of the
// panel that shows electrograms (session/ElectrogramWindow.h). The matrix
// export reads the map buffer of the map drawn last. Trace and matrix
// positions without an electrode, and samples past the end of the
// recording, give empty fields: there is nothing to write there.
#pragma once

#include <string>
#include <vector>

#include "session/Context.h"

namespace vk {

// "Electrogram to .txt": one line per sample row of the window (the rows
// the traces show at the sampling rate), the samples of trace positions 1
// to 12, each followed by a tab.
std::vector<std::string> TwelveTraceLines(const SessionState& s);
// "Marks to Animation": file names, window, then every mark of electrodes
// 1..255 inside the window as electrode, type, time.
std::vector<std::string> AnimationLines(const SessionState& s);
// "Single Electrogram Marks": the times of the electrode at trace position 1.
std::vector<std::string> SingleElectrogramLines(const SessionState& s);
// "Data in Matrix Text File": FileName, an empty line, then the map buffer
// as rows of tab-led fields for the map kind drawn last (no line end after
// the last row).
std::string MatrixTextBytes(const SessionState& s);
// "All Marks in One Electrogram": the sorted times of electrode
// `electrode` (types above 0, time above 0), the intervals between them and
// their frequency in cycles per minute, with mean and standard deviation.
// With fewer than two times only the times are written; an interval of 0 ms
// has no frequency (an empty field) and is left out of the mean.
std::vector<std::string> AllMarksLines(const SessionState& s, int32_t electrode);
// "Tavring File": ten blocks (matrix rows 1 to 10) of 4000 lines with the
// samples of matrix columns 1 to 24, each block ended by "END".
std::string TavrinBytes(const SessionState& s);

// The electrode numbers the "All Marks in One Electrogram" panel accepts.
inline bool AllMarksElectrodeAccepted(int32_t e) { return e > 16 && e < 256; }

// The Data Pad as "show Datapad" leaves it: 300 rows of 7 cells, what the
// grid held kept, FileName in row 0, column 0.
void InitializeDataGrid(SessionState& s);

// The menu commands.
void SaveEletotxt1Click(Ctx& ctx);               // writes "Ele12Col.txt" in the working folder
void savemarkstoanimation1Click(Ctx& ctx);
void savesingleelemarks1Click(Ctx& ctx);
void savedatainmatrixtextfile1Click(Ctx& ctx);   // proposes the recording's name with ".txt"
void SaveTavrinFile1Click(Ctx& ctx);             // writes "Tavrin1.txt" in the working folder
void showDatapad1Click(Ctx& ctx);
// Ok of the "Which electrode number?" panel with the text typed: an electrode
// from 17 to 255 asks for the file and writes the export; any other number
// writes nothing. Text that is not a number is reported. Redraws either way.
void WhichElectrodeOkClick(Ctx& ctx, const std::string& typed);

}  // namespace vk
