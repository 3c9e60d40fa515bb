// The open recording written in the other recording formats: as a Nashville
// text recording, which the Nashville import reads back to the same samples
// (three header lines, then one line per sample with every channel's value,
// tab-separated), and as an electrogram file with its settings file.
#pragma once

#include <string>
#include <vector>

#include "session/Context.h"
#include "session/SessionState.h"

namespace vk {

// The lines of File > Export's Nashville text: channels and rows as an
// electrogram file of the recording would hold them (RecordingChannels,
// RecordingFrames); the header names the values to give the import.
std::vector<std::string> NashvilleTextLines(const SessionState& s);

// Writes the open recording as the electrogram file `out` (RecordingElgBytes
// with `scale`) and beside it its settings file with the sampling rate in
// force (a matrix that file names stays). Every value is checked first:
// ConversionError names the first that does not fit, and nothing is
// written. Refuses the recording's own files; IoError when a write fails
// (a new `out` whose settings file could not be written is removed again).
void WriteRecordingAsElg(const SessionState& s, const std::string& out, int32_t scale);

// File > Export > "Recording as Electrogram File...": the save dialog (which
// asks before replacing a file), then WriteRecordingAsElg unscaled.
void SaveRecordingAsElg1Click(Ctx& ctx);

}  // namespace vk
