#include "exchange/MacExport.h"

#include <algorithm>

#include "exchange/ExportFiles.h"
#include "layout/TraceLayout.h"
#include "marks/MarkStore.h"
#include "session/Ask.h"
#include "session/Draw.h"
#include "session/ElectrogramWindow.h"
#include "session/Errors.h"
#include "session/RecordingFiles.h"
#include "session/SampleTime.h"
#include "session/TextFiles.h"

namespace vk {

namespace {

// The drawing program's page: 500 pixels with a margin of 10.
constexpr double PageExtent = 490.0;
constexpr int Margin = 10;

template <class... Ints>
std::string Joined(Ints... values) {
    std::string line;
    ((line += (line.empty() ? "" : " ") + std::to_string(values)), ...);
    return line;
}

int64_t Scaled(int64_t v, double f) { return roundHalfEven(static_cast<double>(v) * f) + Margin; }

bool Placed(const SessionState& s, int e) {
    const int c = s.ElectrodeCol[static_cast<size_t>(e)], r = s.ElectrodeRow[static_cast<size_t>(e)];
    return c >= 1 && c <= MapGridSize && r >= 1 && r <= MapGridSize;
}

}  // namespace

std::vector<DrawingBlock> CopyMapBlocks(const SessionState& s) {
    if (s.MapRight < 1 || s.MapBottom < 1) throw IoError("(map)", "there is no map to copy; show a map first");
    const double f = PageExtent / (s.MapBottom > s.MapRight ? s.MapBottom : s.MapRight);
    const int64_t w = roundHalfEven(s.MapRight * f) + Margin, h = roundHalfEven(s.MapBottom * f) + Margin;
    std::vector<DrawingBlock> blocks{{6,
                                      {Joined(Margin, Margin, w, Margin), Joined(w, Margin, w, h),
                                       Joined(w, h, Margin, h), Joined(Margin, h, Margin, Margin)}}};
    if (!s.ShowMapDigits) return blocks;
    DrawingBlock arrows{5, {}}, digits{1, {}};
    for (int e = 1; e <= MaxChannels; ++e) {
        if (!Placed(s, e)) continue;
        const int column = s.ElectrodeCol[static_cast<size_t>(e)], row = s.ElectrodeRow[static_cast<size_t>(e)];
        const int32_t time = s.MapBuf.at(column, row).Time;
        if (time == Missing || time == Excluded) continue;
        if (s.PlotArrows) {
            // The arrows drawn last: a block without one this time keeps its
            // old points in the buffer, but not its Speed.
            const VelocityRec& v = s.VelocityBuf.at(column, row);
            if (v.X1 != 0 && v.Speed != Missing)
                arrows.lines.push_back(Joined(v.X1, v.Y1, v.X2, v.Y2, v.HeadX1, v.HeadY1, v.HeadX2, v.HeadY2));
            continue;
        }
        const int64_t left = int64_t{column - 1} * s.CellWidth + s.MapLeft, right = left + s.CellWidth - 1;
        const int64_t top = int64_t{row - 1} * s.CellHeight + s.MapTop, bottom = top + s.CellHeight;
        const int64_t x = Scaled((left + right) / 2, f), y = Scaled((top + bottom) / 2, f);
        if (s.Prefs.TimeDigitFormat == 0) digits.lines.push_back(Joined(x, y, time));
        if (s.Prefs.TimeDigitFormat == 3) digits.lines.push_back(Joined(x, y, roundHalfEven(time / 100.0)));
    }
    // With arrows the cell block holds the arrows alone: the drawing
    // programs read one block of cells after the frame.
    blocks.push_back(std::move(s.PlotArrows ? arrows : digits));
    return blocks;
}

std::vector<DrawingBlock> CopySignalsBlocks(const SessionState& s) {
    // The sample rows of the window; at a rate other than 1000 Hz at most
    // 20000 of them, as the receiving program takes them.
    const int64_t first = SampleOfTime(s, s.BeginTime);
    const int64_t last = std::min<int64_t>(SampleOfTime(s, int64_t{s.BeginTime} + s.WindowTime),
                                           s.HighRateMode ? 20000 : RecordingRows(s));
    const int64_t lastRow = std::min<int64_t>(last + 1, RecordingRows(s));
    const int64_t end = int64_t{s.BeginTime} + s.WindowTime;
    std::vector<DrawingBlock> blocks;
    for (int k = 1; k <= s.NrTraces; ++k) {
        const int32_t e = ElectrodeOfRow(s, k);
        if (e == Missing) continue;
        DrawingBlock trace{2, {}};
        for (int64_t row = std::max<int64_t>(first + 2, 1); row <= lastRow; ++row)
            trace.lines.push_back(std::to_string(
                roundHalfEven(-static_cast<double>(s.Signals.at(static_cast<int>(row), e)) * s.Amplification * 20)));
        blocks.push_back(std::move(trace));
        DrawingBlock marks{4, {}};
        for (int i = 1; i <= s.MarkCount; ++i) {
            const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
            if (m.Electrode != e || IsDeleted(m) || m.Time < s.BeginTime || m.Time > end) continue;
            // x counts sample rows, as the trace values do.
            marks.lines.push_back(Joined(int64_t{SampleOfTime(s, m.Time)} - first + 1, 50, -50, int64_t{m.Time} - s.RefTime));
        }
        if (!marks.lines.empty()) blocks.push_back(std::move(marks));
    }
    return blocks;
}

std::vector<DrawingBlock> CopyEleMapBlocks(SessionState& s) {
    s.Memo1.push_back(" beginsig = " + std::to_string(s.BeginTime));
    s.Memo1.push_back(" windowsig = " + std::to_string(s.WindowTime));
    // The window in sample rows: the x scale spans it at every sampling rate.
    const int64_t begin = SampleOfTime(s, s.BeginTime), window = SampleOfTime(s, s.WindowTime);
    if (window < 1) throw IoError("(electrograms)", "the time window is empty");
    const double g = 100.0 / static_cast<double>(window);
    const int64_t rows = std::min<int64_t>(window + 1, RecordingRows(s) - begin);
    std::vector<DrawingBlock> blocks;
    for (int c = 1; c <= std::min(s.NrColumns, MapGridSize); ++c)
        for (int r = 1; r <= std::min(s.NrRows, MapGridSize); ++r) {
            int e = MaxChannels;
            while (e >= 1 && (s.ElectrodeCol[static_cast<size_t>(e)] != c || s.ElectrodeRow[static_cast<size_t>(e)] != r))
                --e;
            if (e < 1) continue;
            double mean = 0;
            for (int64_t i = 1; i <= rows; ++i) mean += s.Signals.at(static_cast<int>(begin + i), e);
            if (rows > 0) mean /= static_cast<double>(rows);
            DrawingBlock block{8, {Joined(e, c, r)}};
            for (int64_t i = 1; i <= rows; ++i) {
                const double v = s.Signals.at(static_cast<int>(begin + i), e) - mean;
                block.lines.push_back(Joined(roundHalfEven(static_cast<double>(i) * g * 100),
                                             roundHalfEven(-static_cast<double>(roundHalfEven(v * s.Amplification * 20)) * 100)));
            }
            blocks.push_back(std::move(block));
        }
    return blocks;
}

std::vector<std::string> DrawingFileLines(const std::vector<DrawingBlock>& blocks) {
    std::vector<std::string> lines{std::to_string(blocks.size())};
    for (const auto& b : blocks) {
        lines.push_back(Joined(b.kind, b.lines.size()));
        lines.insert(lines.end(), b.lines.begin(), b.lines.end());
    }
    return lines;
}

std::vector<std::string> RealBasicLines(const SessionState& s) {
    const int type = s.CurrentMarkType[s.ActiveDisplay == 2 ? 2 : 1];
    std::vector<std::string> lines;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Electrode == 4 && m.MarkType == Reference) lines.push_back("4 " + std::to_string(m.Time) + " ");
    }
    for (int e = 65; e <= 96; ++e) {
        std::string line = std::to_string(e - 64) + " ";
        for (int i = 1; i <= s.MarkCount; ++i) {
            const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
            if (m.Electrode == e && m.MarkType == type) line += std::to_string(m.Time) + " ";
        }
        lines.push_back(line + " ");
    }
    return lines;
}

std::vector<DrawingBlock> MacBlocks(SessionState& s, MacCopy what) {
    switch (what) {
        case MacCopy::Map: return CopyMapBlocks(s);
        case MacCopy::Electrograms: return CopySignalsBlocks(s);
        case MacCopy::EleMap: return CopyEleMapBlocks(s);
    }
    return {};
}

void MacOkClick(Ctx& ctx, MacCopy what) {
    if (auto path = AskExportPath(ctx, "Copy to Mac", ExportNameOf(ctx.s.FileName))) {
        // The traces copied are those shown, whichever panel was drawn last.
        const ElectrogramWindow window(ctx.s);
        runCommand(ctx, [&] { writeExportLines(ctx.s, *path, DrawingFileLines(MacBlocks(ctx.s, what))); });
    }
    UpdateDisplay(ctx);
}

void SavetoRealBasic1Click(Ctx& ctx) {
    if (auto path = AskExportPath(ctx, "Save marks for RealBasic", ExportNameOf(ctx.s.FileName)))
        runCommand(ctx, [&] { writeExportLines(ctx.s, *path, RealBasicLines(ctx.s)); });
    UpdateDisplay(ctx);
}

}  // namespace vk
