// The propagation movie on a 16 x 16 matrix over a 60 s window at 50 ms
// steps (1,201 frames of 500 x 500): the whole animated GIF as
// "vorelkant-cli animate" writes it, and one frame as the Animate window
// draws it while playing. Slow waves cross the array diagonally, each over
// 2,400 ms: every 3 s (the argument 3000), so that nearly every frame
// changes cells all over the grid, or every 20 s as in the demo recording.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "desktop/MovieGif.h"
#include "input/Matrix.h"
#include "marks/MarkStore.h"

namespace {

using namespace vk;

std::unique_ptr<SessionState> movieSession(int period) {
    auto s = std::make_unique<SessionState>();
    ApplyMatrix(*s, RowByRowMatrix(16, 16, 1, 1.0));
    for (int wave = 0; wave < 60000 / period; ++wave)
        for (int e = 1; e <= 256; ++e) {
            const int c = 1 + (e - 1) % 16, r = 1 + (e - 1) / 16;
            s->CurrentElectrode = e;
            AddMarkRecord(*s, 500 + wave * period + c * 90 + r * 70, SlowWave, 1);
        }
    return s;
}

constexpr MovieSettings MinuteAt50ms{0, 60000, 50, 1000, SlowWave};

void BM_MovieGif(benchmark::State& st) {
    auto s = movieSession(static_cast<int>(st.range(0)));
    QtCanvas measure;
    const Movie movie(*s, MinuteAt50ms, 500, 500, measure);
    const std::string path = "/tmp/vk_bench_movie.gif";
    for (auto _ : st) WriteMovieGif(movie, path, GifDelayFor(20));
    std::remove(path.c_str());
    st.counters["frames"] = movie.frames();
}
// Wall time, and the CPU time of both threads (the frames are encoded on a second one).
BENCHMARK(BM_MovieGif)->Arg(3000)->Arg(20000)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_MoviePlaybackFrame(benchmark::State& st) {
    auto s = movieSession(3000);
    QtCanvas canvas;
    canvas.resize(500, 500);
    const Movie movie(*s, MinuteAt50ms, 500, 500, canvas);
    // 0: the whole frame; 1: what changed since the frame before, as playing does.
    const bool changes = st.range(0) != 0;
    int k = 0;
    for (auto _ : st) {
        canvas.beginDraw();
        movie.drawFrame(canvas, k, changes && k > 0 ? k - 1 : -1);
        canvas.endDraw();
        benchmark::DoNotOptimize(canvas.image().constBits());
        k = (k + 1) % movie.frames();
    }
}
BENCHMARK(BM_MoviePlaybackFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
