// The automatic slow-wave marker: a mark wherever an electrogram drops more
// than three noise deviations below its mean, then nothing on that electrode
// for the next 1000 samples.
//
// The noise deviation is taken over the rows of the first WindowTime ms of
// the recording, the mean from the row of BeginTime + 5 to the end; the
// menu command takes both from panel A. Marks already present are not
// looked at, so a second run adds the same marks again. The analysis view of panel A
// draws the same detections for one electrode.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "session/Context.h"
#include "session/SampleTime.h"

namespace vk {

inline constexpr int AutoMarkFirstElectrode = 17;
inline constexpr int AutoMarkLastElectrode = 256;
inline constexpr int32_t RefractorySamples = 1000;
// Detections per electrode at most: the first at sample 5, then one every
// 1001 samples up to the end of the buffer.
inline constexpr int MaxDetections = 1 + (MaxSamples - 5) / (RefractorySamples + 1);

// What the marker finds on one electrode.
struct Detections {
    double noiseSD = 0.0;   // deviation over the first window of the recording
    double mean = 0.0;      // mean from BeginTime + 5 to the end
    int64_t threshold = 0;  // round(3 x noiseSD), signal units
    // A sample qualifies when its value is below this bound: exactly the
    // samples with value - mean < -threshold. Nothing qualifies on an
    // electrode without noise.
    int64_t below = 0;
    int count = 0;
    std::array<int32_t, MaxDetections> samples{};  // sample rows, rising
};

// The rows the marker looks at: those of the current recording (RecordingRows).
int32_t AutoMarkLength(const SessionState& s);
// The deviation window: the rows WindowTime spans, or the whole recording
// when the window is longer.
int32_t NoiseWindow(const SessionState& s);

// Detections of electrodes first..last (1..256), into out[0 .. last-first],
// as sample rows (TimeOfSample gives their times). Reads each sample row once
// per pass, all electrodes together.
void DetectSlowWaves(const SessionState& s, int first, int last, Detections* out);

// The memo line of one electrode: "elesub=17 Stdev= 12.34".
std::string NoiseLine(const SessionState& s, int electrode, double noiseSD);
// The detections of one electrode; sets NoiseSD and appends the memo line.
Detections ExamineElectrode(SessionState& s, int electrode);

// The last electrode a run marks: 256, or the last channel of the
// recording when it has fewer (the channels above it hold no electrode).
int AutoMarkLastElectrodeOf(const SessionState& s);

// Marks electrodes 17..last over the whole recording; shows progress and
// writes one memo line per electrode. Returns the marks added.
int AutoMarkSlowWaves(Ctx& ctx);
inline constexpr const char* AutoMarkNoElectrodesText =
    "Automatic marking scans electrodes 17 to 256; this recording has none";
// Electrograms > "Automatic SW marking": the run above, then a redraw; a
// recording without electrode 17 gets the message above and no run.
void AutomaticSWmarking1Click(Ctx& ctx);

}  // namespace vk
