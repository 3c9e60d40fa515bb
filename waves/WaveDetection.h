// Grouping the marks of one type into the waves that cross the electrode
// array: a wave starts at the earliest mark that no wave has taken yet and
// grows from electrode to neighbouring electrode, each step taking on the
// neighbour the free mark closest in time, as long as the two times differ
// by less than the wave difference of the mark type. Every mark belongs to
// at most one wave.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "session/Context.h"

namespace vk {

inline constexpr int MaxWaves = 200;        // wave numbers 1..199 are used
inline constexpr int MaxWaveSlots = 200;    // free marks per electrode, slots 1..199 used
// Start of the minimum searches. Recordings run to 65,535 ms, so this lies
// above every time a mark can have (a smaller value would leave late marks
// out of every wave).
inline constexpr int32_t NoTime = INT32_MAX;

// Time of wave w (1..200) at electrode e (1..256), relative to RefTime, or Missing.
int32_t WaveTimeAt(const SessionState& s, int e, int w);

// The lowest-numbered electrode at a matrix position, or Missing.
int32_t ElectrodeAt(const SessionState& s, int col, int row);

// The whole calculation for marks of `markType`; fills WaveTimes and WaveCount.
void CalculateWaves(Ctx& ctx, int markType);
// The calculation from the free marks already in FreeTimes (FreeTimes[e * 201 + slot]).
void GrowWaves(Ctx& ctx, int markType);

// What a wave covers on the array, measured over the times of its cells.
struct WaveStatistics {
    int32_t sites = 0, xSize = 0, ySize = 0;
    bool any = false;
    int32_t centreCol = 0, centreRow = 0;  // only when any
};
WaveStatistics CalcWaveStats(const SessionState& s, const std::function<int32_t(int col, int row)>& timeAt);
// The three texts of the statistics line: "Area = ...", "X-size = ...", "Y-size = ...".
std::array<std::string, 3> WaveStatsTexts(const SessionState& s, const WaveStatistics& w);

// Menu commands of the Waves menu.
void SetWaveMode(Ctx& ctx, int mode);  // no redraw
std::string WaveModeCaption(const SessionState& s);
void ChangeWaveDifference(Ctx& ctx);
void CalculateWaves1Click(Ctx& ctx);
void GotoWaveNr(Ctx& ctx);
// Title-bar "W+" / "W-": the next or previous wave on panel 1 (A) or 2 (B).
void StepWave(Ctx& ctx, int panel, bool up);
void GotoNextWave(Ctx& ctx);
void GotoPreviousWave(Ctx& ctx);
// "show statistics", "Plot local times", "automatic positioning": switches
// that take effect at the next redraw (they do not redraw themselves).
enum class WaveSwitch { Statistics, LocalTimes, AutoPositioning };
void ToggleWaveSwitch(Ctx& ctx, WaveSwitch which);

}  // namespace vk
