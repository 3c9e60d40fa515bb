// Full redraws through the Qt canvas: an electrogram panel of 24 traces over
// the whole of the longest recording (65,535 samples), marks on every trace,
// on a 1600 x 900 surface, beside a plain pass over the same samples that
// finds each pixel column's extremes (what a redraw cannot go below); and a
// map panel of a 16 x 16 matrix over a full mark table (32,767 marks) with
// colours, digits, grid and isochrones on a 1000 x 1000 surface.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

#include "desktop/QtCanvas.h"
#include "electrograms/TraceDisplay.h"
#include "input/Matrix.h"
#include "marks/MarkStore.h"
#include "shell/Display.h"

namespace {

using namespace vk;

// The recording of panel A: 24 traces of noise with a deep dip every 20,000
// samples, twenty marks on every trace, every third one automatic.
std::unique_ptr<SessionState> panelASession() {
    auto s = std::make_unique<SessionState>();
    s->PanelAWidth = 1600;
    s->PanelAHeight = 925;
    s->SignalsLoaded = s->FileLoaded = true;
    s->SignalLength = s->NrOfFrames = MaxSamples;
    s->TraceOrder = 0;
    s->FirstChannel = 1;
    s->NrTraces = 24;
    s->BeginTimeA = 0;
    s->WindowA = MaxSamples;
    for (int row = 1; row <= MaxSamples; ++row)
        for (int c = 1; c <= 24; ++c) s->Signals.at(row, c) = ((row * 37 + c * 101) % 2001) - 1000 + (row % 20000 < 200 ? -3000 : 0);
    for (int c = 1; c <= 24; ++c)
        for (int k = 0; k < 20; ++k) {
            s->CurrentElectrode = c;
            s->MarkOrigin = k % 3 == 0 ? AutomaticOrigin : ManualOrigin;
            AddMarkRecord(*s, 1000 + k * 3200 + c * 10, static_cast<int16_t>(1 + k % 2), 1);
        }
    return s;
}

void BM_RedrawPanelA(benchmark::State& st) {
    auto s = panelASession();
    QuietHost host;
    QtCanvas canvas;
    canvas.resize(1600, 900);
    Ctx ctx{*s, host, RedrawPanels, &canvas, nullptr};
    for (auto _ : st) {
        UpdateDisplayA(ctx);
        benchmark::DoNotOptimize(canvas.image().constBits());
    }
}
BENCHMARK(BM_RedrawPanelA)->Unit(benchmark::kMillisecond);

// What the redraw is measured against: one plain pass over the same 24 x
// 65,535 samples that finds the lowest and highest value of every trace in
// every pixel column of the panel, and draws nothing. It reads the rows as
// the redraw does, so that the two differ by the drawing alone.
void BM_MinMaxPassPanelA(benchmark::State& st) {
    auto s = panelASession();
    const TraceGeometry g = ComputeGeometry(*s, s->BeginTimeA, s->WindowA);
    const int traces = s->NrTraces;
    const size_t cells = static_cast<size_t>(g.width + 1) * static_cast<size_t>(traces);
    std::vector<int32_t> low(cells), high(cells);
    for (auto _ : st) {
        std::fill(low.begin(), low.end(), std::numeric_limits<int32_t>::max());
        std::fill(high.begin(), high.end(), std::numeric_limits<int32_t>::min());
        for (int32_t sample = g.firstSample + 1; sample <= g.lastSample; ++sample) {
            const auto column = static_cast<size_t>((sample - g.firstSample - 1) * g.pixelsPerSample);
            const int32_t* row = s->Signals.row(sample);
            // The same look-ahead as the redraw's: the rows are a kilobyte apart.
            if (sample + 64 <= g.lastSample) __builtin_prefetch(s->Signals.row(sample + 64));
            int32_t* lo = low.data() + column * static_cast<size_t>(traces);
            int32_t* hi = high.data() + column * static_cast<size_t>(traces);
            for (int c = 0; c < traces; ++c) {
                lo[c] = std::min(lo[c], row[c]);
                hi[c] = std::max(hi[c], row[c]);
            }
        }
        benchmark::DoNotOptimize(low.data());
        benchmark::DoNotOptimize(high.data());
    }
}
BENCHMARK(BM_MinMaxPassPanelA)->Unit(benchmark::kMillisecond);

void BM_RedrawMap(benchmark::State& st) {
    auto s = std::make_unique<SessionState>();
    QuietHost host;
    QtCanvas canvas;
    canvas.resize(1000, 1000);
    Ctx ctx{*s, host, RedrawPanels, &canvas, nullptr};
    s->FileLoaded = s->SignalsLoaded = true;
    ApplyMatrix(*s, RowByRowMatrix(16, 16, 1, 1.0));
    // 128 waves crossing the array diagonally, one slow wave or spike per
    // electrode and wave: the whole table.
    for (int i = 0; i < MaxMarks; ++i) {
        const int wave = i / 256, e = 1 + i % 256;
        const int c = 1 + (e - 1) % 16, r = 1 + (e - 1) / 16;
        s->CurrentElectrode = e;
        AddMarkRecord(*s, wave * 3000 + c * 90 + r * 70, static_cast<int16_t>(1 + wave % 2), 1);
    }
    s->DisplayTypeA = 0;
    s->BeginTimeA = 30000;  // one slow wave in the window: 2,400 ms over the array
    s->WindowA = 3000;
    s->PlotIsochrones = true;
    for (auto _ : st) {
        UpdateDisplayA(ctx);
        benchmark::DoNotOptimize(canvas.image().constBits());
    }
}
BENCHMARK(BM_RedrawMap)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
