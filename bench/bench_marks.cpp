// A full mark table (32,767 marks over 256 electrodes): the mark file read
// and written, and the linear scans behind deleting and counting.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "marks/MarkFile.h"
#include "marks/MarkStore.h"
#include "session/TextFiles.h"

namespace {

using namespace vk;

SessionState& fullTable() {
    static auto s = [] {
        auto st = std::make_unique<SessionState>();
        for (int i = 0; i < MaxMarks; ++i) {
            st->CurrentElectrode = 1 + i % 256;
            AddMarkRecord(*st, (i / 256) * 1000 + 17, static_cast<int16_t>(1 + i % 2), 1);
        }
        st->MarkFileName = (std::filesystem::temp_directory_path() / "vk-bench-marks.M01").string();
        PrepareMarkHeader(*st);
        WriteMarkFile(*st);
        return st;
    }();
    return *s;
}

void BM_WriteMarkFile(benchmark::State& st) {
    SessionState& s = fullTable();
    for (auto _ : st) WriteMarkFile(s);
}

void BM_ReadMarkFile(benchmark::State& st) {
    SessionState& s = fullTable();
    for (auto _ : st) {
        const std::string bytes = readWholeFile(s.MarkFileName, 64u << 20);
        ParseMarkFile(bytes, s.MarkFileName, s);
        benchmark::DoNotOptimize(s.MarkCount);
    }
}

void BM_RemoveTimeOneElectrode(benchmark::State& st) {
    SessionState& s = fullTable();
    // A window that holds no mark: the whole table is scanned every time.
    for (auto _ : st) benchmark::DoNotOptimize(RemoveTime(s, 100, SlowWave, 500, 400));
}

void BM_MarkStatistics(benchmark::State& st) {
    SessionState& s = fullTable();
    for (auto _ : st) benchmark::DoNotOptimize(CalcMarkStatistics(s));
}

BENCHMARK(BM_WriteMarkFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadMarkFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveTimeOneElectrode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MarkStatistics)->Unit(benchmark::kMicrosecond);

}  // namespace
