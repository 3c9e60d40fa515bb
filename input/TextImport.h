// The text recording imports as commands: the NI questions, the import
// window's set-up, OK and Cancel, and the loading that ends each of them.
//
// A text file carries no electrode matrix, so every import gives the
// recording a single row of electrodes, one per channel, and keeps its marks
// in a ".Mxt" file beside the text file. The file is read completely into a
// buffer of its own before the session changes: a Cancel, a refused entry, a
// file that cannot be read or a token that is not a number leave the
// recording that was open, its marks and the display as they were.
#pragma once

#include <string>

#include "input/TextRecording.h"
#include "session/Context.h"

namespace vk {

// Opening an NI file ("NI-txt files" in the open dialog): asks for the
// number of samples (without effect) and the number of lines to read, then
// loads. Returns true when the recording was loaded.
bool ReadNITextFile(Ctx& ctx, const std::string& path);

// Opening a Nashville (4), Auckland (5) or Manchester (6) file: sets the
// import window up for it and shows it; an Auckland file's header is read
// at once (its values, the memo lines and the warning of a cut count).
// Returns false when the header could not be read (the message was shown).
bool LoadImportFile(Ctx& ctx, int importType, const std::string& path);

// File > Import > "Electrogram file": shows the import window again as it
// was last set up (a beep when it never was).
void ReadEleTextFile1Click(Ctx& ctx);

// What the OK button did.
enum class ImportOutcome {
    Loaded,
    Refused,   // a value the buffers cannot hold: beep, the window stays open
    Stopped,   // an edit or a token that is not a number, or a file error: message shown
};
struct ImportResult {
    ImportOutcome outcome = ImportOutcome::Stopped;
    // For Refused: the edit to correct, 1 channels, 2 samples, 3 sampling rate.
    int field = 0;
};

// OK of the panel shown, with the edits held in ImportF. Like opening a
// recording in the window, it offers a journal of unsaved mark changes
// found beside the ".Mxt" file and keeps one while the recording is open;
// ReadNITextFile does the same.
ImportResult ImportOkClick(Ctx& ctx);
// Cancel of any panel: hides the window and redraws panel A.
void ImportCancelClick(Ctx& ctx);

// Runs an import without a window, as the OK button does: for NI `length`
// lines; for Nashville and Manchester the values given; Auckland takes
// everything from its header. Returns the outcome (Refused beeps). No
// journal is offered nor kept.
ImportResult ImportTextFile(Ctx& ctx, TextFormat format, const std::string& path, const ImportEdits& edits,
                            int32_t length);

// The panel captions of the import window.
std::string ImportFormatLabel(int importType);
std::string MaximumSamplesText(const SessionState& s);
inline constexpr const char* TooManySamplesText = "WARNING *** There are too many samples in this file ***";
std::string TruncatedText(const SessionState& s);

}  // namespace vk
