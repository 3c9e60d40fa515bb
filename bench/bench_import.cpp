// Reading the text recordings: each format on the largest file of 64
// channels it accepts (65,500 samples; NI 65,535 lines), from the file on
// disk to the samples parsed. The files stay in VK_IMPORT_BENCH_DIR (default
// /tmp/vk-import-bench) so that bench/compare_import.py can time other
// readers on the very same bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "input/TextRecording.h"
#include "session/TextFiles.h"

namespace {

using namespace vk;

constexpr int Channels = 64;

std::string benchDir() {
    const char* d = std::getenv("VK_IMPORT_BENCH_DIR");
    return d ? d : "/tmp/vk-import-bench";
}

// Writes the file of a format once (values as each format's files hold them)
// and returns its path.
std::string benchFile(TextFormat f, int samples) {
    static const char* const names[] = {"", "", "", "ni.txt", "nashville.txt", "auckland.txt", "manchester.txt"};
    const std::string path = benchDir() + "/" + names[static_cast<int>(f)];
    if (fileExists(path)) return path;
    std::filesystem::create_directories(benchDir());
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::string text;
    char buf[64];
    if (f == TextFormat::Auckland) {
        text = std::to_string(10) + "\n" + std::to_string(Channels) + "\n" + std::to_string(samples) +
               "\n2000\n1.0\nM64.txt\nbench\n0\n0\n0\n";
    } else {
        text = "header 1\nheader 2\nheader 3\n";
    }
    for (int n = 1; n <= samples; ++n) {
        if (f == TextFormat::NI || f == TextFormat::Manchester) {
            std::snprintf(buf, sizeof buf, "01/02/2009 12:%02d:%02d.%03d", (n / 60000) % 60, (n / 1000) % 60, n % 1000);
            text += buf;
        }
        for (int c = 1; c <= Channels; ++c) {
            const double v = noise(rng);
            if (f == TextFormat::Nashville) {
                std::snprintf(buf, sizeof buf, "%.4f", v * 100.0);  // microvolts
            } else if (f == TextFormat::Auckland) {
                std::snprintf(buf, sizeof buf, "%.6f", v * 0.1);  // millivolts
            } else {
                std::snprintf(buf, sizeof buf, "%.8e", v * 1e-4);  // volts
            }
            if (f == TextFormat::Auckland) {
                text += buf;
                text += '\n';
            } else {
                text += (c == 1 && f == TextFormat::Nashville) ? "" : "\t";
                text += buf;
            }
        }
        if (f != TextFormat::Auckland) text += "\r\n";
    }
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
    return path;
}

void BM_ImportText(benchmark::State& state) {
    const auto format = static_cast<TextFormat>(state.range(0));
    const int samples = format == TextFormat::NI ? 65535 : 65500;
    const std::string path = benchFile(format, samples);
    const TextLayout layout = LayoutOf(format, Channels, samples, 10, 747);
    std::vector<int32_t> out;
    size_t bytes = 0;
    for (auto _ : state) {
        const MappedText file(path);
        ReadTextSamples(file.text(), layout, out);
        bytes = file.text().size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
    state.SetLabel(path);
}
BENCHMARK(BM_ImportText)
    ->ArgName("format")
    ->Arg(static_cast<int>(TextFormat::NI))
    ->Arg(static_cast<int>(TextFormat::Nashville))
    ->Arg(static_cast<int>(TextFormat::Auckland))
    ->Arg(static_cast<int>(TextFormat::Manchester))
    ->Unit(benchmark::kMillisecond);

}  // namespace
