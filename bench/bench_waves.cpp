// Wave detection on 199 marks on each of the 256 electrodes of a 16 x 16
// matrix: slow waves every 300 ms sweeping across the array. The mark table
// holds 32,767 marks (128 a electrode here), so the full tables are also
// measured from the free-mark table directly.
#include <benchmark/benchmark.h>

#include <memory>

#include "shell/Display.h"
#include "input/Matrix.h"
#include "marks/MarkStore.h"
#include "waves/WaveDetection.h"

namespace {

using namespace vk;

void BM_CalculateWaves(benchmark::State& st) {
    auto s = std::make_unique<SessionState>();
    ApplyMatrix(*s, RowByRowMatrix(16, 16, 1, 1.0));
    for (int k = 0; k < 199; ++k)
        for (int e = 1; e <= 256; ++e) {
            s->CurrentElectrode = e;
            const int c = (e - 1) % 16, r = (e - 1) / 16;
            AddMarkRecord(*s, 1000 + k * 300 + 7 * c + 5 * r, SlowWave, 1);
        }
    QuietHost host;
    Ctx ctx{*s, host, RedrawPanels};
    for (auto _ : st) {
        CalculateWaves(ctx, SlowWave);
        benchmark::DoNotOptimize(s->WaveCount);
    }
    st.counters["WaveCount"] = s->WaveCount;
}
BENCHMARK(BM_CalculateWaves)->Unit(benchmark::kMillisecond);

void BM_GrowWaves199PerElectrode(benchmark::State& st) {
    auto s = std::make_unique<SessionState>();
    ApplyMatrix(*s, RowByRowMatrix(16, 16, 1, 1.0));
    QuietHost host;
    Ctx ctx{*s, host, RedrawPanels};
    for (auto _ : st) {
        st.PauseTiming();
        std::fill(s->FreeTimes.begin(), s->FreeTimes.end(), Missing);
        for (int e = 1; e <= 256; ++e)
            for (int k = 1; k <= 199; ++k)
                s->FreeTimes[static_cast<size_t>(e) * 201 + static_cast<size_t>(k)] = 1000 + (k - 1) * 300 + 7 * ((e - 1) % 16) + 5 * ((e - 1) / 16);
        st.ResumeTiming();
        GrowWaves(ctx, SlowWave);
        benchmark::DoNotOptimize(s->WaveCount);
    }
    st.counters["WaveCount"] = s->WaveCount;
}
BENCHMARK(BM_GrowWaves199PerElectrode)->Unit(benchmark::kMillisecond);

}  // namespace
