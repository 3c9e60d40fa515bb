// A recording of 4000 sample rows at a chosen sampling rate, for the tests
// that hold every ms-to-row conversion at 500, 1000 and 2000 Hz (8000, 4000
// and 2000 ms). Electrodes 17 and 18 sit side by side on a 2 x 1 matrix;
// electrode e holds 1000 x row + e; the traces run from electrode 17.
#pragma once

#include <memory>

#include "marks/MarkStore.h"
#include "shell/Display.h"
#include "shell/ViewCommands.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"

namespace vk::test {

inline constexpr int Rates[] = {500, 1000, 2000};

struct RateSession {
    int rate;
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    ScriptedHost host;
    RecordingCanvas a{650, 450}, b{650, 450};
    Ctx ctx{*s, host, RedrawPanels, &a, &b};

    explicit RateSession(int hz, int rows = 4000) : rate(hz) {
        s->SignalsLoaded = s->FileLoaded = true;
        s->NrOfFrames = rows;
        SetSamplingFrequency(*s, hz);
        s->NrColumns = 2;
        s->NrRows = 1;
        for (int e : {17, 18}) {
            s->ElectrodeCol[static_cast<size_t>(e)] = e - 16;
            s->ElectrodeRow[static_cast<size_t>(e)] = 1;
            s->MatrixGrid[static_cast<size_t>(e - 16)][1] = e;
        }
        for (int i = 1; i <= rows; ++i)
            for (int e = 17; e <= 28; ++e) s->Signals.at(i, e) = 1000 * i + e;
        s->TraceOrder = 0;
        s->FirstChannel = 17;
        s->NrTraces = 2;
        s->DisplayTypeA = 1;
    }
    // The row of a time, written out for the expectations (times chosen so
    // that no rounding is involved).
    int row(int ms) const { return ms * rate / 1000; }
    void mark(int e, int ms, int type = SlowWave) {
        s->CurrentElectrode = e;
        AddMarkRecord(*s, ms, static_cast<int16_t>(type), 0);
    }
    void window(int32_t begin, int32_t length) {
        s->BeginTime = s->BeginTimeA = begin;
        s->WindowTime = s->WindowA = length;
    }
};

}  // namespace vk::test
