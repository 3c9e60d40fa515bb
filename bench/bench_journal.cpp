// The journal of unsaved mark changes: the cost of one entry (the whole
// table encoded, appended and flushed to disk) for a small and a full mark
// table, with the median and the worst of the runs; and the cost of a
// change with and without an entry written right after it (the window
// writes at most two a second, from a timer, never inside the click).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "marks/Journal.h"
#include "marks/MarkFile.h"
#include "marks/MarkStore.h"

namespace {

using namespace vk;

std::unique_ptr<SessionState> tableOf(int marks) {
    auto s = std::make_unique<SessionState>();
    for (int i = 0; i < marks; ++i) {
        s->CurrentElectrode = 1 + i % 256;
        AddMarkRecord(*s, (i / 256) * 1000 + 17, static_cast<int16_t>(1 + i % 2), 1);
    }
    s->MarkFileName = (std::filesystem::temp_directory_path() / "vk-bench-journal.M01").string();
    PrepareMarkHeader(*s);
    WriteMarkFile(*s);
    s->MarksChanged = true;
    s->JournalMarks = true;
    return s;
}

// One change: the time of the first mark moves by one ms and back.
void change(SessionState& s, int64_t n) { s.MarkTable[1].Time = 17 + static_cast<int32_t>(n % 2); }

void BM_JournalEntry(benchmark::State& st) {
    auto s = tableOf(static_cast<int>(st.range(0)));
    JournalWriter writer;
    std::vector<double> us;
    int64_t n = 0;
    for (auto _ : st) {
        change(*s, ++n);
        const auto begin = std::chrono::steady_clock::now();
        if (writer.update(*s, 1800000000 + n)) st.SkipWithError("the journal could not be written");
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - begin).count());
    }
    std::sort(us.begin(), us.end());
    st.counters["median_us"] = us[us.size() / 2];
    st.counters["worst_us"] = us.back();
    std::filesystem::remove(JournalFileName(s->MarkFileName));
}

void BM_ChangeWithoutJournal(benchmark::State& st) {
    auto s = tableOf(static_cast<int>(st.range(0)));
    int64_t n = 0;
    for (auto _ : st) {
        change(*s, ++n);
        s->CurrentElectrode = 3;
        RemoveTime(*s, 3, SlowWave, 5, 4);  // the scan a click's search makes
        benchmark::DoNotOptimize(s->MarkTable[1].Time);
    }
}

BENCHMARK(BM_JournalEntry)->Arg(1000)->Arg(MaxMarks)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChangeWithoutJournal)->Arg(1000)->Arg(MaxMarks)->Unit(benchmark::kMicrosecond);

}  // namespace
