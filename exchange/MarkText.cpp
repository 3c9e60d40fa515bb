#include "exchange/MarkText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>

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
    // The marks held before the import, as electrode, type and time in one key.
    auto key = [](uint16_t electrode, int16_t type, int32_t time) {
        return uint64_t{electrode} << 48 | uint64_t{static_cast<uint16_t>(type)} << 32 | static_cast<uint32_t>(time);
    };
    std::unordered_set<uint64_t> held;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        held.insert(key(m.Electrode, m.MarkType, m.Time));
    }
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
        if (electrode < 1 || electrode > MaxChannels) {
            ++result.skipped;
            continue;
        }
        const auto rounded = static_cast<int32_t>(roundHalfEven(time));
        AddMarkRecord(s, rounded, static_cast<int16_t>(code), static_cast<int16_t>(static_cast<uint16_t>(markNr)));
        ++result.read;
        if (held.count(key(static_cast<uint16_t>(electrode), static_cast<int16_t>(code), rounded))) ++result.alreadyPresent;
    }
    return result;
}

std::string MarkTextReadMessage(const std::string& path, const MarkTextRead& r) {
    const int32_t found = r.read + r.skipped;
    if (r.alreadyPresent == 0 && r.skipped == 0 && found >= r.announced) return {};
    std::string text = std::to_string(r.read) + " marks added";
    if (r.alreadyPresent > 0) text += ", " + std::to_string(r.alreadyPresent) + " of them already present";
    text += ".";
    if (r.skipped > 0)
        text += "\n" + std::to_string(r.skipped) + " marks were skipped: their electrode is outside 1..256.";
    if (found < r.announced)
        text += "\n" + path + " announces " + std::to_string(r.announced) + " marks but holds " + std::to_string(found) + ".";
    return text;
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
            const std::string text = MarkTextReadMessage(choice->path, ImportMarkText(ctx.s, choice->path));
            if (!text.empty()) ctx.host.information(text);
        });
    }
    UpdateDisplay(ctx);
}

}  // namespace vk
