// Amplitude and slope of the slow waves: "Calc Amplitudes + Slopes".
//
// Every slow-wave mark is measured on its own electrode within half a second
// either side: the largest and smallest signal value, the steepest fall over
// 24 samples, and the time since the previous slow wave of the electrode.
// The results stay in MarkMeasures, slot by slot beside the mark table, for
// the amplitude, slope and interval maps, the amplitude markers on the
// traces and the Data Pad.
#pragma once

#include <string>
#include <vector>

#include "session/Context.h"

namespace vk {

// Half the measuring window (ms), and the span of the downstroke in samples,
// scaled as if it lasted 25 ms.
inline constexpr int MeasureHalfWindow = 500;
inline constexpr int SlopeSpan = 24;
inline constexpr double SlopeScale = 1000.0 / 25.0;

// Forgets every measurement (the marks they belonged to are gone).
void ClearMeasures(SessionState& s);

// Measures the mark in `slot` (electrode e, time t ms) into MarkMeasures;
// the interval comes from `slowWaves`, the slow waves in the order of
// SortMarksByElectrode. Only rows 1..RecordingRows of the signal are read.
void MeasureMark(SessionState& s, const std::vector<int32_t>& slowWaves, int slot, int e, int32_t t);

// Measures every slow wave of electrode 1..256 with 0 < time < SignalLength;
// the other slots get no measurement. Returns how many were measured.
int MeasureAllMarks(SessionState& s);

// The amplitude of a measurement in mV.
double MeasuredAmplitude(const SessionState& s, const MeasureRecord& m);

// The Data Pad grid of the measurements: the header row, then one row per
// measured slow wave in slot order (electrode, amplitude, maximum, minimum,
// time), in columns 1..5.
std::vector<std::vector<std::string>> MeasuresGrid(const SessionState& s);

// Electrograms > "Calc Amplitudes + Slopes": measures, beeps, fills the Data
// Pad with the results and shows it.
void CalculateAmplitudesSlopes1Click(Ctx& ctx);
// Electrograms > "show amplitude + slope": the amplitude markers on the traces.
void ToggleShowAmplitudes(Ctx& ctx);

}  // namespace vk
