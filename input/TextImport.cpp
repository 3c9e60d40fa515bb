#include "input/TextImport.h"

#include <algorithm>
#include <cstdio>

#include "input/ElgFile.h"
#include "input/RecordingSettings.h"
#include "marks/MarkFile.h"
#include "marks/MarkStore.h"
#include "session/Ask.h"
#include "session/Draw.h"
#include "session/Errors.h"
#include "session/SampleTime.h"
#include "session/Format.h"
#include "session/TextFiles.h"

namespace vk {

namespace {

// Everything an import read, held apart from the session until it is complete.
struct Loaded {
    TextFormat format = TextFormat::Nashville;
    std::string path;
    TextLayout layout;
    std::vector<int32_t> samples;
    std::vector<int64_t> lastValues;  // NI: the memo's last value of each line
    int32_t rate = 1000;
    std::string matrixFile;
    AucklandHeader header;
    RecordingFiles files;  // the mark file (".Mxt") and the connections file beside the text file
    SettingsFound settings;  // the settings file beside the text file
    // The window keeps a journal of unsaved mark changes beside the ".Mxt"
    // file (and offers one found there); the command-line tool never does.
    bool useJournal = false;
};

// Hides the progress panel also when the data pass stops on an error.
struct ProgressPanel {
    Host& host;
    ProgressPanel(Host& h, const std::string& file, const std::string& matrix, int maximum) : host(h) {
        host.showProgress("reading line nr = 0", file, matrix, maximum);
    }
    ~ProgressPanel() { host.hideProgress(); }
};

// Reads the file and the mark and connections files that go with it.
// Nothing in the session changes here.
void dataPass(Ctx& ctx, Loaded& r) {
    auto& host = ctx.host;
    const MappedText file(r.path);
    const std::string_view text = file.text();
    RedrawPanel(ctx, 1);
    {
        ProgressPanel panel(host, namePart(r.path), namePart(r.matrixFile), r.layout.samples / 100);
        ReadTextSamples(
            text, r.layout, r.samples,
            [&host](int32_t n) {
                host.setProgressCaption("reading line nr = " + std::to_string(n));
                host.stepProgress();
                host.processMessages();
            },
            r.format == TextFormat::NI ? &r.lastValues : nullptr);
    }
    // A mark or connections file that exists but cannot be read stops the
    // import, so that what it holds is never replaced by nothing.
    r.files = ReadRecordingFiles(ImportMarkFileName(r.path), r.path);
    r.settings = FindRecordingSettings(r.path);
}

// The single-row electrode layout of a text recording: one cell per
// channel, as many columns as channels (at least 16, at most the grid's
// 100), so that the whole row fits the map panel. Electrodes above the
// channel count have no place: the positions of the matrix used before
// would otherwise put cells of the previous recording's array on this map.
void applySingleRow(SessionState& s, int32_t channels) {
    s.ElectrodeCol.fill(-1);
    s.ElectrodeRow.fill(-1);
    s.NrElectrodes = channels;
    s.NrColumns = std::clamp(channels, 16, MaxGrid);
    s.NrRows = 1;
    s.ElectrodeDistance = 1.0;
    s.TileRectangle = true;
    for (int e = 1; e <= channels; ++e) {
        s.ElectrodeCol[static_cast<size_t>(e)] = e;
        s.ElectrodeRow[static_cast<size_t>(e)] = 1;
    }
    // The grid agrees with the layout, so that nothing of the previous
    // matrix is shown for this recording.
    for (auto& column : s.MatrixGrid) column.fill(-1);
    for (int e = 1; e <= std::min(channels, MaxGrid); ++e) s.MatrixGrid[static_cast<size_t>(e)][1] = e;
}

// The new recording replaces the old one: samples, recording variables,
// view, layout, marks. Nothing here can stop half-way.
void commit(Ctx& ctx, Loaded& r) {
    auto& s = ctx.s;
    const bool ni = r.format == TextFormat::NI;
    const int32_t channels = r.layout.channels, rows = r.layout.samples;
    for (int32_t n = 1; n <= rows; ++n) {
        int32_t* row = s.Signals.row(n);
        std::copy_n(r.samples.data() + static_cast<size_t>(n - 1) * static_cast<size_t>(channels), channels, row);
        // Channels the file does not have never show an earlier recording.
        std::fill(row + channels, row + MaxChannels, 0);
    }
    s.NrTraces = channels;
    s.ImportedChannels = channels;
    s.NrOfFrames = rows;
    s.SignalsLoaded = true;
    s.ImportedFile = true;
    s.FileType = static_cast<int32_t>(r.format);
    if (ni) {
        s.NIFileName = r.path;
        // The lines read are samples at the rate in force (which the NI
        // import keeps): the length in ms follows from them.
        s.SignalLength = TimeOfSample(s, rows);
        for (int32_t n = 1; n <= rows; ++n)
            s.Memo1.push_back(std::to_string(n) + "   " + std::to_string(s.Signals.at(n, 5)) + "  " +
                              std::to_string(r.lastValues[static_cast<size_t>(n - 1)]));
    } else {
        s.ImportType = static_cast<int32_t>(r.format);
        s.NrSamples = rows;
        s.MatrixFileName = r.matrixFile;
        s.FileName = r.path;
        // The rate results.
        s.SamplingFrequency = r.rate;
        s.HighRateMode = r.rate != 1000;
        s.SignalLength = static_cast<int32_t>(roundHalfEven(static_cast<double>(rows) * 1000.0 / r.rate));
        s.WindowB = s.SignalLength;
        if (r.format == TextFormat::Auckland) {
            s.AucklandHeaderLines = r.header.HeaderLines;
            s.AucklandCalibration = r.header.Calibration;
            s.AucklandComments = r.header.Comments;
        }
    }
    // The view as after opening a recording, electrograms in sequence from
    // channel 1.
    s.MarkingArmed = false;
    s.DisplayTypeA = 1;
    s.FirstChannel = 1;
    s.TraceOrder = 0;
    s.TraceOrderItemA = s.TraceOrderItemB = 2;  // "Sequential" in both title bars
    s.BipolarMode = false;
    s.WindowAll = s.WindowA = s.SignalLength;
    // Every recording is shown from its start: an earlier begin time may lie
    // past the end of this one.
    s.BeginTimeAll = s.BeginTimeA = s.BeginTimeB = 0;
    s.CurrentMarkType[1] = s.CurrentMarkType[2] = 1;
    s.ActiveDisplay = 1;
    s.MapKindA = s.MapKindB = 0;
    s.FileLoaded = true;
    ctx.host.showOverlay(Overlay::Memo, s.ShowMemo);
    applySingleRow(s, channels);
    StartRecordingMarks(ctx, r.files, {.createMarkFile = true, .useJournal = r.useJournal});
    ApplyRecordingSettings(ctx, r.settings);
    UpdateDisplay(ctx);
}

// A count above the largest the imports accept is cut, with a beep and the
// panel's warning labels.
int32_t cutToMaximum(Ctx& ctx, int32_t samples) {
    if (samples <= ctx.s.MaxNrSamples) return samples;
    ctx.host.beep();
    ctx.s.ImportF.Warning = true;
    return ctx.s.MaxNrSamples;
}

// Refuses, with a beep and a message that says why, what the buffers cannot
// hold or what would divide by zero. Returns the field to correct, 0 when
// all is well. The Auckland values come from the file's header.
int refusedField(Ctx& ctx, int32_t channels, int32_t samples, int32_t rate, bool fromHeader) {
    int field = 0;
    std::string why;
    if (channels < 1 || channels > MaxChannels) {
        field = 1;
        why = "Nr Channels must be in the 1 - " + std::to_string(MaxChannels) + " range !";
    } else if (samples < 0) {
        field = 2;
        why = "Nr Samples must not be negative !";
    } else if (rate <= 0) {
        field = 3;
        why = "Sampling rate must be above 0 !";
    }
    if (field == 0) return 0;
    ctx.host.beep();
    ctx.host.information(fromHeader ? "The header of this file cannot be used: " + why : why);
    return field;
}

void loadNI(Ctx& ctx, const std::string& path, int32_t length, bool useJournal) {
    Loaded r;
    r.format = TextFormat::NI;
    r.path = path;
    r.useJournal = useJournal;
    r.layout = LayoutOf(TextFormat::NI, 64, length);
    dataPass(ctx, r);
    commit(ctx, r);
}

ImportResult okOfPanel(Ctx& ctx, bool useJournal) {
    auto& s = ctx.s;
    auto& w = s.ImportF;
    Loaded r;
    r.useJournal = useJournal;
    r.format = static_cast<TextFormat>(w.Panel);
    r.path = w.FileName;
    int32_t channels = 0, samples = 0;
    if (r.format == TextFormat::Auckland) {
        r.header = w.Auckland;
        channels = r.header.NrChannels;
        samples = r.header.NrSamples;
        r.rate = r.header.SamplingRate;
        r.matrixFile = r.header.MatrixName;
    } else {
        ImportEdits& e = r.format == TextFormat::Nashville ? w.Nashville : w.Manchester;
        channels = ParseTypedInteger(e.NrChannels);
        samples = ParseTypedInteger(e.NrSamples);
        r.rate = ParseTypedInteger(e.SamplingRate);
        r.matrixFile = MyNewMatrixDir(s) + "/" + e.MatrixName;
    }
    if (const int field = refusedField(ctx, channels, samples, r.rate, r.format == TextFormat::Auckland)) return {ImportOutcome::Refused, field};
    if (r.format != TextFormat::Auckland) samples = cutToMaximum(ctx, samples);
    r.layout = LayoutOf(r.format, channels, samples, r.header.HeaderLines, s.UnitsPerMillivolt);
    w.Shown = false;
    ctx.host.showOverlay(Overlay::Import, false);
    dataPass(ctx, r);
    commit(ctx, r);
    return {ImportOutcome::Loaded, 0};
}

}  // namespace

std::string ImportFormatLabel(int importType) {
    switch (importType) {
        case 4: return "Nashville Text File format";
        case 5: return "Auckland Text File format";
        case 6: return "Manchester Text File format";
        default: return "";
    }
}

std::string MaximumSamplesText(const SessionState& s) {
    return "Maximum number of samples = " + std::to_string(s.MaxNrSamples);
}

std::string TruncatedText(const SessionState& s) {
    return "*** The file will be truncated to " + std::to_string(s.MaxNrSamples) + " samples ***";
}

bool ReadNITextFile(Ctx& ctx, const std::string& path) {
    auto& host = ctx.host;
    // The number of samples asked first has no effect on the import.
    if (!host.inputBox("Input nr of samples (Max 60000) ", "Give new nr of samples:", "1000")) return false;
    RedrawPanel(ctx, 1);
    bool loaded = false;
    runCommand(ctx, [&] {
        // The answer is the number of lines to read; more than the buffer
        // holds is refused like other out-of-range entries.
        std::string typed = "30000";
        int32_t length = 0;
        for (;;) {
            const auto answer = host.inputBox("  ", "Give new signal length if necessary:", typed);
            if (!answer) return;
            length = ParseTypedInteger(*answer);
            if (length >= 0 && length <= MaxSamples) break;
            host.beep();
            typed = *answer;
        }
        loadNI(ctx, path, length, true);
        loaded = true;
    });
    return loaded;
}

bool LoadImportFile(Ctx& ctx, int importType, const std::string& path) {
    auto& s = ctx.s;
    auto& w = s.ImportF;
    if (importType < 4 || importType > 6) return false;
    (importType == 4 ? s.NashvilleFileName : importType == 5 ? s.AucklandFileName : s.ManchesterFileName) = path;
    w.Panel = importType;
    w.FileName = path;
    w.Warning = false;
    if (importType == 4) {
        w.Nashville.NrChannels = "48";
        w.Nashville.SamplingRate = "30";
    } else if (importType == 6) {
        w.Manchester.NrChannels = "64";
        w.Manchester.SamplingRate = "1000";
    } else {
        // The header pass: values to the window and the memo, the count cut.
        const bool read = runCommand(ctx, [&] {
            // Ten header lines are short: the first MiB holds them, and a
            // large file is not read twice.
            FileSource src(path);
            std::string head(static_cast<size_t>(std::min<uint64_t>(src.size(), 1u << 20)), '\0');
            src.read(0, head.data(), head.size());
            w.Auckland = ReadAucklandHeader(head);
        });
        if (!read) {
            w.Panel = 0;
            return false;
        }
        AucklandHeader& h = w.Auckland;
        s.Memo1.push_back("NrHeaderlines=" + std::to_string(h.HeaderLines));
        s.Memo1.push_back("NrChannels=" + std::to_string(h.NrChannels));
        s.Memo1.push_back("NrSamples=" + std::to_string(h.NrSamples));
        s.Memo1.push_back("SamplingRate=" + GeneralFloat(h.SamplingRate));
        s.Memo1.push_back("AucklandCalibration=" + GeneralFloat(h.Calibration));
        s.Memo1.push_back("MatrixFileName=" + h.MatrixName);
        s.Memo1.push_back("Comments=" + h.Comments);
        h.NrSamples = cutToMaximum(ctx, h.NrSamples);
    }
    w.Shown = true;
    ctx.host.showOverlay(Overlay::Import, true);
    return true;
}

void ReadEleTextFile1Click(Ctx& ctx) {
    if (ctx.s.ImportF.Panel == 0) {
        ctx.host.beep();
        return;
    }
    ctx.s.ImportF.Shown = true;
    ctx.host.showOverlay(Overlay::Import, true);
}

namespace {
ImportResult okClick(Ctx& ctx, bool useJournal) {
    ImportResult result;
    if (ctx.s.ImportF.Panel == 0) return result;
    runCommand(ctx, [&] { result = okOfPanel(ctx, useJournal); });
    return result;
}
}  // namespace

ImportResult ImportOkClick(Ctx& ctx) { return okClick(ctx, true); }

void ImportCancelClick(Ctx& ctx) {
    ctx.s.ImportF.Shown = false;
    ctx.host.showOverlay(Overlay::Import, false);
    RedrawPanel(ctx, 1);
}

ImportResult ImportTextFile(Ctx& ctx, TextFormat format, const std::string& path, const ImportEdits& edits,
                            int32_t length) {
    if (format == TextFormat::NI) {
        ImportResult result;
        if (length < 0 || length > MaxSamples) {
            ctx.host.beep();
            return {ImportOutcome::Refused, 2};
        }
        runCommand(ctx, [&] {
            loadNI(ctx, path, length, false);
            result.outcome = ImportOutcome::Loaded;
        });
        return result;
    }
    if (!LoadImportFile(ctx, static_cast<int>(format), path)) return {};
    if (format == TextFormat::Nashville) ctx.s.ImportF.Nashville = edits;
    if (format == TextFormat::Manchester) ctx.s.ImportF.Manchester = edits;
    return okClick(ctx, false);
}

}  // namespace vk
