// Milliseconds and sample rows. Every time a user sees or types is in
// milliseconds; the signal buffer is indexed by sample. At 1000 Hz the two are
// the same number; at any other rate a time t is row round(t x rate / 1000)
// and row r is time round(r x 1000 / rate). Everything that turns one into
// the other uses these helpers, and everything that reads Signals stops at
// RecordingRows, so that rows an earlier, longer recording left behind are
// never read.
#pragma once

#include <algorithm>
#include <cstdint>

#include "session/SessionState.h"

namespace vk {

// Sample row of a time in ms.
inline int32_t SampleOfTime(const SessionState& s, int64_t ms) {
    if (!s.HighRateMode) return static_cast<int32_t>(std::clamp<int64_t>(ms, INT32_MIN, INT32_MAX));
    return static_cast<int32_t>(roundHalfEven(static_cast<double>(ms) * s.SamplingFrequency / 1000.0));
}

// Time in ms of a sample row.
inline int32_t TimeOfSample(const SessionState& s, int64_t sample) {
    if (!s.HighRateMode) return static_cast<int32_t>(std::clamp<int64_t>(sample, INT32_MIN, INT32_MAX));
    return static_cast<int32_t>(roundHalfEven(static_cast<double>(sample) * 1000.0 / std::max(1, s.SamplingFrequency)));
}

// The rows of Signals that hold the current recording, 1..RecordingRows: the
// samples SignalLength spans at the sampling rate, and never more than were
// loaded (NrOfFrames) nor more than the buffer holds. The length in ms is
// rounded, and a recording opened after the rate was changed keeps its frame
// count as length, so the span alone can reach past the loaded rows.
inline int32_t RecordingRows(const SessionState& s) {
    const int64_t span = SampleOfTime(s, s.SignalLength);
    return static_cast<int32_t>(std::clamp<int64_t>(std::min<int64_t>(span, s.NrOfFrames), 0, MaxSamples));
}

}  // namespace vk
