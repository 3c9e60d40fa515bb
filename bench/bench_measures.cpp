// "Calc Amplitudes + Slopes" over a minute-long recording of 256 electrodes
// with 20 slow waves each, the map loads of the value kinds over those marks,
// and the conduction velocities of a full 50 x 50 map.
#include <benchmark/benchmark.h>

#include <memory>

#include "input/Matrix.h"
#include "maps/MapBuffer.h"
#include "maps/Velocity.h"
#include "marks/MarkStore.h"
#include "marks/Measures.h"

namespace {

using namespace vk;

std::unique_ptr<SessionState> measuredRecording() {
    auto s = std::make_unique<SessionState>();
    ApplyMatrix(*s, RowByRowMatrix(16, 16, 1, 1.0));
    s->SignalLength = s->NrOfFrames = 60000;
    for (int i = 1; i <= 60000; ++i)
        for (int e = 1; e <= 256; ++e) s->Signals.at(i, e) = (i * 7 + e * 13) % 1500 - 750;
    for (int wave = 0; wave < 20; ++wave)
        for (int e = 1; e <= 256; ++e) {
            s->CurrentElectrode = e;
            AddMarkRecord(*s, 1000 + wave * 2900 + e * 3, SlowWave, 0);
        }
    return s;
}

void BM_MeasureAllMarks(benchmark::State& st) {
    auto s = measuredRecording();
    for (auto _ : st) benchmark::DoNotOptimize(MeasureAllMarks(*s));
    st.counters["marks"] = s->MarkCount;
}
BENCHMARK(BM_MeasureAllMarks)->Unit(benchmark::kMillisecond);

void BM_ValueMapLoad(benchmark::State& st) {
    auto s = measuredRecording();
    MeasureAllMarks(*s);
    s->MapKind = static_cast<int>(st.range(0));
    s->MapBegin = s->BeginTime = 0;
    s->MapWindow = s->WindowTime = 60000;
    for (auto _ : st) {
        LoadMap(*s, SlowWave);
        benchmark::DoNotOptimize(s->MapBuf.at(16, 16));
    }
}
BENCHMARK(BM_ValueMapLoad)->Arg(CountMapKind)->Arg(IntervalMapKind)->Arg(AmplitudeMapKind)->Unit(benchmark::kMicrosecond);

void BM_Velocities(benchmark::State& st) {
    auto s = std::make_unique<SessionState>();
    s->NrColumns = s->NrRows = 50;  // the times alone make the velocities
    s->CellWidth = s->CellHeight = 12;
    for (int c = 1; c <= 50; ++c)
        for (int r = 1; r <= 50; ++r) s->MapBuf.at(c, r).Time = 7 * c + 3 * r + (c * r) % 5;
    for (auto _ : st) {
        CalcVelocities(*s);
        benchmark::DoNotOptimize(s->VelocityBuf.at(25, 25).Speed);
    }
}
BENCHMARK(BM_Velocities)->Unit(benchmark::kMicrosecond);

}  // namespace
