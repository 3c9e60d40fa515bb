// A synthetic recording for trying the program and for end-to-end tests:
// slow waves that cross a 16 x 8 electrode array at a known speed and
// direction, with noise, plus the true activation time of every wave at
// every electrode. The output is the same for every run.
#pragma once

#include <string>

namespace vk {

struct DemoFiles {
    std::string matrix;     // new-format matrix file
    std::string recording;  // electrogram file (.E01)
    std::string truth;      // true activation times
};

// Writes the three files into folder (created when missing); throws IoError.
DemoFiles WriteDemoRecording(const std::string& folder);

// The true activation time (ms, unsmoothed signal row) of wave w (1-based)
// at the electrode in grid column k and row r of the demo matrix.
double DemoActivationTime(int wave, int column, int row);

inline constexpr int DemoColumns = 16;
inline constexpr int DemoRows = 8;
inline constexpr int DemoFirstElectrode = 17;
inline constexpr int DemoChannels = 144;
inline constexpr int DemoFrames = 60000;
inline constexpr int DemoWaves = 3;

}  // namespace vk
