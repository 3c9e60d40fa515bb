// The journal of unsaved mark changes, for a small and a full mark table:
// what one change costs the journal's thread (the whole table encoded,
// appended and flushed to disk) and what it costs the window (the changes
// counted and the tables copied for that thread), each with the median and
// the worst of the runs. The window hands a copy over at most twice a
// second, from a timer, never inside a click; render_journal.cpp times the
// marking click with and without the journal.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "marks/BackgroundJournal.h"
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
    s->JournalMarks = true;
    return s;
}

// One change: the time of the first mark moves by one ms and back.
void change(SessionState& s, int64_t n) {
    s.MarkTable[1].Time = 17 + static_cast<int32_t>(n % 2);
    s.MarksChanged = true;
}

void report(benchmark::State& st, std::vector<double>& us) {
    std::sort(us.begin(), us.end());
    st.counters["median_us"] = us[us.size() / 2];
    st.counters["worst_us"] = us.back();
}

// The journal's thread: one entry written and flushed per change.
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
    report(st, us);
    std::filesystem::remove(JournalFileName(s->MarkFileName));
}

// The window's share: the changes counted and the tables copied and handed
// over, while the journal's thread writes the copies before.
void BM_JournalOffer(benchmark::State& st) {
    auto s = tableOf(static_cast<int>(st.range(0)));
    BackgroundJournal journal;
    std::vector<double> us;
    int64_t n = 0;
    for (auto _ : st) {
        change(*s, ++n);
        const auto begin = std::chrono::steady_clock::now();
        if (!journal.offer(*s, 1800000000 + n)) st.SkipWithError("nothing was handed over");
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - begin).count());
    }
    journal.flush();
    st.counters["entries"] = journal.appended();
    report(st, us);
    std::filesystem::remove(JournalFileName(s->MarkFileName));
}

BENCHMARK(BM_JournalEntry)->Arg(1000)->Arg(MaxMarks)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_JournalOffer)->Arg(1000)->Arg(MaxMarks)->Unit(benchmark::kMicrosecond);

}  // namespace
