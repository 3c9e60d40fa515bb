// The activation detector: on each chosen channel, the moment of steepest
// downstroke (or upstroke) of every slow-wave deflection, found with
// physical parameters that adapt to the recording.
//
// Per channel, on the samples of the detection window as loaded in Signals:
//  1. The channel's median is removed and a 5-sample running median takes
//     out spikes of one or two samples (artefacts), leaving edges in place.
//  2. The dominant rhythm: the signal is band-limited to the rhythm range
//     (half its low end to twice its high end), its falling slope is
//     rectified and squared (the few steep downstrokes of the waves then
//     outweigh the many small slopes of noise), and the highest peak of
//     that train's Welch spectrum inside the range is the rhythm. A train
//     of sharp deflections and a smooth, almost sinusoidal wave both show
//     their rate as this peak.
//  3. Unless given, the band runs from half the rhythm to twenty times it
//     (at most twice the top of the rhythm range and 0.4 x the rate), and
//     the minimum interval is 0.7 of the rhythm's period.
//  4. The channel is band-passed forward and backward (no shift in time).
//     Its noise is the robust deviation (1.4826 x median absolute
//     deviation) of the band-passed signal, so that drift and offset do not
//     count; the threshold is K times that noise, in signal units.
//  5. Every local maximum of the falling slope whose deflection (the fall
//     from the highest point in the half period of the band's middle
//     before it to the lowest point as long after it) reaches the threshold
//     is a candidate. The steepest candidates are kept first, each keeping
//     the minimum interval clear around it; of those kept, deflections
//     smaller than half the channel's median deflection are dropped, so that
//     noise in a gap between waves is not taken for one.
//  6. Each activation lies at the slope's maximum, placed between samples by
//     a parabola through it and its neighbours.
// Everything is computed in doubles from the same input in the same order,
// so a run gives the same marks every time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "input/ElgFile.h"  // RecordingChannels: the channels a recording holds
#include "session/Context.h"

namespace vk {

inline constexpr double DefaultRhythmLowCpm = 0.5;
inline constexpr double DefaultRhythmHighCpm = 60.0;
inline constexpr double DefaultThresholdK = 0.5;

// All parameters of a run; what is left empty is resolved per channel.
struct DetectOptions {
    std::vector<int> channels;           // empty: every channel of the recording
    int32_t beginMs = 0;                 // the detection window
    std::optional<int32_t> windowMs;     // empty: to the end of the recording
    int markType = 1;                    // slow wave
    double rhythmLowCpm = DefaultRhythmLowCpm, rhythmHighCpm = DefaultRhythmHighCpm;
    std::optional<double> bandLowHz, bandHighHz;
    std::optional<double> minIntervalMs;
    double threshold = DefaultThresholdK;  // times the channel's noise
    bool positive = false;                 // polarity: steepest upstroke instead
    bool replace = false;                  // remove this type's automatic marks in the window first
};

// What one channel resolved to and found.
struct ChannelDetection {
    int channel = 0;
    bool rhythmFound = false;
    bool flat = false;              // no variation: nothing to detect
    double dominantCpm = 0;         // the rhythm, when found
    double bandLowHz = 0, bandHighHz = 0;
    double minIntervalMs = 0;
    double noise = 0;               // signal units
    double threshold = 0;           // signal units
    std::vector<double> positions;  // samples from the window's first row (0-based), rising
    int marksAdded = 0, marksRemoved = 0;
    // Whether detection ran: false for a flat channel and for one whose
    // rhythm was needed but not found.
    bool detected() const { return !flat && (rhythmFound || !needsRhythm); }
    bool needsRhythm = true;
};

struct DetectResult {
    int marksAdded = 0, marksRemoved = 0;
    std::vector<ChannelDetection> channels;
    bool cancelled = false;
};

// The detector on n samples of one channel at rateHz. Pure: reads x only.
ChannelDetection DetectChannel(const double* x, std::size_t n, double rateHz, const DetectOptions& options);

// The sampling rate the detector works at (1000 Hz unless HighRateMode),
// the rows of the detection window, and the channels a run covers.
double DetectRate(const SessionState& s);
struct DetectRows {
    int32_t first = 1, last = 0;
};
DetectRows DetectWindowRows(const SessionState& s, const DetectOptions& options);

// The detections of one channel of Signals over the window (no marks).
ChannelDetection DetectSignalChannel(const SessionState& s, int channel, const DetectOptions& options);

// The time (ms) of a detection of the window, rounded as every mark time.
int32_t DetectionTime(const SessionState& s, const DetectRows& rows, double position);

// Detects every chosen channel and adds its marks through the mark store
// (origin automatic, CurrentMarkNr), after removing the channel's automatic
// marks of the type inside the window when `replace` is set. Channels are
// detected on several threads, a few at a time; `progress` (when given) is
// called after each group with the channels done and the marks added so
// far, on the calling thread, and stops the run by returning false (the
// marks of the channels done stay).
DetectResult DetectActivations(SessionState& s, const DetectOptions& options);
DetectResult DetectActivations(SessionState& s, const DetectOptions& options,
                               const std::function<bool(int done, int total, int marks)>& progress);

// One run in the window as a single step that can be taken back: the mark
// table before and after it. The step is undone only while the table is
// still as the run left it; any later change ends it.
struct DetectionUndo {
    std::vector<MarkRecord> before, after;  // slots 1..MarkCount
    bool valid = false;
};
DetectionUndo SnapshotMarks(const SessionState& s);
void FinishUndo(const SessionState& s, DetectionUndo& undo);
bool CanUndoDetection(const SessionState& s, const DetectionUndo& undo);
// Puts the table back as it was before the run; false when that is no
// longer possible.
bool UndoDetection(SessionState& s, DetectionUndo& undo);

// A run in the window: DetectActivations as one step that `undo` can take
// back. When `progress` stops it, the marks, their flags, the current
// electrode and `undo` itself (the step before, still undoable then) are
// put back as they were, with a line in the memo; returns whether the run
// went to its end.
bool DetectAsOneStep(SessionState& s, const DetectOptions& options, DetectionUndo& undo,
                     const std::function<bool(int done, int total, int marks)>& progress);

// The caption of the progress panel during a run.
std::string DetectProgressCaption(int channel, int marks);

}  // namespace vk
