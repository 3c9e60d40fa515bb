// The marking click with and without the journal of unsaved changes, on a
// mark table nearly full (30,767 marks): the click as the window makes it
// (the mark added and drawn through the Qt canvas on a 1600 x 900 panel of
// 24 traces), each time followed by the journal's share of the window's
// time, as if its timer came due right after every click: the changes
// counted and the tables copied for the journal's thread, which meanwhile
// writes and flushes a full entry after every click. The median and the
// worst click of each run are given besides the mean.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "desktop/QtCanvas.h"
#include "marks/BackgroundJournal.h"
#include "marks/ManualMarking.h"
#include "marks/MarkFile.h"
#include "marks/MarkStore.h"
#include "shell/Display.h"

namespace {

using namespace vk;

constexpr int StartMarks = MaxMarks - 2000;

std::unique_ptr<SessionState> markingSession() {
    auto s = std::make_unique<SessionState>();
    s->PanelAWidth = 1600;
    s->PanelAHeight = 925;
    s->SignalsLoaded = s->FileLoaded = true;
    s->SignalLength = s->NrOfFrames = MaxSamples;
    s->FirstChannel = 1;
    s->NrTraces = 24;
    s->WindowA = MaxSamples;
    for (int i = 0; i < StartMarks; ++i) {
        s->CurrentElectrode = 1 + i % 24;
        AddMarkRecord(*s, (i / 24) * 50 + 17, static_cast<int16_t>(1 + i % 2), 1);
    }
    s->MarkFileName = (std::filesystem::temp_directory_path() / "vk-bench-click.M01").string();
    PrepareMarkHeader(*s);
    WriteMarkFile(*s);
    s->JournalMarks = true;
    return s;
}

void BM_MarkingClick(benchmark::State& st) {
    const bool journaled = st.range(0) != 0;
    auto s = markingSession();
    QuietHost host;
    QtCanvas canvas;
    canvas.resize(1600, 900);
    Ctx ctx{*s, host, RedrawPanels, &canvas, nullptr};
    UpdateDisplayA(ctx);
    auto journal = journaled ? std::make_unique<BackgroundJournal>() : nullptr;
    std::vector<double> us;
    int n = 0;
    for (auto _ : st) {
        if (s->MarkCount >= MaxMarks - 1) s->MarkCount = StartMarks;
        ++n;
        s->MarkingArmed = true;
        s->CurrentElectrode = s->CurrentTrace = 1 + n % 24;
        s->CursorTime = 100 + n % 60000;
        const int x = 100 + n % 1400, y = 60 + (n % 24) * 30;
        const auto begin = std::chrono::steady_clock::now();
        MarkClick(ctx, 1, x, y, false);
        if (journal) journal->offer(*s, 1800000000 + n);
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - begin).count());
        benchmark::DoNotOptimize(canvas.image().constBits());
    }
    if (journal) {
        journal->flush();
        st.counters["entries"] = journal->appended();
        journal.reset();
    }
    std::sort(us.begin(), us.end());
    st.counters["median_us"] = us[us.size() / 2];
    st.counters["worst_us"] = us.back();
    std::filesystem::remove(JournalFileName(s->MarkFileName));
    std::filesystem::remove(s->MarkFileName);
}
BENCHMARK(BM_MarkingClick)->ArgName("journal")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
