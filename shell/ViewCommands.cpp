#include "shell/ViewCommands.h"

#include <algorithm>
#include <limits>

#include "input/RecordingSettings.h"
#include "maps/MapBuffer.h"
#include "shell/Display.h"
#include "session/Errors.h"
#include "session/Format.h"
#include "session/TextFiles.h"

namespace vk {

namespace {

constexpr int64_t NoLimit = std::numeric_limits<int32_t>::max();

int32_t& beginOf(SessionState& s, int panel) { return panel == 2 ? s.BeginTimeB : s.BeginTimeA; }
int32_t& windowOf(SessionState& s, int panel) { return panel == 2 ? s.WindowB : s.WindowA; }
std::string panelName(int panel) { return panel == 2 ? "B" : "A"; }

}  // namespace

void BeginTimeCommand(Ctx& ctx, int panel, bool fromTitleBar) {
    auto& s = ctx.s;
    const std::string prompt = "Give new begin time:";
    if (panel == 0) {
        const int32_t v = GetNewInteger(ctx, "Begin Time All Displays", prompt, 0, NoLimit, s.BeginTimeAll);
        s.BeginTimeAll = s.BeginTimeA = s.BeginTimeB = v;
        UpdateDisplay(ctx);
        return;
    }
    beginOf(s, panel) = GetNewInteger(ctx, "Begin Time Display " + panelName(panel), prompt, 0, NoLimit, beginOf(s, panel));
    if (fromTitleBar) {
        UpdateDisplay(ctx);
    } else {
        RedrawPanel(ctx, panel);
    }
}

void WindowCommand(Ctx& ctx, int panel, bool fromTitleBar) {
    auto& s = ctx.s;
    const std::string prompt = "Give new window time:";
    // No window is longer than the signal buffer.
    if (panel == 0) {
        const int32_t v = GetNewInteger(ctx, "Window Time ALL Displays", prompt, 10, s.SignalLength, s.WindowAll);
        s.WindowAll = s.WindowA = s.WindowB = v;
        UpdateDisplay(ctx);
        return;
    }
    const std::string caption = "Window Time Display " + panelName(panel);
    if (fromTitleBar) {
        windowOf(s, panel) = GetNewInteger(ctx, caption, prompt, 1, MaxSamples, windowOf(s, panel));
        UpdateDisplay(ctx);
        return;
    }
    windowOf(s, panel) = GetNewInteger(ctx, caption, prompt, 10, s.SignalLength, windowOf(s, panel));
    if (panel == 1) s.WindowAll = s.WindowA;
    RedrawPanel(ctx, panel);
}

void PageCommand(Ctx& ctx, int panel, bool forward) {
    auto& s = ctx.s;
    int32_t& begin = beginOf(s, panel);
    const int32_t window = windowOf(s, panel);
    const int32_t before = begin;
    if (forward) {
        begin = int64_t{begin} + window < s.SignalLength ? begin + window : s.SignalLength - window;
    } else {
        begin = std::max(0, begin - window);
    }
    if (begin == before) ctx.host.beep();
    UpdateDisplay(ctx);
}

void NextPrevious(Ctx& ctx, bool next) {
    auto& s = ctx.s;
    const int32_t before = s.BeginTimeAll;
    if (next) {
        s.BeginTimeAll = int64_t{s.BeginTimeAll} + s.StepIncrement < s.SignalLength ? s.BeginTimeAll + s.StepIncrement
                                                                                    : s.SignalLength - s.StepIncrement;
    } else {
        s.BeginTimeAll = std::max(0, s.BeginTimeAll - s.StepIncrement);
    }
    if (s.BeginTimeAll == before) ctx.host.beep();
    s.BeginTimeA = s.BeginTimeB = s.BeginTimeAll;
    UpdateDisplay(ctx);
}

void StepIncrementCommand(Ctx& ctx) {
    ctx.s.StepIncrement = GetNewInteger(ctx, "Change step increment", "Give new value:", 0, NoLimit, ctx.s.StepIncrement);
    UpdateDisplay(ctx);
}

void Zoom(Ctx& ctx, bool in) {
    auto& s = ctx.s;
    ctx.host.beep();
    const int panel = s.ActiveDisplay == 2 ? 2 : 1;
    int32_t& window = windowOf(s, panel);
    window = in ? std::max(10, window / 2) : static_cast<int32_t>(std::min<int64_t>(int64_t{window} * 2, s.SignalLength));
    beginOf(s, panel) = std::max(0, s.CursorTime - window / 2);
    UpdateDisplay(ctx);
}

void AmplificationCommand(Ctx& ctx) {
    auto& s = ctx.s;
    for (;;) {
        const auto answer =
            ctx.host.inputBox("Amplification Electrograms ", "Give new value:", FormatNumber(s.Amplification, 2, s.Locale));
        if (!answer) break;
        const double v = ParseUserReal(*answer, s.Locale);
        if (v > 0) {
            s.Amplification = v;
            break;
        }
        ctx.host.beep();
    }
    UpdateDisplay(ctx);
}

void ScaleAmplification(Ctx& ctx, bool up) {
    ctx.s.Amplification = up ? ctx.s.Amplification * 2 : ctx.s.Amplification / 2;
    UpdateDisplay(ctx);
}

void NumberOfTracesCommand(Ctx& ctx) {
    ctx.s.NrTraces = GetNewInteger(ctx, "Number of Traces to display", "Give new number of traces:", 1, MaxChannels,
                                   ctx.s.NrTraces);
    UpdateDisplay(ctx);
}

void GotoChannelCommand(Ctx& ctx) {
    auto& s = ctx.s;
    const int32_t e = GetNewInteger(ctx, "Go To Signal Nr", "Give new channel number:", 1, MaxChannels, s.FirstChannel);
    s.FirstChannel = e;
    // The grid orders start at the electrode's place on the array, as after
    // a click on a map cell or in the mini map; otherwise they would not move.
    if (IsPlaced(s, e)) {
        s.StartCol = s.ElectrodeCol[static_cast<size_t>(e)];
        s.StartRow = s.ElectrodeRow[static_cast<size_t>(e)];
    }
    UpdateDisplay(ctx);
}

void SetDisplayType(Ctx& ctx, int panel, int displayType) {
    (panel == 2 ? ctx.s.DisplayTypeB : ctx.s.DisplayTypeA) = displayType;
    RedrawPanel(ctx, panel);
}

void ChooseMapKind(Ctx& ctx, int panel, int mapKind) {
    auto& s = ctx.s;
    if (panel == 2) {
        s.MapKindB = mapKind;
    } else {
        s.MapKindA = mapKind;
        if (mapKind == 0) s.DisplayTypeA = 0;  // "Time Map" also shows the map
    }
    UpdateDisplay(ctx);
}

void ChooseElectrograms(Ctx& ctx, int panel) {
    auto& s = ctx.s;
    if (panel == 2) {
        s.DisplayTypeB = 1;
    } else {
        s.DisplayTypeA = 1;
        s.ElgViewMode = 0;
    }
    UpdateDisplay(ctx);
}

void ChooseAnalyse(Ctx& ctx) {
    ctx.s.AnalyseChecked = !ctx.s.AnalyseChecked;
    ctx.s.DisplayTypeA = 1;
    ctx.s.ElgViewMode = 1;
    UpdateDisplay(ctx);
}

void ChooseElgWaveforms(Ctx& ctx) {
    ctx.s.DisplayTypeA = 1;
    ctx.s.ElgViewMode = 2;
    UpdateDisplay(ctx);
}

void SetPanelMarkType(Ctx& ctx, int panel, int markType) {
    ctx.s.CurrentMarkType[panel == 2 ? 2 : 1] = markType;
    RedrawPanel(ctx, panel);
}

void SetAllMarkTypes(Ctx& ctx, int markType) {
    ctx.s.CurrentMarkType[1] = ctx.s.CurrentMarkType[2] = markType;
    UpdateDisplay(ctx);
}

std::string SamplingFrequencyCaption(const SessionState& s) {
    return "Sampling Frequency (" + std::to_string(s.SamplingFrequency) + " Hz)";
}

void SetSamplingFrequency(SessionState& s, int32_t hz) { SetRecordingRate(s, hz); }

void SamplingFrequencyCommand(Ctx& ctx) {
    // A rate of 0 would divide by zero: it is refused like other bad entries.
    const int32_t before = ctx.s.SamplingFrequency;
    SetSamplingFrequency(ctx.s, GetNewInteger(ctx, "Sampling Frequency (Hz)", "Give sampling frequency:", 1, NoLimit,
                                              ctx.s.SamplingFrequency));
    // The open recording keeps the rate chosen for it; Cancel, or the rate
    // already in force, leaves its settings file alone.
    if (ctx.s.SamplingFrequency != before) RememberRecordingRate(ctx, ctx.s.SamplingFrequency);
    UpdateDisplay(ctx);
}

void SetPanelTile(Ctx& ctx) {
    ctx.s.Tiled = !ctx.s.Tiled;
    UpdateDisplay(ctx);
}

void SetTileType(Ctx& ctx, bool rectangle) {
    ctx.s.TileRectangle = rectangle;
    // The tiling state stays; the panels are laid out again.
    UpdateDisplay(ctx);
}

std::string TileItemCaption(const SessionState& s) { return s.Tiled ? "Tile off" : "Tile on"; }

}  // namespace vk
