// Full redraws through the Qt canvas: an electrogram panel of 24 traces over
// the whole of the longest recording (65,535 samples), marks on every trace,
// on a 1600 x 900 surface; and a map panel of a 16 x 16 matrix over a full
// mark table (32,767 marks) with colours, digits, grid and isochrones on a
// 1000 x 1000 surface.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <memory>

#include "desktop/QtCanvas.h"
#include "input/Matrix.h"
#include "marks/MarkStore.h"
#include "shell/Display.h"

namespace {

using namespace vk;

void BM_RedrawPanelA(benchmark::State& st) {
    auto s = std::make_unique<SessionState>();
    QuietHost host;
    QtCanvas canvas;
    canvas.resize(1600, 900);
    Ctx ctx{*s, host, RedrawPanels, &canvas, nullptr};
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
    // Twenty marks on every trace, every third one automatic.
    for (int c = 1; c <= 24; ++c)
        for (int k = 0; k < 20; ++k) {
            s->CurrentElectrode = c;
            s->MarkOrigin = k % 3 == 0 ? AutomaticOrigin : ManualOrigin;
            AddMarkRecord(*s, 1000 + k * 3200 + c * 10, static_cast<int16_t>(1 + k % 2), 1);
        }
    for (auto _ : st) {
        UpdateDisplayA(ctx);
        benchmark::DoNotOptimize(canvas.image().constBits());
    }
}
BENCHMARK(BM_RedrawPanelA)->Unit(benchmark::kMillisecond);

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
