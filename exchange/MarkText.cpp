#include "exchange/MarkText.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "exchange/ExportFiles.h"
#include "marks/MarkStore.h"
#include "marks/Measures.h"
#include "session/Ask.h"
#include "session/Draw.h"
#include "session/Errors.h"
#include "session/RecordingFiles.h"
#include "session/TextFiles.h"

namespace vk {

namespace {

constexpr const char* ColumnNames[] = {"Ele ", "Activation Time", "code", "ampl", "slope", "wave nr"};
constexpr int HeaderLines = 27;  // what line 1 says: the header after it, less the column lines
constexpr size_t MaxMarkTextBytes = 64u << 20;

bool Written(const MarkRecord& m) { return m.Time > 0 && m.MarkType >= Reference; }

// The amplitude and slope columns. A mark that was never measured has no
// values; it gets zeros so that every column stays a number.
std::pair<std::string, std::string> MeasureFields(const SessionState& s, int slot) {
    if (static_cast<size_t>(slot) >= s.MarkMeasures.size()) return {"0.00", "0.00"};
    const MeasureRecord& m = s.MarkMeasures[static_cast<size_t>(slot)];
    if (m.MeasuredElectrode == Missing) return {"0.00", "0.00"};
    return {FixedText(MeasuredAmplitude(s, m), 2), FixedText(m.Slope, 2)};
}

}  // namespace

std::vector<std::string> MarkTextLines(const SessionState& s) {
    // Electrode by electrode, each electrode's marks in table order.
    std::vector<int> slots;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Electrode >= 1 && m.Electrode <= MaxChannels && Written(m)) slots.push_back(i);
    }
    std::stable_sort(slots.begin(), slots.end(), [&](int a, int b) {
        return s.MarkTable[static_cast<size_t>(a)].Electrode < s.MarkTable[static_cast<size_t>(b)].Electrode;
    });
    std::vector<std::string> body;
    for (int i : slots) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        const auto [ampl, slope] = MeasureFields(s, i);
        body.push_back(std::to_string(m.Electrode) + "\t" + std::to_string(m.Time) + ".00\t" +
                       std::to_string(m.MarkType) + "\t" + ampl + "\t" + slope + "\t" + std::to_string(m.MarkNr));
    }
    std::vector<std::string> lines{std::to_string(HeaderLines), s.MatrixFileName, std::to_string(s.SamplingFrequency),
                                   std::to_string(body.size()), "6", "IRIRRI"};
    std::string titles;
    for (const char* name : ColumnNames) {
        lines.emplace_back(name);
        titles += std::string(name) + "\t";
    }
    lines.resize(lines.size() + 16);
    lines.push_back(titles);
    lines.insert(lines.end(), body.begin(), body.end());
    return lines;
}

MarkTextRead ReadMarkText(SessionState& s, std::string_view text, const std::string& path) {
    TextScanner in(text, path);
    const int32_t h = in.readInt();
    in.skipLine();
    const std::string matrix = in.readLine();
    const int32_t rate = in.readInt();
    in.skipLine();
    MarkTextRead result;
    result.announced = in.readInt();
    in.skipLine();
    const int32_t columns = in.readInt();
    in.skipLine();
    // A rate of 0 would divide every time conversion by zero: refuse the
    // file before anything changes.
    if (rate < 1) throw IoError(path, "the sampling frequency " + std::to_string(rate) + " is not 1 or more");
    s.MatrixFileName = matrix;
    s.SamplingFrequency = rate;
    in.skipLine();  // the column types
    for (int32_t k = 0; k < columns && !in.atEnd(); ++k) in.skipLine();
    for (int32_t k = 0; k < h - 10 && !in.atEnd(); ++k) in.skipLine();
    for (int32_t n = 0; n < result.announced && !in.noTokensLeft() && s.MarkCount < MaxMarks; ++n) {
        const int32_t electrode = in.readInt();
        const double time = in.readReal();
        const int32_t code = in.readInt();
        in.skipToken();  // amplitude and slope are measured again, not taken from the file
        in.skipToken();
        const int32_t markNr = in.readInt();
        in.skipLine();
        if (std::fabs(time) > std::numeric_limits<int32_t>::max())
            throw ConversionError("'" + std::to_string(time) + "' is not a valid time");
        if (code < std::numeric_limits<int16_t>::min() || code > std::numeric_limits<int16_t>::max())
            throw ConversionError("'" + std::to_string(code) + "' is not a valid mark type");
        s.CurrentElectrode = electrode;
        AddMarkRecord(s, static_cast<int32_t>(roundHalfEven(time)), static_cast<int16_t>(code),
                      static_cast<int16_t>(static_cast<uint16_t>(markNr)));
        ++result.read;
    }
    return result;
}

MarkTextRead ImportMarkText(SessionState& s, const std::string& path) {
    return ReadMarkText(s, readWholeFile(path, MaxMarkTextBytes), path);
}

void SaveMarkstotxt1Click(Ctx& ctx) {
    if (auto path = AskExportPath(ctx, "Save marks as text", ""))
        runCommand(ctx, [&] { writeExportLines(ctx.s, *path, MarkTextLines(ctx.s)); });
    UpdateDisplay(ctx);
}

void Readmarksfromtxt1Click(Ctx& ctx) {
    auto choice = ctx.host.openFile("Read marks from text", {{"Text files", "*.txt *.TXT"}, {"All files", "*"}}, 1, "");
    if (choice) {
        runCommand(ctx, [&] {
            const MarkTextRead r = ImportMarkText(ctx.s, choice->path);
            if (r.read < r.announced)
                ctx.host.information(choice->path + " announces " + std::to_string(r.announced) + " marks but holds " +
                                     std::to_string(r.read) + "; the marks found were added.");
        });
    }
    UpdateDisplay(ctx);
}

}  // namespace vk
