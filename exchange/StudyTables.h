// Tidy tables of an opened recording, for Python, R and spreadsheets: one
// table per kind of observation (marks, electrodes, waves, the recording
// itself), one row per observation, a header row, "." decimals with at most
// four of them, and an empty field where there is no value.
//
// The rows are worked out once per recording (measurements, waves and each
// wave's conduction velocities) and then written as CSV or as JSON; the
// study command of the command line writes them for many recordings, the
// window's File > Export > "Study Tables (CSV)..." for the open one.
#pragma once

#include <string>
#include <vector>

#include "session/Context.h"

namespace vk {

// One field of a row: the text written in CSV. An empty text is no value
// (null in JSON); `quoted` marks text that JSON writes as a string.
struct TableField {
    std::string text;
    bool quoted = false;
};
using TableRow = std::vector<TableField>;

// The columns of the four tables, in the order of their fields.
extern const std::vector<std::string> MarksColumns;
extern const std::vector<std::string> ElectrodesColumns;
extern const std::vector<std::string> WavesColumns;
extern const std::vector<std::string> RecordingsColumns;
inline constexpr const char* MarksTableName = "marks.csv";
inline constexpr const char* ElectrodesTableName = "electrodes.csv";
inline constexpr const char* WavesTableName = "waves.csv";
inline constexpr const char* RecordingsTableName = "recordings.csv";

// How the marks are grouped: the mark type of the waves, the electrodes'
// counts and intervals, and its wave difference (ms; 0 keeps the session's).
struct StudyOptions {
    int markType = 1;
    int waveDifference = 0;
};

// The rows of one recording. `recording` holds exactly one row.
struct StudyRows {
    std::vector<TableRow> recording, electrodes, waves, marks;
};

// Why the session gives no tables ("no electrode matrix: ..."), or empty.
std::string StudyRefusal(const SessionState& s);

// Measures the slow waves and groups the marks into waves as the waves
// command does; what the mark and wave rows read. Replaces the session's
// measurements and wave tables.
void AnalyseMarks(Ctx& ctx, const StudyOptions& o);

// The rows of each table for the session after AnalyseMarks, `recording`
// standing in their first field (the path as the user gave it).
std::vector<TableRow> MarkRows(const SessionState& s, const std::string& recording, int markType);
std::vector<TableRow> ElectrodeRows(const SessionState& s, const std::string& recording, int markType);
// Works out each wave's velocities on its own time map (block size 1, no
// speed limit), which replaces the map buffer and the velocities.
std::vector<TableRow> WaveRows(SessionState& s, const std::string& recording);

// Everything of one opened recording: AnalyseMarks and all rows. The
// recording row's elapsed_ms is left empty for the caller. The session's
// map buffer, velocities, measurements and wave tables are put back as they
// were, so the window's views do not change.
StudyRows ComputeStudyRows(Ctx& ctx, const std::string& recording, const StudyOptions& o);
// The recording row of one that could not be analysed: its status is the
// error, every other field empty.
StudyRows FailedStudyRows(const std::string& recording, const std::string& error);
// Fills in the elapsed_ms field of the recording row.
void SetElapsed(StudyRows& rows, long long milliseconds);

// The peak (cycles per minute, 0.5..60) of the mean Welch spectrum of the
// channels of the electrodes that carry marks of `markType`; NaN when none.
double DominantCpm(const SessionState& s, int markType);

// A number with at most four decimals ("12.5", "-3", "0.0417").
std::string TableNumber(double v, int decimals = 4);
// The median of the values (NaN for none); the mean of the middle two for
// an even count.
double Median(std::vector<double> values);
// The circular mean of angles in degrees, 0..360; NaN when they cancel out.
double CircularMeanDegrees(const std::vector<double>& degrees);

// CSV: the header and row lines, each ended by LF; fields that hold a comma,
// a quote or a line end are quoted.
std::string CsvHeader(const std::vector<std::string>& columns);
std::string CsvLine(const TableRow& row);
// JSON: one object for a row (names from `columns`, the first `skip`
// columns left out) and the list of rows.
std::string JsonObject(const std::vector<std::string>& columns, const TableRow& row, size_t skip = 0);
std::string JsonRows(const std::vector<std::string>& columns, const std::vector<TableRow>& rows, size_t skip = 0);
std::string JsonString(const std::string& text);
// One recording of study.json on one line: the recording fields (the two
// counts as mark_count and wave_count), then the lists of its rows.
std::string JsonRecording(const StudyRows& rows);

// The four CSV tables of one recording, each with its header, into `folder`
// (each file replaced only once it is completely written). Throws IoError.
void WriteStudyCsv(const StudyRows& rows, const std::string& folder);

// File > Export > "Study Tables (CSV)...": the four tables of the open
// recording into a folder the user chooses.
void StudyTables1Click(Ctx& ctx);

}  // namespace vk
