// A session with a recording open on an electrogram panel, drawn on
// recording canvases: panel A's plot is 1000 x 500 pixels from (30, 10),
// the traces run in electrode order from FirstChannel.
#pragma once

#include <memory>

#include "shell/Display.h"
#include "session/Context.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"

namespace vk::test {

struct ElectrogramSession {
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    ScriptedHost host;
    RecordingCanvas a{1000, 525}, b{1000, 525};
    Ctx ctx{*s, host, RedrawPanels, &a, &b};

    ElectrogramSession(int32_t samples, int32_t window, int32_t traces, int32_t firstChannel) {
        s->PanelAWidth = 1070;  // plot width 1000
        s->PanelAHeight = 550;  // plot height 500
        s->SignalsLoaded = s->FileLoaded = true;
        s->SignalLength = s->NrOfFrames = samples;
        s->TraceOrder = 0;  // sequential from FirstChannel
        s->FirstChannel = firstChannel;
        s->NrTraces = traces;
        s->BeginTimeA = 0;
        s->WindowA = window;
        s->ActiveDisplay = 1;
    }
};

}  // namespace vk::test
