// Opening the largest recording the buffers hold (256 channels x 65,535
// frames), against a plain sequential read and copy of the same bytes; and
// what every run of the command-line tool pays first: making a session state
// and opening a small recording.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "input/ElgFile.h"
#include "shell/Commands.h"
#include "shell/Display.h"
#include "session/TextFiles.h"

namespace {

using namespace vk;

const std::string& largestRecording() {
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / "vk-bench-largest.E01").string();
        ElgWriteFormat format;
        format.channels = MaxChannels;
        std::vector<int16_t> frames(static_cast<size_t>(MaxSamples - 1) * MaxChannels);
        for (size_t i = 0; i < frames.size(); ++i) frames[i] = static_cast<int16_t>((i * 2654435761u) >> 20);
        writeBytesAtomic(p, ElgFileBytes(format, frames));
        return p;
    }();
    return path;
}

SessionState& state() {
    static auto s = std::make_unique<SessionState>();
    return *s;
}

void open(benchmark::State& st, bool smooth) {
    const std::string& path = largestRecording();
    SessionState& s = state();
    for (auto _ : st) {
        FileSource src(path);
        const ElgLayout layout = ExamineElgFile(src, path);
        ReadElgFrames(src, layout, s.RawFrames.data(), s.RawFrames.size());
        CopyFramesToSignals(s.RawFrames.data(), s.RawFrames.size(), layout.NrChannelsInFile, layout.NrOfFrames,
                            smooth, s.Signals);
        benchmark::DoNotOptimize(s.Signals.at(1000, 100));
    }
    st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(std::filesystem::file_size(path)));
}

void BM_OpenAndSmooth(benchmark::State& st) { open(st, true); }
void BM_OpenUnsmoothed(benchmark::State& st) { open(st, false); }

// The yardstick: read the file's bytes sequentially and copy them once.
void BM_PlainReadAndCopy(benchmark::State& st) {
    const std::string& path = largestRecording();
    const size_t size = std::filesystem::file_size(path);
    std::vector<char> a(size), b(size);
    for (auto _ : st) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        const size_t got = std::fread(a.data(), 1, size, f);
        std::fclose(f);
        std::memcpy(b.data(), a.data(), got);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) * static_cast<int64_t>(size));
}

// 16 channels x 1000 frames, opened as the command-line tool opens it: no
// recent list, no matrix question, no mark file created.
void BM_NewSessionAndOpenSmall(benchmark::State& st) {
    const auto dir = std::filesystem::temp_directory_path() / "vk-bench-small";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "small.E01").string();
    ElgWriteFormat format;
    format.channels = 16;
    std::vector<int16_t> frames(999 * 16);
    for (size_t i = 0; i < frames.size(); ++i) frames[i] = static_cast<int16_t>(i % 4000);
    writeBytesAtomic(path, ElgFileBytes(format, frames));
    OpenOptions options;
    options.updateRecentList = options.askForMissingMatrix = options.createMarkFile = false;
    QuietHost host;
    for (auto _ : st) {
        auto s = std::make_unique<SessionState>();
        s->DataRoot = dir.string();
        Ctx ctx{*s, host, RedrawPanels};
        if (!OpenElectrogramFile(ctx, path, options)) st.SkipWithError("the small recording did not open");
        benchmark::DoNotOptimize(s->Signals.at(500, 16));
    }
}

BENCHMARK(BM_NewSessionAndOpenSmall)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainReadAndCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndSmooth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenUnsmoothed)->Unit(benchmark::kMillisecond);

}  // namespace
