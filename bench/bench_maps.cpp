// The time load of an activation time map over a full mark table (32,767
// marks on a 16 x 16 matrix of 256 electrodes), as every map redraw does it.
#include <benchmark/benchmark.h>

#include <memory>

#include "input/Matrix.h"
#include "maps/MapBuffer.h"
#include "marks/MarkStore.h"

namespace {

using namespace vk;

// 128 waves of slow waves and spikes crossing the array, one mark per
// electrode and wave; `reversed` stores the latest wave first, so that every
// mark is earlier than the ones before it on its electrode.
std::unique_ptr<SessionState> fullTable(bool reversed) {
    auto s = std::make_unique<SessionState>();
    ApplyMatrix(*s, RowByRowMatrix(16, 16, 1, 1.0));
    for (int i = 0; i < MaxMarks; ++i) {
        const int wave = reversed ? 127 - i / 256 : i / 256;
        const int e = 1 + i % 256;
        s->CurrentElectrode = e;
        const int c = 1 + (e - 1) % 16, r = 1 + (e - 1) / 16;
        AddMarkRecord(*s, wave * 3000 + c * 60 + r * 40, static_cast<int16_t>(1 + wave % 2), static_cast<int16_t>(wave));
    }
    s->MapKind = TimeMapKind;
    return s;
}

void BM_TimeLoad(benchmark::State& st) {
    auto s = fullTable(st.range(0) != 0);
    // The whole recording in the window: every slow wave is taken.
    s->MapBegin = 0;
    s->MapWindow = 400000;
    for (auto _ : st) {
        LoadMap(*s, SlowWave);
        benchmark::DoNotOptimize(s->MapBuf.at(16, 16).Time);
    }
    st.counters["marks"] = MaxMarks;
}
BENCHMARK(BM_TimeLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_TimeLoadShortWindow(benchmark::State& st) {
    auto s = fullTable(false);
    s->MapBegin = 30000;
    s->MapWindow = 4000;
    for (auto _ : st) {
        LoadMap(*s, SlowWave);
        benchmark::DoNotOptimize(s->MapBuf.at(16, 16).Time);
    }
}
BENCHMARK(BM_TimeLoadShortWindow)->Unit(benchmark::kMicrosecond);

}  // namespace
