// The commands that change what the panels show and over which time: begin
// times and windows, paging, zoom, amplification, traces, display type, map
// kind and mark type of a panel, tiling, and the sampling frequency.
#pragma once

#include <optional>
#include <string>

#include "session/Ask.h"

namespace vk {

// Panel numbers: 1 = A, 2 = B; 0 = both ("All Displays").
void BeginTimeCommand(Ctx& ctx, int panel, bool fromTitleBar);
void WindowCommand(Ctx& ctx, int panel, bool fromTitleBar);
void PageCommand(Ctx& ctx, int panel, bool forward);        // "<" and ">"
void NextPrevious(Ctx& ctx, bool next);                      // General > Next / Previous
void StepIncrementCommand(Ctx& ctx);
void Zoom(Ctx& ctx, bool in);
void AmplificationCommand(Ctx& ctx);
void ScaleAmplification(Ctx& ctx, bool up);                 // title-bar "A" and "a"
void NumberOfTracesCommand(Ctx& ctx);
// "goto Channel": the channel asked for becomes the first trace, in the
// numbered orders and (when it is on the array) in the grid orders.
void GotoChannelCommand(Ctx& ctx);
void SetDisplayType(Ctx& ctx, int panel, int displayType);   // title-bar "Map" / "Ele" / "Wav"
void ChooseMapKind(Ctx& ctx, int panel, int mapKind);        // Display A/B map items
void ChooseElectrograms(Ctx& ctx, int panel);                // Display A/B > "Electrograms"
void ChooseAnalyse(Ctx& ctx);                                // Display A > "Analyse"
void ChooseElgWaveforms(Ctx& ctx);                           // Display A > "Elg Waveforms"
void SetPanelMarkType(Ctx& ctx, int panel, int markType);    // Display A/B mark-type items
void SetAllMarkTypes(Ctx& ctx, int markType);                // General > "Slow Wave" ...
// The rate rule: SamplingFrequency := hz (at least 1), SignalLength := the
// loaded frames at that rate in ms, HighRateMode, and WindowA and WindowAll
// := the new length.
void SetSamplingFrequency(SessionState& s, int32_t hz);
void SamplingFrequencyCommand(Ctx& ctx);
std::string SamplingFrequencyCaption(const SessionState& s);

void SetPanelTile(Ctx& ctx);                                 // Tile on / off, Ctrl+T, "T"
void SetTileType(Ctx& ctx, bool rectangle);                  // General > Tile type
std::string TileItemCaption(const SessionState& s);

}  // namespace vk
