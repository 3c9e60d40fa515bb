// The commands of the File menu and the matrix and smoothing commands of the
// General menu: opening recordings, the recent-file list, file information,
// help, about, the text window and quitting.
//
// Each command ends with the redraw unless it says otherwise. Failures that
// stop a command are shown through the Host by runCommand.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "session/Ask.h"

namespace vk {

// Start-up: create the matrix folders under the data root and read the
// recent-file list (a missing list is not an error).
void StartUp(Ctx& ctx);

// The recent-file list file: 20 lines, type then path, entries 1..10.
void ReadRecentList(SessionState& s);
void WriteRecentList(const SessionState& s);
// Entries move down one place; entry 1 becomes (type, path).
void PushRecent(SessionState& s, const std::string& type, const std::string& path);

// The filters of the open dialog, in order.
const std::vector<FileFilter>& OpenFilters();

// Options of opening an electrogram file.
struct OpenOptions {
    bool updateRecentList = true;  // the command-line tool leaves the user's list alone
    bool askForMissingMatrix = true;  // also the check of the matrix after the marks were read
    bool createMarkFile = true;  // a recording without marks gets an empty mark file
    bool useJournal = true;  // offer and keep the journal of unsaved mark changes
    bool settingsMatrix = true;  // false: the matrix of the recording's settings file gives way to the caller's
};

// Opens an electrogram file as "Open File" does up to the view reset:
// header, matrix, frames, Signals, mark-file name, memo line, recent list.
// A file the program cannot hold is refused with a message before anything
// in the session changes. Returns true when the recording was opened.
bool OpenElectrogramFile(Ctx& ctx, const std::string& path, const OpenOptions& options = {});

// The view reset after an electrogram file was loaded.
void ResetViewAfterLoad(SessionState& s);

// Before another recording replaces the current one, or before quitting:
// when marks changed, ask whether to save them, and then the same for the
// connections. Returns false on Cancel (or when saving failed, so that
// nothing unsaved is dropped).
inline constexpr const char* UnsavedMarksQuestion =
    "Some of the marks have been changed? Do you want to update these marks ?";
inline constexpr const char* UnsavedConnectionsQuestion =
    "Some of the connections have been changed? Do you want to update these connections ?";
bool SaveAlert(Ctx& ctx);

void OpenFile1Click(Ctx& ctx);
void ShowPrevFileClick(Ctx& ctx, int item);
void LoadNewElgFile(Ctx& ctx, const std::string& path);
void FileInfo1Click(Ctx& ctx);
void InfoOkClick(Ctx& ctx);
void InfoCancelClick(Ctx& ctx);
void Quit1Click(Ctx& ctx);
void About1Click(Ctx& ctx);
void CloseAboutClick(Ctx& ctx);
void FrequentCommands1Click(Ctx& ctx);
void CloseHelpClick(Ctx& ctx);
void ShowMemoWindow1Click(Ctx& ctx);
// The caption of the memo item: the action that choosing it performs.
std::string MemoItemCaption(const SessionState& s);
void UpdateDisplays1Click(Ctx& ctx);

// Matrix choice: the old and the new format. `redraw` is false when the
// dialog runs inside the opening of a recording.
void ChangeMatrixfile1Click(Ctx& ctx);
void ChangeNewMatrixfile(Ctx& ctx, bool redraw);
// Where the chosen new-format matrix is recorded, apart from the recent list.
std::string NewMatrixRecordPath(const SessionState& s);

// General > "smoothing (only NI files!)": smooths the first NrNIChannels
// channels of Signals in place.
void Smoothing1Click(Ctx& ctx);

// Opening from the command line: an optional new-format matrix, then a
// recording. Returns false when either failed (the message was shown).
bool OpenFromCommandLine(Ctx& ctx, const std::string& matrix, const std::string& recording);

// Loads a new-format matrix file as the session's chosen matrix.
void UseNewMatrix(SessionState& s, const std::string& path);

}  // namespace vk
