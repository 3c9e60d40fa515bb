// A synthetic recording for trying the program and for end-to-end tests:
// slow waves that cross a 16 x 8 electrode array at a known speed and
// direction, with noise, plus the true activation time of every wave at
// every electrode. The output is the same for every run.
#pragma once

#include <cstdint>
#include <string>

namespace vk {

struct DemoFiles {
    std::string matrix;     // new-format matrix file
    std::string recording;  // electrogram file (.E01)
    std::string truth;      // true activation times
};

// Writes the three files into folder (created when missing), the recording
// sampled at `rate` Hz; throws IoError. The demo lasts a minute, or the
// 60,000 frames it is given at most when a minute does not fit into them,
// and its three waves lie a third of that apart (20 s up to 1000 Hz).
// Reading it takes the same rate (Sampling Frequency) to put its samples
// at their times.
DemoFiles WriteDemoRecording(const std::string& folder, int rate = 1000);

// The demo with the troubles of real recordings added, for measuring a
// detector: at noise level 1 (mild) to 3 (hard) a baseline wander, mains
// hum at 50 Hz, broadband and pink noise, brief motion artefacts, a wave
// that starts at another corner of the array and one that stops half-way
// (conduction block). Level 0 is the plain demo above, whatever the seed;
// the seed varies the noise and the artefacts. The truth file lists only
// the activations that happen.
DemoFiles WriteDemoRecording(const std::string& folder, int rate, int noise, uint32_t seed);
inline constexpr int DemoMaxNoise = 3;

// The true activation time (ms) of wave w at column k, row r of the demo
// with this noise level, or a negative value where the wave does not pass.
double DemoActivationTimeWithNoise(int wave, int column, int row, int rate, int noise);

// Frames of the demo at a rate, and the time between its waves (ms).
int DemoFramesAt(int rate);
double DemoPeriod(int rate);

// The true activation time (ms of the unsmoothed signal) of wave w (1-based)
// at the electrode in grid column k and row r of the demo matrix.
double DemoActivationTime(int wave, int column, int row, int rate = 1000);

inline constexpr int DemoColumns = 16;
inline constexpr int DemoRows = 8;
inline constexpr int DemoFirstElectrode = 17;
inline constexpr int DemoChannels = 144;
inline constexpr int DemoFrames = 60000;  // at 1000 Hz and above
inline constexpr int DemoWaves = 3;

}  // namespace vk
