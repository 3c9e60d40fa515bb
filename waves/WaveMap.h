// A panel in wave mode shows one wave as a map: each electrode's cell holds
// the time at which that wave reached it. In wave mode 1 the waves are those
// of the wave detection; in wave mode 2 wave n is the set of marks with mark
// number n.
#pragma once

#include "session/Context.h"

namespace vk {

// Draws the wave of panel 1 (A) or 2 (B) in the current wave mode,
// calculating the waves first when they are out of date (mode 1).
void DrawWaveMap(Ctx& ctx, int panel);

// Fills the cell times with wave w of the wave table (local times when
// PlotLocalTimes is on); an unknown wave gives an empty map.
void LoadMapBuf(SessionState& s, int w);
// Fills the cells from the marks whose mark number is n, of the panel's mark
// type, and sets WaveCount to the largest mark number.
void LoadTim2(SessionState& s, int n, int markType);

}  // namespace vk
