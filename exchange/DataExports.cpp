#include "exchange/DataExports.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "exchange/ExportFiles.h"
#include "layout/TraceLayout.h"
#include "session/Ask.h"
#include "session/Draw.h"
#include "session/ElectrogramWindow.h"
#include "session/RecordingFiles.h"
#include "session/SampleTime.h"
#include "session/TextFiles.h"
#include "waves/WaveDetection.h"

namespace vk {

namespace {

// The samples of electrode e at row `row`, or an empty field where there is
// no electrode or no sample.
std::string SampleField(const SessionState& s, int32_t e, int64_t row) {
    if (e < 1 || e > MaxChannels || row < 1 || row > RecordingRows(s)) return {};
    return std::to_string(s.Signals.at(static_cast<int>(row), e));
}

// The text of a fraction digit format: 1..4 give 3..0 decimals.
std::string DigitText(double value, int format, double divisor) {
    if (format >= 1 && format <= 4) return FixedText(value / divisor, 4 - format);
    return std::to_string(roundHalfEven(value));
}

std::string MatrixField(const SessionState& s, const MapCell& c) {
    const bool real = s.MapKind == AmplitudeMapKind || s.MapKind == SlopeMapKind || s.MapKind == VelocityMapKind;
    if (real) {
        const double v = s.MapKind == AmplitudeMapKind ? c.Amplitude : s.MapKind == SlopeMapKind ? c.Slope : c.Velocity;
        const int64_t rounded = roundHalfEven(v);
        if (rounded == Missing || rounded == Excluded) return "\t";
        return "\t" + DigitText(v, s.Prefs.ValueDigitFormat, 1.0);
    }
    if (c.Time == Missing || c.Time == Excluded) return "\t";
    if (s.Prefs.TimeDigitFormat >= 1 && s.Prefs.TimeDigitFormat <= 4)
        return "\t" + DigitText(c.Time, s.Prefs.TimeDigitFormat, 1000.0);
    return "\t" + std::to_string(c.Time);
}

void WriteExport(Ctx& ctx, const std::string& title, const std::string& proposed,
                 const std::function<std::vector<std::string>()>& lines) {
    if (auto path = AskExportPath(ctx, title, proposed)) runCommand(ctx, [&] { writeExportLines(ctx.s, *path, lines()); });
}

}  // namespace

std::vector<std::string> TwelveTraceLines(const SessionState& s) {
    std::vector<int32_t> electrodes;
    for (int k = 1; k <= 12; ++k) electrodes.push_back(ElectrodeOfRow(s, k));
    std::vector<std::string> lines;
    // The sample rows of the window, as the traces show them.
    const int64_t first = SampleOfTime(s, s.BeginTime), last = SampleOfTime(s, int64_t{s.BeginTime} + s.WindowTime);
    for (int64_t row = first + 1; row <= last; ++row) {
        std::string line;
        for (int32_t e : electrodes) line += SampleField(s, e, row) + "\t";
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> AnimationLines(const SessionState& s) {
    std::vector<std::string> lines{s.FileName, s.MatrixFileName, std::to_string(s.WindowTime)};
    const int64_t last = int64_t{s.BeginTime} + s.WindowTime;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Electrode < 1 || m.Electrode > 255 || m.Time < s.BeginTime || m.Time > last) continue;
        lines.push_back(std::to_string(m.Electrode) + "\t" + std::to_string(m.MarkType) + "\t" + std::to_string(m.Time));
    }
    return lines;
}

std::vector<std::string> SingleElectrogramLines(const SessionState& s) {
    const int32_t e = ElectrodeOfRow(s, 1);
    std::string times;
    for (int i = 1; i <= s.MarkCount && e != Missing; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Electrode == e && m.Time != Missing) times += std::to_string(m.Time) + "\t";
    }
    return {s.FileName, "Ele nr: " + (e == Missing ? std::string() : std::to_string(e)), times};
}

std::string MatrixTextBytes(const SessionState& s) {
    // The name, an empty line, then the rows.
    std::string text = s.FileName + "\r\n";
    for (int r = 1; r <= std::min(s.NrRows, MapGridSize); ++r) {
        text += "\r\n";
        for (int c = 1; c <= std::min(s.NrColumns, MapGridSize); ++c) text += MatrixField(s, s.MapBuf.at(c, r));
    }
    return text;
}

std::vector<std::string> AllMarksLines(const SessionState& s, int32_t electrode) {
    std::vector<int32_t> t;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Electrode == electrode && m.Time > 0 && m.MarkType > 0) t.push_back(m.Time);
    }
    std::sort(t.begin(), t.end());
    std::vector<std::string> lines{s.FileName, "Ele: " + std::to_string(electrode), ""};
    if (t.empty()) return lines;
    lines.push_back(std::to_string(t[0]));
    std::vector<double> f;
    for (size_t i = 1; i < t.size(); ++i) {
        const int64_t d = int64_t{t[i]} - t[i - 1];
        std::string line = std::to_string(t[i]) + "\t" + std::to_string(d) + "\t";
        if (d > 0) {
            f.push_back(60.0 / (static_cast<double>(d) / 1000.0));
            line += FixedText(f.back(), 2);
        }
        lines.push_back(std::move(line));
    }
    if (f.empty()) return lines;
    const MeanDeviation spread = MeanAndDeviation(f, false);
    lines.insert(lines.end(), {"", "Avg:\tStDev", FixedText(spread.mean, 2) + "\t" + FixedText(spread.deviation, 2)});
    return lines;
}

std::string TavrinBytes(const SessionState& s) {
    constexpr int Blocks = 10, Columns = 24, Samples = 4000;
    std::string text;
    text.reserve(static_cast<size_t>(Blocks) * Samples * Columns * 7);
    for (int b = 1; b <= Blocks; ++b) {
        int32_t electrodes[Columns];
        for (int j = 1; j <= Columns; ++j) electrodes[j - 1] = ElectrodeAt(s, j, b);
        for (int row = 1; row <= Samples; ++row) {
            for (int32_t e : electrodes) {
                text += SampleField(s, e, row);
                text += '\t';
            }
            text += "\r\n";
        }
        text += "END\r\n";
    }
    return text;
}

void InitializeDataGrid(SessionState& s) {
    s.DataPad.resize(300);
    for (auto& row : s.DataPad) row.resize(7);
    s.DataPad[0][0] = s.FileName;
}

void SaveEletotxt1Click(Ctx& ctx) {
    const ElectrogramWindow window(ctx.s);
    runCommand(ctx, [&] { writeExportLines(ctx.s, "Ele12Col.txt", TwelveTraceLines(ctx.s)); });
}

void savemarkstoanimation1Click(Ctx& ctx) {
    {
        const ElectrogramWindow window(ctx.s);
        WriteExport(ctx, "Save marks for an animation", "", [&] { return AnimationLines(ctx.s); });
    }
    UpdateDisplay(ctx);
}

void savesingleelemarks1Click(Ctx& ctx) {
    {
        const ElectrogramWindow window(ctx.s);
        WriteExport(ctx, "Save the marks of one electrogram", "", [&] { return SingleElectrogramLines(ctx.s); });
    }
    UpdateDisplay(ctx);
}

void savedatainmatrixtextfile1Click(Ctx& ctx) {
    // The recording's name with ".txt": the dialog never starts on the recording itself.
    if (auto path = AskExportPath(ctx, "Save the map as a matrix", WithExtension(RecordingPath(ctx.s), ".txt")))
        runCommand(ctx, [&] { writeExportBytes(ctx.s, *path, MatrixTextBytes(ctx.s)); });
    UpdateDisplay(ctx);
}

void SaveTavrinFile1Click(Ctx& ctx) {
    runCommand(ctx, [&] { writeExportBytes(ctx.s, "Tavrin1.txt", TavrinBytes(ctx.s)); });
}

void showDatapad1Click(Ctx& ctx) {
    InitializeDataGrid(ctx.s);
    ctx.s.DataPadRequested = true;
    ctx.host.displayUpdated();
}

void WhichElectrodeOkClick(Ctx& ctx, const std::string& typed) {
    runCommand(ctx, [&] {
        ctx.s.WhichElectrode = ParseTypedInteger(typed);
        if (AllMarksElectrodeAccepted(ctx.s.WhichElectrode))
            WriteExport(ctx, "Save all marks of one electrogram", "",
                        [&] { return AllMarksLines(ctx.s, ctx.s.WhichElectrode); });
    });
    UpdateDisplay(ctx);
}

}  // namespace vk
