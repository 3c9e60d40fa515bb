// A recording of noisy traces far denser than the panel's pixel columns, for
// the tests that hold the column-reduced traces to the traces drawn through
// every point: panel A's plot is 800 x 600 pixels from (30, 10).
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

#include "session/Context.h"
#include "session/SessionState.h"
#include "shell/ViewCommands.h"

namespace vk::test {

struct DenseRecording {
    // rate in Hz; the window in ms from `begin`; traces rows from electrode 1.
    struct Case {
        int rate;
        int32_t begin, window;
        int traces = 6;
        bool average = true, bipolar = false;
        double amplification = 0.05;
    };

    static constexpr int Rows = 40000;
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    QuietHost host;

    explicit DenseRecording(const Case& c) {
        s->PanelAWidth = 870;
        s->PanelAHeight = 650;
        s->SignalsLoaded = s->FileLoaded = true;
        s->NrOfFrames = Rows;
        SetSamplingFrequency(*s, c.rate);
        s->TraceOrder = 0;
        s->FirstChannel = 1;
        s->NrTraces = c.traces;
        s->BeginTimeA = c.begin;
        s->WindowA = c.window;
        s->ActiveDisplay = 1;
        s->AverageOffsetOn = c.average;
        s->BipolarMode = c.bipolar;
        s->Amplification = c.amplification;
        s->ShowElgMarks = s->ShowElgTimes = false;
        // Each channel a random walk with jumps and its own step size, so
        // that columns hold rising, falling and flat stretches, and some
        // run off the panel.
        uint32_t r = 12345;
        for (int e = 1; e <= c.traces + 1; ++e) {
            int32_t v = 0;
            const int32_t size = 10 * e;
            for (int row = 1; row <= Rows; ++row) {
                r = r * 1103515245u + 12345u;
                v += static_cast<int32_t>((r >> 8) % static_cast<uint32_t>(2 * size + 1)) - size + (row % 3000 < 1500 ? 1 : -1);
                if ((r >> 4) % 997 == 0) v += ((r >> 12) % 2 ? 1 : -1) * 40 * size;
                v = std::clamp(v, -8000, 8000);
                s->Signals.at(row, e) = v;
            }
        }
    }
};

// 500, 1000 and 2000 Hz; sample counts per pixel column that are not whole
// (16.8, 19.1, 16.7, 1.75 with columns of one and two samples, and a window
// past the last row); bipolar, without the mean, an amplification that
// throws the traces far past the panel, and eight rows.
inline const DenseRecording::Case DenseCases[] = {
    {1000, 1234, 13457}, {500, 3001, 61111}, {2000, 0, 20000, 4, false, true}, {2000, 1500, 700},
    {1000, 35000, 9000}, {1000, 0, 40000, 3, true, false, 3.0}, {2000, 777, 9999, 8},
};

}  // namespace vk::test
