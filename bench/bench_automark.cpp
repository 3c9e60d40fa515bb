// The automatic slow-wave marker on the largest recording the buffers hold
// (240 marked electrodes x 65,535 samples), against a plain pass that only
// sums the samples the marker reads, in the order it reads them.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "shell/Display.h"
#include "marks/AutoMark.h"

namespace {

using namespace vk;

// Noise with a slow wave every 20 s on every electrode, a little later on
// each, as in a real recording; the marker finds three or four per electrode.
SessionState& recording() {
    static auto s = [] {
        auto st = std::make_unique<SessionState>();
        st->SignalLength = st->NrOfFrames = MaxSamples;
        st->NrChannelsInFile = MaxChannels;
        st->SignalsLoaded = st->FileLoaded = true;
        uint64_t state = 0x9E3779B97F4A7C15ULL;
        for (int r = 1; r <= MaxSamples; ++r) {
            int32_t* row = st->Signals.row(r);
            for (int c = 1; c <= MaxChannels; ++c) {
                state ^= state << 13;
                state ^= state >> 7;
                state ^= state << 17;
                const int noise = static_cast<int>(state >> 58) - 32;  // -32..31
                const int phase = (r + 37 * c) % 20000;
                const int wave = phase < 300 ? static_cast<int>(-1500 * std::sin(phase * 3.14159265 / 300)) : 0;
                row[c - 1] = noise + wave;
            }
        }
        return st;
    }();
    return *s;
}

void runMarker(benchmark::State& st, int32_t window) {
    SessionState& s = recording();
    QuietHost host;
    Ctx ctx{s, host, RedrawPanels};
    s.BeginTime = 0;
    s.WindowTime = window;
    int added = 0;
    for (auto _ : st) {
        s.MarkCount = 0;
        s.Memo1.clear();
        added = AutoMarkSlowWaves(ctx);
        benchmark::DoNotOptimize(s.MarkTable.data());
    }
    st.counters["marks"] = added;
}

// The samples the marker reads: electrodes 17..256 of rows 5..W, 1..W,
// BeginTime + 5..N and 5..N, row by row.
void plainPass(benchmark::State& st, int32_t window) {
    SessionState& s = recording();
    const int n = AutoMarkLastElectrode - AutoMarkFirstElectrode + 1;
    auto sum = [&](int32_t from, int32_t to) {
        int64_t total = 0;
        for (int32_t r = from; r <= to; ++r) {
            const int32_t* row = s.Signals.row(r) + (AutoMarkFirstElectrode - 1);
            for (int c = 0; c < n; ++c) total += row[c];
        }
        return total;
    };
    for (auto _ : st) {
        int64_t total = sum(5, window) + sum(1, window) + sum(5, MaxSamples) + sum(5, MaxSamples);
        benchmark::DoNotOptimize(total);
    }
}

void BM_AutoMark_Window4000(benchmark::State& st) { runMarker(st, 4000); }
void BM_PlainPass_Window4000(benchmark::State& st) { plainPass(st, 4000); }
void BM_AutoMark_WholeRecording(benchmark::State& st) { runMarker(st, MaxSamples); }
void BM_PlainPass_WholeRecording(benchmark::State& st) { plainPass(st, MaxSamples); }

BENCHMARK(BM_AutoMark_Window4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainPass_Window4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutoMark_WholeRecording)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainPass_WholeRecording)->Unit(benchmark::kMillisecond);

}  // namespace
