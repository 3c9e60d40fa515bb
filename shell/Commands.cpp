#include "shell/Commands.h"

#include <algorithm>
#include <optional>

#include "input/ElgFile.h"
#include "input/Matrix.h"
#include "input/RecordingSettings.h"
#include "input/Smoothing.h"
#include "input/TextImport.h"
#include "marks/Connections.h"
#include "marks/MarkFile.h"
#include "marks/MarkStore.h"
#include "shell/Display.h"
#include "session/Errors.h"
#include "session/TextFiles.h"
#include "session/SampleTime.h"

namespace vk {

void StartUp(Ctx& ctx) {
    auto& s = ctx.s;
    runCommand(ctx, [&] {
        makeFolders(MyMatrixDir(s));
        makeFolders(MyNewMatrixDir(s));
    });
    // A missing list is the normal state of a first start; a list that
    // exists but cannot be read is reported.
    if (fileExists(RecentListPath(s))) runCommand(ctx, [&] { ReadRecentList(s); });
}

void ReadRecentList(SessionState& s) {
    // The list holds 20 short lines; a larger file is not a recent-file list.
    const std::string text = readWholeFile(RecentListPath(s), 1 << 20);
    TextScanner in(text, RecentListPath(s));
    for (int i = 1; i <= 10; ++i) {
        s.RecentTypes[static_cast<size_t>(i)] = in.readLine();
        s.RecentNames[static_cast<size_t>(i)] = in.readLine();
    }
}

void WriteRecentList(const SessionState& s) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 10; ++i) {
        lines.push_back(s.RecentTypes[static_cast<size_t>(i)]);
        lines.push_back(s.RecentNames[static_cast<size_t>(i)]);
    }
    writeLinesAtomic(RecentListPath(s), lines);
}

void PushRecent(SessionState& s, const std::string& type, const std::string& path) {
    for (int i = 10; i >= 2; --i) {
        s.RecentTypes[static_cast<size_t>(i)] = s.RecentTypes[static_cast<size_t>(i - 1)];
        s.RecentNames[static_cast<size_t>(i)] = s.RecentNames[static_cast<size_t>(i - 1)];
    }
    s.RecentTypes[1] = type;
    s.RecentNames[1] = path;
}

const std::vector<FileFilter>& OpenFilters() {
    static const std::vector<FileFilter> filters = {
        {"E00 files", "*.E**"},        {"M00 files", "*.M**"},
        {"NI-txt files", "*.txt"},     {"Nashville text files", "*.txt"},
        {"Auckland text files", "*.txt"}, {"Manchester text files", "*.txt"},
    };
    return filters;
}

std::string NewMatrixRecordPath(const SessionState& s) { return MyNewMatrixDir(s) + "/MatrixList.Txt"; }

void UseNewMatrix(SessionState& s, const std::string& path) {
    // Parse before changing anything, so a bad file leaves the matrix in use.
    MatrixData m = ParseNewMatrix(readWholeFile(path, MaxMatrixFileBytes), path);
    s.MatrixFileName = path;
    s.NewMatrixName = path;
    ApplyMatrix(s, m);
}

namespace {

// Records the chosen matrix in the list file of its folder: ten empty lines
// and the path. The new-format folder's record has a name of its own, since
// "FileList.Txt" there is the recent-file list.
void recordMatrixChoice(const std::string& listPath, const std::string& matrix) {
    std::vector<std::string> lines(10);
    lines.push_back(matrix);
    writeLinesAtomic(listPath, lines);
}

void changeMatrix(Ctx& ctx, bool newFormat, bool redraw) {
    auto& s = ctx.s;
    const std::vector<FileFilter> filters = {{"Matrix files", "*.txt *.TXT"}, {"All files", "*"}};
    auto choice = ctx.host.openFile(newFormat ? "Open New Matrix File" : "Open Matrix File", filters, 1,
                                    newFormat ? MyNewMatrixDir(s) : MyMatrixDir(s));
    if (!choice) {
        if (redraw) UpdateDisplay(ctx);
        return;
    }
    s.MatrixFileName = choice->path;
    if (!fileExists(s.MatrixFileName)) {
        ctx.host.beep();
        ctx.host.information(s.MatrixFileName + " is not found!");
        if (redraw && newFormat) UpdateDisplay(ctx);
        return;
    }
    if (newFormat) {
        LoadNewMatrix(s);
    } else {
        LoadMatrix(s);
    }
    s.NewMatrixName = s.MatrixFileName;
    recordMatrixChoice(newFormat ? NewMatrixRecordPath(s) : MyMatrixDir(s) + "/FileList.Txt", s.MatrixFileName);
    // Chosen from the menu with a recording open, the new-format matrix is
    // this recording's from now on (not while an open asks for one).
    if (newFormat && redraw) RememberRecordingMatrix(ctx, s.MatrixFileName);
    if (redraw) UpdateDisplay(ctx);
}

}  // namespace

void ChangeMatrixfile1Click(Ctx& ctx) {
    runCommand(ctx, [&] { changeMatrix(ctx, false, true); });
}

void ChangeNewMatrixfile(Ctx& ctx, bool redraw) { changeMatrix(ctx, true, redraw); }

bool OpenElectrogramFile(Ctx& ctx, const std::string& path, const OpenOptions& options) {
    auto& s = ctx.s;
    auto& host = ctx.host;
    return runCommand(ctx, [&] {
        // 1. Header and size: refuse what the buffers cannot hold before
        //    anything of the current recording is touched.
        FileSource src(path);
        const ElgLayout layout = ExamineElgFile(src, path);
        // 2. The frames go to the scratch frame buffer, which only the
        //    reader uses.
        ReadElgFrames(src, layout, s.RawFrames.data(), s.RawFrames.size());
        // The recording's mark and connections files: a file that exists but
        // cannot be read stops the open, so that what it holds is never
        // replaced by nothing.
        const RecordingFiles files = ReadRecordingFiles(MarkFileNameFor(path), path);
        // The recording's own settings, applied once it is open; a matrix
        // named there makes the question for a missing one pointless.
        const SettingsFound settings = FindRecordingSettings(path, options.settingsMatrix);
        // 3. The matrix chosen last, read before anything is replaced; or ask
        //    for one (the user's choice applies at once, as the matrix
        //    commands do).
        std::optional<MatrixData> matrix;
        if (fileExists(s.NewMatrixName)) {
            matrix = ParseNewMatrix(readWholeFile(s.NewMatrixName, MaxMatrixFileBytes), s.NewMatrixName);
        } else if (options.askForMissingMatrix && !settings.matrix) {
            host.beep();
            host.information(s.NewMatrixName + " is not found! (newE00)");
            s.MatrixFileName = s.NewMatrixName;
            ChangeNewMatrixfile(ctx, false);
        }
        // 4. From here on the new recording replaces the old one; nothing
        //    below may stop the open half-way.
        if (matrix) {
            s.MatrixFileName = s.NewMatrixName;
            ApplyMatrix(s, *matrix);
        } else if (!options.askForMissingMatrix) {
            s.MatrixFileName = s.NewMatrixName;
        }
        s.FileName = path;
        s.FileType = 2;  // the header reader's mode
        s.ElgHeader = layout.header;
        const std::string matrixName = s.NewMatrixName.substr(0, 16);
        s.ElgHeader[106] = static_cast<uint8_t>(matrixName.size());
        std::copy(matrixName.begin(), matrixName.end(), s.ElgHeader.begin() + 107);
        s.NrChannelsInFile = layout.NrChannelsInFile;
        s.BytesPerSample = layout.BytesPerSample;
        s.FrameSize = layout.FrameSize;
        s.HeaderFrames = layout.HeaderFrames;
        s.HeaderWordA = layout.HeaderWordA;
        s.HeaderWordB = layout.HeaderWordB;
        s.NrOfFrames = layout.NrOfFrames;
        s.FileExt = FileExtOf(path);
        s.SignalsLoaded = true;

        // LoadAllElectrograms: copy or smooth the frames into Signals.
        const bool smooth = s.SmoothOnLoad;
        host.showProgress(smooth ? "Smoothing electrograms ..." : "Reading electrograms ...", namePart(s.FileName),
                          namePart(s.MatrixFileName), 256);
        CopyFramesToSignals(s.RawFrames.data(), s.RawFrames.size(), s.NrChannelsInFile, s.NrOfFrames, smooth,
                            s.Signals, [&](int first, int count) {
                                host.setProgressCaption(std::string(smooth ? "Smoothing electrogram nr = "
                                                                           : "Reading electrogram nr = ") +
                                                        std::to_string(first));
                                for (int i = 0; i < count; ++i) host.stepProgress();
                                host.processMessages();
                            });
        host.hideProgress();

        s.Memo1.push_back("NrOfFramesinFile=" + std::to_string(s.NrOfFrames));
        // The length in ms at the rate in force, so that a recording opened
        // after an import at another rate is shown whole and no further.
        s.SignalLength = TimeOfSample(s, s.NrOfFrames);
        StartRecordingMarks(ctx, files, {.createMarkFile = options.createMarkFile, .useJournal = options.useJournal});
        if (files.hasMarkFile && options.askForMissingMatrix && !settings.matrix) LoadMatrixInUse(ctx);
        ApplyRecordingSettings(ctx, settings);
        if (layout.truncated)
            host.warning(path + " holds " + std::to_string(layout.framesInFile) + " frames; only the first " +
                         std::to_string(MaxSamples) + " were loaded.");
        if (options.updateRecentList) {
            PushRecent(s, "1", s.FileName);
            // The recording is open; a list that cannot be written is worth
            // a warning, not an open undone half-way.
            try {
                WriteRecentList(s);
            } catch (const IoError& e) {
                host.warning(std::string("The list of recent files could not be written: ") + e.what());
            }
        }
    });
}

void ResetViewAfterLoad(SessionState& s) {
    s.MarkingArmed = false;
    s.DisplayTypeA = 1;
    s.WindowAll = s.SignalLength;
    s.WindowA = s.SignalLength;
    s.CurrentMarkType[1] = 1;
    s.CurrentMarkType[2] = 1;
    s.ActiveDisplay = 1;
    s.MapKindA = 0;
    s.MapKindB = 0;
    // The begin times stay while they lie inside this recording; past its
    // end the traces would be blank.
    for (int32_t* begin : {&s.BeginTimeA, &s.BeginTimeB, &s.BeginTimeAll})
        if (*begin >= s.SignalLength) *begin = 0;
    s.FileLoaded = true;
}

bool SaveAlert(Ctx& ctx) {
    auto& s = ctx.s;
    // Marks first, then connections, each with its own question; a save
    // that failed was reported, and going on would drop what it held.
    if (s.MarksChanged) {
        ctx.host.beep();
        const Answer a = ctx.host.askYesNoCancel(UnsavedMarksQuestion);
        if (a == Answer::Cancel) return false;
        if (a == Answer::Yes && !runCommand(ctx, [&] { WriteMarkFile(s); })) return false;
    }
    if (s.ConnectionsChanged) {
        ctx.host.beep();
        const Answer a = ctx.host.askYesNoCancel(UnsavedConnectionsQuestion);
        if (a == Answer::Cancel) return false;
        if (a == Answer::Yes && !runCommand(ctx, [&] { WriteConnectionsFile(s); })) return false;
    }
    // Everything was saved or given up: the journal of the changes goes.
    // Should the recording stay open after all (its successor could not be
    // opened), the next change starts a new one.
    RemoveJournal(s);
    return true;
}

void OpenFile1Click(Ctx& ctx) {
    auto& s = ctx.s;
    const bool wasLoaded = s.FileLoaded;
    s.FileLoaded = false;
    const std::string folder = folderPart(s.FileName);
    auto choice = ctx.host.openFile("Open electrogram file", OpenFilters(), s.OpenFilterIndex, folder);
    if (!choice) {
        // Nothing was chosen: the recording that is open stays usable.
        s.FileLoaded = wasLoaded;
        return;
    }
    s.OpenFilterIndex = choice->filterIndex;
    switch (choice->filterIndex) {
        case 1:
            if (!SaveAlert(ctx) || !OpenElectrogramFile(ctx, choice->path)) {
                s.FileLoaded = wasLoaded;
                return;
            }
            s.ImportedFile = false;
            ResetViewAfterLoad(s);
            UpdateDisplay(ctx);
            break;
        case 3:
            // The NI import loads at once; its questions may still cancel.
            if (!SaveAlert(ctx) || !ReadNITextFile(ctx, choice->path)) s.FileLoaded = wasLoaded;
            break;
        case 4:
        case 5:
        case 6:
            // The import window loads on its OK (which asks about unsaved
            // marks); until then the open recording stays usable.
            s.FileLoaded = wasLoaded;
            s.ImportType = choice->filterIndex;
            LoadImportFile(ctx, choice->filterIndex, choice->path);
            break;
        default:
            // Mark files cannot be opened as recordings.
            ctx.host.beep();
            s.FileLoaded = wasLoaded;
            break;
    }
}

void LoadNewElgFile(Ctx& ctx, const std::string& path) {
    auto& s = ctx.s;
    if (!SaveAlert(ctx)) return;
    s.Memo1.push_back(path);
    if (!OpenElectrogramFile(ctx, path)) return;
    s.DisplayTypeA = 1;
    s.TraceOrder = 1;
    s.TraceOrderItemA = s.TraceOrderItemB = 0;  // "Horizontal", the order just set
    s.FirstChannel = 65;
    ResetViewAfterLoad(s);
    UpdateDisplay(ctx);
}

void ShowPrevFileClick(Ctx& ctx, int item) {
    auto& s = ctx.s;
    if (item < 1 || item > 10) return;
    const auto i = static_cast<size_t>(item);
    if (s.RecentTypes[i] == "1" && !s.RecentNames[i].empty()) {
        LoadNewElgFile(ctx, s.RecentNames[i]);
        return;
    }
    // Entry 1 of a text import runs that import again on its own path;
    // anything else opens nothing.
    if (item == 1 && !s.RecentNames[1].empty()) {
        if (s.RecentTypes[1] == "3") {
            if (SaveAlert(ctx)) ReadNITextFile(ctx, s.RecentNames[1]);
            return;
        }
        if (s.RecentTypes[1] == "4" || s.RecentTypes[1] == "5" || s.RecentTypes[1] == "6") {
            s.ImportType = s.RecentTypes[1][0] - '0';
            LoadImportFile(ctx, s.ImportType, s.RecentNames[1]);
            return;
        }
    }
    ctx.host.beep();
}

void FileInfo1Click(Ctx& ctx) { ctx.host.showOverlay(Overlay::Info, true); }

void InfoOkClick(Ctx& ctx) {
    if (ctx.s.SignalsLoaded) runCommand(ctx, [&] {
        WriteMarkFile(ctx.s);
        DropJournalIfSaved(ctx.s);
    });
    ctx.host.showOverlay(Overlay::Info, false);
    UpdateDisplay(ctx);
}

void InfoCancelClick(Ctx& ctx) {
    ctx.host.showOverlay(Overlay::Info, false);
    UpdateDisplay(ctx);
}

void Quit1Click(Ctx& ctx) {
    if (!SaveAlert(ctx)) return;
    ctx.host.closeMainWindow();
}

void About1Click(Ctx& ctx) { ctx.host.showOverlay(Overlay::About, true); }
void CloseAboutClick(Ctx& ctx) { ctx.host.showOverlay(Overlay::About, false); }

void FrequentCommands1Click(Ctx& ctx) { ctx.host.showOverlay(Overlay::Help, true); }
void CloseHelpClick(Ctx& ctx) {
    ctx.host.showOverlay(Overlay::Help, false);
    UpdateDisplay(ctx);
}

void ShowMemoWindow1Click(Ctx& ctx) {
    ctx.s.ShowMemo = !ctx.s.ShowMemo;
    ctx.host.showOverlay(Overlay::Memo, ctx.s.ShowMemo);
    UpdateDisplay(ctx);
}

std::string MemoItemCaption(const SessionState& s) {
    return s.ShowMemo ? "hide Memo Window" : "show Memo Window";
}

void UpdateDisplays1Click(Ctx& ctx) { UpdateDisplay(ctx); }

void Smoothing1Click(Ctx& ctx) {
    auto& s = ctx.s;
    auto& host = ctx.host;
    host.showProgress("now smoothing signals ...", namePart(RecordingPath(s)), namePart(s.MatrixFileName), 24);
    host.processMessages();
    std::vector<int32_t> work;
    const int channels = std::clamp(s.NrNIChannels, 0, MaxChannels);
    for (int c = 1; c <= channels; ++c) {
        host.setProgressCaption("smoothing ele nr = " + std::to_string(c));
        host.stepProgress();
        host.processMessages();
        SmoothChannelInPlace(s.Signals, c, RecordingRows(s), work);
    }
    host.hideProgress();
    UpdateDisplay(ctx);
}

bool OpenFromCommandLine(Ctx& ctx, const std::string& matrix, const std::string& recording) {
    auto& s = ctx.s;
    if (!matrix.empty() && !runCommand(ctx, [&] { UseNewMatrix(s, matrix); })) return false;
    if (recording.empty()) {
        UpdateDisplay(ctx);
        return true;
    }
    if (!OpenElectrogramFile(ctx, recording)) return false;
    s.ImportedFile = false;
    ResetViewAfterLoad(s);
    UpdateDisplay(ctx);
    return true;
}

}  // namespace vk
