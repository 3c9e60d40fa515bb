#include "exchange/StudyTables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <numbers>

#include "electrograms/Welch.h"
#include "input/ElgFile.h"
#include "maps/Velocity.h"
#include "marks/Measures.h"
#include "session/Ask.h"
#include "session/Draw.h"
#include "session/Restore.h"
#include "session/SampleTime.h"
#include "session/TextFiles.h"
#include "waves/WaveDetection.h"

namespace vk {

const std::vector<std::string> MarksColumns = {"recording", "electrode", "column", "row", "time_ms", "type",
                                               "origin", "mark_nr", "wave", "amplitude_mv", "slope", "interval_ms"};
const std::vector<std::string> ElectrodesColumns = {"recording",      "electrode",      "column",
                                                    "row",            "marks",          "interval_mean_ms",
                                                    "interval_sd_ms", "frequency_cpm",  "amplitude_mean_mv"};
const std::vector<std::string> WavesColumns = {"recording",         "wave",            "electrodes",
                                               "first_ms",          "last_ms",         "duration_ms",
                                               "speed_median_cm_s", "speed_mean_cm_s", "direction_deg",
                                               "arrows"};
const std::vector<std::string> RecordingsColumns = {
    "recording", "status",        "channels",          "rate_hz",      "duration_s", "marks",
    "waves",     "frequency_cpm", "speed_median_cm_s", "dominant_cpm", "elapsed_ms"};

namespace {

constexpr double NoValue = std::numeric_limits<double>::quiet_NaN();

TableField text(const std::string& t) { return {t, true}; }
TableField whole(long long v) { return {std::to_string(v)}; }
TableField real(double v, int decimals = 4) { return {std::isnan(v) ? std::string() : TableNumber(v, decimals)}; }
TableField none() { return {}; }

// A mark that the tables count: not a deleted slot, not a reference.
bool counted(const MarkRecord& m) {
    return m.MarkType != DeletedType && m.MarkType != 0 && m.MarkType != Reference && m.Time != Missing;
}
bool placed(const SessionState& s, int e) {
    return e >= 1 && e <= MaxChannels && s.ElectrodeCol[static_cast<size_t>(e)] >= 1;
}
TableField columnOf(const SessionState& s, int e) {
    return placed(s, e) ? whole(s.ElectrodeCol[static_cast<size_t>(e)]) : none();
}
TableField rowOf(const SessionState& s, int e) {
    return placed(s, e) ? whole(s.ElectrodeRow[static_cast<size_t>(e)]) : none();
}

// The sorted times of the counted marks of one type on each electrode.
std::vector<std::vector<int32_t>> timesByElectrode(const SessionState& s, int type) {
    std::vector<std::vector<int32_t>> times(MaxChannels + 1);
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (counted(m) && m.MarkType == type && m.Electrode >= 1 && m.Electrode <= MaxChannels)
            times[m.Electrode].push_back(m.Time);
    }
    for (auto& t : times) std::sort(t.begin(), t.end());
    return times;
}

double mean(const std::vector<double>& v) {
    if (v.empty()) return NoValue;
    double sum = 0;
    for (double x : v) sum += x;
    return sum / static_cast<double>(v.size());
}

// The sample standard deviation (n - 1); NaN below two values.
double sampleSd(const std::vector<double>& v) {
    if (v.size() < 2) return NoValue;
    const double m = mean(v);
    double sum = 0;
    for (double x : v) sum += (x - m) * (x - m);
    return std::sqrt(sum / static_cast<double>(v.size() - 1));
}

}  // namespace

std::string TableNumber(double v, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    std::string t = buffer;
    if (t.find('.') != std::string::npos) {
        while (t.back() == '0') t.pop_back();
        if (t.back() == '.') t.pop_back();
    }
    return t == "-0" ? "0" : t;
}

double Median(std::vector<double> values) {
    if (values.empty()) return NoValue;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double CircularMeanDegrees(const std::vector<double>& degrees) {
    double c = 0, s = 0;
    for (double d : degrees) {
        c += std::cos(d * std::numbers::pi / 180);
        s += std::sin(d * std::numbers::pi / 180);
    }
    // Angles that cancel out (or none at all) have no mean direction.
    if (std::hypot(c, s) < 1e-9 * std::max<size_t>(1, degrees.size())) return NoValue;
    double a = std::atan2(s, c) * 180 / std::numbers::pi;
    if (a < 0) a += 360;
    return a;
}

std::string StudyRefusal(const SessionState& s) {
    if (s.NrColumns < 1 || s.NrRows < 1) return "no electrode matrix: give --matrix FILE";
    return {};
}

void AnalyseMarks(Ctx& ctx, const StudyOptions& o) {
    SessionState& s = ctx.s;
    MeasureAllMarks(s);
    if (o.waveDifference > 0) s.WaveDifference[static_cast<size_t>(o.markType)] = o.waveDifference;
    if (StudyRefusal(s).empty()) {
        CalculateWaves(ctx, o.markType);
    } else {
        s.WaveCount = 0;
    }
}

std::vector<TableRow> MarkRows(const SessionState& s, const std::string& recording, int markType) {
    // Which wave took each mark: wave w holds a time per electrode, and of
    // marks with equal times the first in store order was taken first.
    std::vector<std::multimap<int32_t, int>> waveOf(MaxChannels + 1);
    for (int e = 1; e <= MaxChannels; ++e)
        for (int w = 1; w <= s.WaveCount; ++w)
            if (const int32_t t = WaveTimeAt(s, e, w); t != Missing) waveOf[static_cast<size_t>(e)].emplace(t, w);
    std::array<std::vector<std::vector<int32_t>>, 4> times;
    for (int type = 1; type <= 3; ++type) times[static_cast<size_t>(type)] = timesByElectrode(s, type);

    std::vector<TableRow> rows;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (!counted(m)) continue;
        const int e = m.Electrode;
        const bool known = e >= 1 && e <= MaxChannels;
        TableField wave = none();
        if (known && m.MarkType == markType && m.Time >= s.RefTime) {
            auto& taken = waveOf[static_cast<size_t>(e)];
            if (auto it = taken.find(m.Time - s.RefTime); it != taken.end()) {
                wave = whole(it->second);
                taken.erase(it);
            }
        }
        TableField interval = none();
        if (known && m.MarkType >= 1 && m.MarkType <= 3) {
            const auto& t = times[static_cast<size_t>(m.MarkType)][static_cast<size_t>(e)];
            if (auto next = std::upper_bound(t.begin(), t.end(), m.Time); next != t.end()) interval = whole(*next - m.Time);
        }
        const MeasureRecord& measure = s.MarkMeasures[static_cast<size_t>(i)];
        const bool measured = measure.MeasuredElectrode != Missing;
        rows.push_back({text(recording), whole(e), columnOf(s, e), rowOf(s, e), whole(m.Time), whole(m.MarkType),
                        whole(m.Origin), whole(m.MarkNr), wave,
                        measured ? real(MeasuredAmplitude(s, measure)) : none(),
                        measured ? real(measure.Slope) : none(), interval});
    }
    return rows;
}

std::vector<TableRow> ElectrodeRows(const SessionState& s, const std::string& recording, int markType) {
    const auto times = timesByElectrode(s, markType);
    std::vector<std::vector<double>> amplitudes(MaxChannels + 1);
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        const MeasureRecord& measure = s.MarkMeasures[static_cast<size_t>(i)];
        if (counted(m) && m.MarkType == markType && measure.MeasuredElectrode != Missing && placed(s, m.Electrode))
            amplitudes[m.Electrode].push_back(MeasuredAmplitude(s, measure));
    }
    std::vector<TableRow> rows;
    for (int e = 1; e <= MaxChannels; ++e) {
        if (!placed(s, e)) continue;
        const auto& t = times[static_cast<size_t>(e)];
        std::vector<double> intervals;
        for (size_t k = 1; k < t.size(); ++k) intervals.push_back(t[k] - t[k - 1]);
        const double m = mean(intervals);
        rows.push_back({text(recording), whole(e), columnOf(s, e), rowOf(s, e), whole(static_cast<long long>(t.size())),
                        real(m), real(sampleSd(intervals)), m > 0 ? real(60000 / m) : none(),
                        real(mean(amplitudes[static_cast<size_t>(e)]))});
    }
    return rows;
}

std::vector<TableRow> WaveRows(SessionState& s, const std::string& recording) {
    std::vector<TableRow> rows;
    const int columns = std::min(s.NrColumns, MapGridSize), matrixRows = std::min(s.NrRows, MapGridSize);
    for (int w = 1; w <= s.WaveCount; ++w) {
        int electrodes = 0;
        int32_t first = INT32_MAX, last = INT32_MIN;
        for (int e = 1; e <= MaxChannels; ++e)
            if (const int32_t t = WaveTimeAt(s, e, w); t != Missing) {
                ++electrodes;
                first = std::min(first, t);
                last = std::max(last, t);
            }
        // The wave's own time map: each electrode's cell holds its time in the wave.
        s.MapBuf.fill(MapCell{});
        for (int c = 1; c <= columns; ++c)
            for (int r = 1; r <= matrixRows; ++r)
                if (const int32_t e = ElectrodeAt(s, c, r); e != Missing) s.MapBuf.at(c, r).Time = WaveTimeAt(s, e, w);
        CalcVelocities(s);
        std::vector<double> speeds, angles;
        for (int c = 1; c <= columns; ++c)
            for (int r = 1; r <= matrixRows; ++r)
                if (const VelocityRec& v = s.VelocityBuf.at(c, r); v.Speed != Missing) {
                    speeds.push_back(v.Speed);
                    angles.push_back(v.Angle);
                }
        const bool any = electrodes > 0;
        rows.push_back({text(recording), whole(w), whole(electrodes), any ? whole(first + s.RefTime) : none(),
                        any ? whole(last + s.RefTime) : none(), any ? whole(last - first) : none(), real(Median(speeds)),
                        real(mean(speeds)), real(CircularMeanDegrees(angles), 2),
                        whole(static_cast<long long>(speeds.size()))});
        // 359.999 rounds to a full turn, which is 0.
        if (rows.back()[8].text == "360") rows.back()[8].text = "0";
    }
    return rows;
}

double DominantCpm(const SessionState& s, int markType) {
    const auto times = timesByElectrode(s, markType);
    const int32_t rows = RecordingRows(s);
    if (rows < 2 || s.SamplingFrequency < 1) return NoValue;
    const size_t n = static_cast<size_t>(rows);
    const size_t segment = std::min<size_t>(static_cast<size_t>(60) * s.SamplingFrequency, n);
    std::vector<int> channels;
    for (int e = 1; e <= MaxChannels; ++e)
        if (!times[static_cast<size_t>(e)].empty()) channels.push_back(e);
    if (channels.empty()) return NoValue;
    // The signal buffer holds one row of all channels after the other, so
    // the channels are copied out a few at a time in one pass over the rows.
    constexpr size_t Block = 16;
    std::vector<double> x(Block * n);
    Spectrum sum;
    for (size_t first = 0; first < channels.size(); first += Block) {
        const size_t count = std::min(Block, channels.size() - first);
        for (int32_t r = 1; r <= rows; ++r)
            for (size_t k = 0; k < count; ++k)
                x[k * n + static_cast<size_t>(r - 1)] = s.Signals.at(r, channels[first + k]);
        for (size_t k = 0; k < count; ++k) {
            const Spectrum one = WelchSpectrum(x.data() + k * n, n, s.SamplingFrequency, segment);
            if (sum.power.empty()) sum = one;
            else
                for (size_t b = 0; b < sum.power.size(); ++b) sum.power[b] += one.power[b];
        }
    }
    for (double& p : sum.power) p /= static_cast<double>(channels.size());
    return PeakFrequency(sum, 0.5 / 60, 60.0 / 60) * 60;
}

StudyRows ComputeStudyRows(Ctx& ctx, const std::string& recording, const StudyOptions& o) {
    SessionState& s = ctx.s;
    // What the tables replace in the session is put back when they are
    // done; the velocities are those of single electrodes, without a limit.
    const Restore keep(s.MapBuf, s.VelocityBuf, s.MarkMeasures, s.WaveTimes, s.FreeTimes, s.WaveCount, s.WavesOutdated,
                       s.Prefs, s.WaveDifference);
    s.Prefs.VelocityStep = 1;
    s.Prefs.LimitVelocity = false;
    AnalyseMarks(ctx, o);
    StudyRows out;
    out.marks = MarkRows(s, recording, o.markType);
    out.electrodes = ElectrodeRows(s, recording, o.markType);
    out.waves = WaveRows(s, recording);
    std::vector<double> cpm, speed;
    for (const TableRow& r : out.electrodes)
        if (!r[7].text.empty()) cpm.push_back(std::stod(r[7].text));
    for (const TableRow& r : out.waves)
        if (!r[6].text.empty()) speed.push_back(std::stod(r[6].text));
    long long marks = 0;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (counted(m) && m.MarkType == o.markType) ++marks;
    }
    out.recording.push_back({text(recording), text("ok"), whole(RecordingChannels(s)), whole(s.SamplingFrequency),
                             real(s.SignalLength / 1000.0), whole(marks), whole(s.WaveCount), real(Median(cpm)),
                             real(Median(speed)), real(DominantCpm(s, o.markType)), none()});
    return out;
}

StudyRows FailedStudyRows(const std::string& recording, const std::string& error) {
    StudyRows out;
    TableRow row(RecordingsColumns.size());
    row[0] = text(recording);
    row[1] = text(error);
    out.recording.push_back(row);
    return out;
}

void SetElapsed(StudyRows& rows, long long milliseconds) { rows.recording.at(0).back() = whole(milliseconds); }

std::string CsvHeader(const std::vector<std::string>& columns) {
    std::string line;
    for (const std::string& c : columns) line += (line.empty() ? "" : ",") + c;
    return line + "\n";
}

std::string CsvLine(const TableRow& row) {
    std::string line;
    for (size_t i = 0; i < row.size(); ++i) {
        if (i) line += ",";
        const std::string& t = row[i].text;
        if (t.find_first_of(",\"\r\n") == std::string::npos) {
            line += t;
            continue;
        }
        line += "\"";
        for (char ch : t) line += ch == '"' ? std::string("\"\"") : std::string(1, ch);
        line += "\"";
    }
    return line + "\n";
}

std::string JsonString(const std::string& t) {
    std::string out = "\"";
    for (unsigned char ch : t) {
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += static_cast<char>(ch);
        } else if (ch < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", ch);
            out += code;
        } else {
            out += static_cast<char>(ch);
        }
    }
    return out + "\"";
}

std::string JsonObject(const std::vector<std::string>& columns, const TableRow& row, size_t skip) {
    std::string out = "{";
    for (size_t i = skip; i < columns.size() && i < row.size(); ++i) {
        if (i > skip) out += ",";
        const TableField& f = row[i];
        out += JsonString(columns[i]) + ":" + (f.text.empty() ? "null" : f.quoted ? JsonString(f.text) : f.text);
    }
    return out + "}";
}

std::string JsonRows(const std::vector<std::string>& columns, const std::vector<TableRow>& rows, size_t skip) {
    std::string out = "[";
    for (size_t i = 0; i < rows.size(); ++i) out += (i ? "," : "") + JsonObject(columns, rows[i], skip);
    return out + "]";
}

std::string JsonRecording(const StudyRows& rows) {
    std::vector<std::string> names = RecordingsColumns;
    names[5] = "mark_count";
    names[6] = "wave_count";
    std::string out = JsonObject(names, rows.recording.at(0));
    out.pop_back();
    out += ",\"electrodes\":" + JsonRows(ElectrodesColumns, rows.electrodes, 1) +
           ",\"waves\":" + JsonRows(WavesColumns, rows.waves, 1) + ",\"marks\":" + JsonRows(MarksColumns, rows.marks, 1) +
           "}";
    return out;
}

void WriteStudyCsv(const StudyRows& rows, const std::string& folder) {
    auto table = [](const std::vector<std::string>& columns, const std::vector<TableRow>& lines) {
        std::string out = CsvHeader(columns);
        for (const TableRow& r : lines) out += CsvLine(r);
        return out;
    };
    const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    writeBytesAtomic(base + MarksTableName, table(MarksColumns, rows.marks));
    writeBytesAtomic(base + ElectrodesTableName, table(ElectrodesColumns, rows.electrodes));
    writeBytesAtomic(base + WavesTableName, table(WavesColumns, rows.waves));
    writeBytesAtomic(base + RecordingsTableName, table(RecordingsColumns, rows.recording));
}

void StudyTables1Click(Ctx& ctx) {
    SessionState& s = ctx.s;
    if (!s.FileLoaded) {
        ctx.host.beep();
        return;
    }
    if (const std::string why = StudyRefusal(s); !why.empty()) {
        ctx.host.warning("No study tables: " + why.substr(0, why.find(':')));
        return;
    }
    if (auto folder = ctx.host.chooseFolder("Study Tables (CSV): choose the folder")) {
        runCommand(ctx, [&] { WriteStudyCsv(ComputeStudyRows(ctx, s.FileName, {}), *folder); });
    }
    UpdateDisplay(ctx);
}

}  // namespace vk
