// The settings a recording keeps beside it: "REC.vk.json" next to the file
// REC, a JSON object with "SamplingFrequency" (whole Hz) and, when one was
// chosen for this recording, "MatrixFile" (a relative path is taken from
// the recording's folder).
//
// A binary electrogram file does not record its sampling rate and a text
// recording carries no matrix; without this file every open would need them
// again. Every open (the window's and the command line's, electrogram files
// and text imports alike) reads the file before the recording replaces the
// open one and applies it afterwards: the matrix first, then the rate, as
// General > "Sampling Frequency" sets it. A file that cannot be used is
// reported in one line and left as it is; the open goes on without it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "input/Matrix.h"
#include "session/Context.h"

namespace vk {

inline constexpr int32_t MaxSettingsRate = 100000;

// "dir/demo.E01" -> "dir/demo.E01.vk.json".
std::string SettingsFileFor(const std::string& recording);

struct RecordingSettings {
    int32_t rate = 0;    // SamplingFrequency, 1..MaxSettingsRate
    std::string matrix;  // MatrixFile as written, "" when none was chosen
};

// Parses the text of a settings file. Throws ConversionError saying what is
// wrong: not a JSON object, no whole SamplingFrequency in 1..100000, a
// MatrixFile that is not a text. Other members are passed over.
RecordingSettings ParseRecordingSettings(std::string_view text);
// The text written: the two members, one a line.
std::string RecordingSettingsText(const RecordingSettings& settings);

// Where a MatrixFile names: relative paths from the recording's folder.
std::string SettingsMatrixPath(const std::string& recording, const std::string& matrix);
// A matrix given relative to the working folder, as the settings file of
// `recording` stores it: relative to the recording's folder (absolute stays
// absolute).
std::string MatrixForSettings(const std::string& recording, const std::string& matrix);

// What an open found beside the recording, read before anything changes.
struct SettingsFound {
    std::string path;      // the settings file when it exists, else ""
    std::optional<int32_t> rate;
    std::optional<MatrixData> matrix;
    std::string matrixPath;
    std::string warning;   // one line naming the file when (part of) it could not be used
};
// Never throws: a file that cannot be used becomes the warning. With
// `readMatrix` false a MatrixFile is passed over (the caller's matrix stands).
SettingsFound FindRecordingSettings(const std::string& recording, bool readMatrix = true);

// Once the recording is the session's: the warning, the matrix, the rate.
void ApplyRecordingSettings(Ctx& ctx, const SettingsFound& found);

// What General > "Sampling Frequency" does to the recording's length and window.
void SetRecordingRate(SessionState& s, int32_t hz);

// The settings of `recording` for a change: those in its file, or none when
// there is no file. Throws IoError when the file exists but cannot be used,
// so that a change never replaces what it holds by accident.
RecordingSettings SettingsForChange(const std::string& recording);
// Writes the settings file of `recording` atomically. Throws IoError.
void WriteRecordingSettings(const std::string& recording, const RecordingSettings& settings);

// The window's General > "Sampling Frequency" and "Change New matrix file"
// with a recording open: the new value goes into its settings file (the
// other value kept); a failure is a warning, the change itself stays.
void RememberRecordingRate(Ctx& ctx, int32_t hz);
void RememberRecordingMatrix(Ctx& ctx, const std::string& matrix);

}  // namespace vk
