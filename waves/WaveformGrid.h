// The waveform grid: a short stretch of every electrogram drawn inside the
// cell of its electrode on the array, so that the shape of the activity can
// be compared across the array; and the automatic positioning that brings
// the traces of a newly shown wave onto the electrogram panel.
#pragma once

#include <string>

#include "session/Context.h"

namespace vk {

// Lays the grid out on a paint box of width x height pixels: WaveSignalLength
// becomes the window, the cells fill the box less a 50-pixel margin, the grid
// is centred horizontally 20 pixels from the top (PlotLeft, PlotTop), and
// WaveXScale fits the stretch into a cell.
void LayoutWaveformGrid(SessionState& s, int width, int height);

// The sample row after which the stretch of a cell begins (WaveSegmentStart),
// or Missing when the cell stays empty. With "Mark align?" the stretch is
// centred on the cell's activation time (relative to RefTime, as the map
// holds it), which must lie inside the panel's window; the stretch is kept
// inside the recording.
int32_t WaveSegmentOf(const SessionState& s, int32_t cellTime);

// Draws the view on the panel(s) named by DrawOnA / DrawOnB.
void DrawWaveformGrid(Ctx& ctx);

// The dialog "Wave Form Settings:": the signal length and four switches.
struct WaveFormSettings {
    std::string signalLength;
    bool grid = true, markAlign = false, plotElgNr = false, gridLabel = true;
};
WaveFormSettings WaveFormSettingsOf(const SessionState& s);
// "OK": takes the dialog's values and redraws; the signal length becomes
// the window of panel A (ms), which the grid draws. Text that is not a whole
// number throws ConversionError; a length below 1 beeps. Either way nothing
// changes and false is returned, so the dialog stays open.
bool ApplyWaveFormSettings(Ctx& ctx, const WaveFormSettings& w);

// A new wave was shown: its centre becomes the first trace of the
// electrogram panel (only when both panels are shown), taking half the
// traces back along the trace order so that the wave lies in the middle.
void AutoPositionElectrograms(SessionState& s);

}  // namespace vk
