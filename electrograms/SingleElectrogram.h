// The single-electrogram analysis window: one electrogram over its sample
// difference, with the downstroke level that the snapped-mark search uses
// drawn on the difference, so that the user can tune the slow-wave search
// settings while looking at the result. The window draws on its own paint
// box; these functions hold every rule of it.
#pragma once

#include <string>

#include "session/Context.h"

namespace vk {

inline constexpr int AlyPaintWidth = 745, AlyPaintHeight = 229;
inline constexpr int AlyTraceLeft = 10;  // x of sample BeginTime + 1 is about this

// Opening the window: the 4000-sample span, the panel's first channel, and
// the program-wide scale that the traces of the paint box use.
void InitialiseAnalysis(SessionState& s, int paintWidth = AlyPaintWidth);

// What the labels and edits show. The type label reads "Slow Waves" or
// "Spikes" for the type of display A and keeps `typeLabel` for type 3; the
// edits show the slow-wave settings whatever the type.
struct AnalysisFields {
    std::string typeLabel, level, width, diffDist;
};
AnalysisFields AnalysisFieldsOf(const SessionState& s, const std::string& typeLabel);

// Draws the electrogram (row 1), its difference (row 2) and the level line.
// Draws no sample outside the rows of the recording.
void PaintAnalysis(SessionState& s, Canvas& canvas);

// "Update": the three numbers typed become the slow-wave level, search
// width and difference distance. Text that is not a whole number throws
// ConversionError and changes nothing; a negative width or distance beeps
// and changes nothing. Returns whether the settings were taken.
bool UpdateAnalysisSettings(Ctx& ctx, const std::string& level, const std::string& width, const std::string& diffDist);

// The up/down control: the next or previous electrode, a beep past 1..255.
void StepAnalysisElectrode(Ctx& ctx, bool up);

// The read-out under the mouse at paint-box x; all empty where the sample
// falls outside the recording.
struct AnalysisCursor {
    std::string sample, time, amplitude, volts;
};
AnalysisCursor AnalysisCursorAt(const SessionState& s, int x);

}  // namespace vk
