// The activation detector measured: its accuracy on the noisy demo at four
// rates and four noise levels, its rhythm on a real electrogastrography
// recording, and its speed on a full recording beside a NumPy/SciPy version
// of the same steps (bench/detect_numpy.py, run when python3 has them).
//
//   vk_detect_accuracy [EGG.tsv.gz [accuracy|egg|speed]]   (default ../shared/data/egg-semi-8ch-10hz.tsv.gz)
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "electrograms/Detector.h"
#include "electrograms/Filter.h"
#include "electrograms/Welch.h"
#include "input/DemoRecording.h"
#include "session/Host.h"
#include "shell/Commands.h"
#include "shell/Display.h"
#include "shell/ViewCommands.h"

using namespace vk;

namespace {

constexpr double MatchMs = 30;

struct Score {
    int truths = 0, detections = 0, matched = 0;
    std::vector<double> errors;
};

double median(std::vector<double> v) {
    if (v.empty()) return std::nan("");
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : 0.5 * (v[v.size() / 2 - 1] + v[v.size() / 2]);
}

// Detections matched one to one with true times within 30 ms, nearest first.
void match(const std::vector<double>& truth, const std::vector<double>& found, Score& score) {
    score.truths += static_cast<int>(truth.size());
    score.detections += static_cast<int>(found.size());
    struct Pair {
        double distance;
        std::size_t t, f;
    };
    std::vector<Pair> pairs;
    for (std::size_t t = 0; t < truth.size(); ++t)
        for (std::size_t f = 0; f < found.size(); ++f)
            if (std::fabs(found[f] - truth[t]) <= MatchMs) pairs.push_back({std::fabs(found[f] - truth[t]), t, f});
    std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) { return a.distance < b.distance; });
    std::vector<bool> usedT(truth.size()), usedF(found.size());
    for (const Pair& p : pairs) {
        if (usedT[p.t] || usedF[p.f]) continue;
        usedT[p.t] = usedF[p.f] = true;
        ++score.matched;
        score.errors.push_back(p.distance);
    }
}

std::unique_ptr<SessionState> openDemo(const std::string& folder, int rate, int noise, QuietHost& host) {
    const DemoFiles files = WriteDemoRecording(folder, rate, noise, 1);
    auto s = std::make_unique<SessionState>();
    s->DataRoot = folder;
    s->SmoothOnLoad = false;
    Ctx ctx{*s, host, RedrawPanels};
    UseNewMatrix(*s, files.matrix);
    OpenOptions options;
    options.updateRecentList = options.askForMissingMatrix = options.createMarkFile = false;
    options.useJournal = false;
    if (!OpenElectrogramFile(ctx, files.recording, options)) return nullptr;
    ResetViewAfterLoad(*s);
    SetSamplingFrequency(*s, rate);
    return s;
}

void accuracyTable() {
    std::printf("Demo recording, 128 electrodes, seed 1: sensitivity / positive predictive value / median |error| (ms)\n");
    std::printf("rate Hz\tnoise 0\tnoise 1\tnoise 2\tnoise 3\n");
    QuietHost host;
    const auto folder = (std::filesystem::temp_directory_path() / "vk-detect-accuracy").string();
    for (int rate : {250, 500, 1000, 2000}) {
        std::printf("%d", rate);
        for (int noise = 0; noise <= DemoMaxNoise; ++noise) {
            auto s = openDemo(folder, rate, noise, host);
            if (!s) {
                std::printf("\t(not opened)");
                continue;
            }
            DetectOptions o;
            for (int r = 1; r <= DemoRows; ++r)
                for (int k = 1; k <= DemoColumns; ++k) o.channels.push_back(DemoFirstElectrode + (r - 1) * DemoColumns + k - 1);
            const DetectRows rows = DetectWindowRows(*s, o);
            Score score;
            for (std::size_t i = 0; i < o.channels.size(); ++i) {
                const int k = static_cast<int>(i) % DemoColumns + 1, r = static_cast<int>(i) / DemoColumns + 1;
                const ChannelDetection d = DetectSignalChannel(*s, o.channels[i], o);
                std::vector<double> truth, found;
                for (int w = 1; w <= DemoWaves; ++w) {
                    const double t = DemoActivationTimeWithNoise(w, k, r, rate, noise);
                    if (t >= 0) truth.push_back(t);
                }
                for (double p : d.positions) found.push_back((rows.first + p) * 1000.0 / rate);
                match(truth, found, score);
            }
            std::printf("\t%.3f / %.3f / %.1f", static_cast<double>(score.matched) / score.truths,
                        score.detections ? static_cast<double>(score.matched) / score.detections : 0.0, median(score.errors));
        }
        std::printf("\n");
    }
}

void eggTable(const std::string& path) {
    FILE* in = popen(("gzip -dc '" + path + "'").c_str(), "r");
    std::vector<std::vector<double>> channels(8);
    if (in) {
        char line[4096];
        while (std::fgets(line, sizeof line, in)) {
            std::istringstream fields(line);
            for (auto& c : channels) {
                double v = 0;
                if (fields >> v) c.push_back(v * 1e6);  // volts to microvolts, the signal unit here
            }
        }
        pclose(in);
    }
    if (channels[0].size() < 100) {
        std::printf("\n(%s could not be read: no electrogastrography table)\n", path.c_str());
        return;
    }
    const double rate = 10;
    std::printf("\nElectrogastrography, 8 channels, 10 Hz, %zu samples, detected with rhythm 2-4 cycles/min:\n",
                channels[0].size());
    std::printf("channel\tmarks\tband (Hz)\tmin interval (ms)\tthreshold\tdominant\tdetected rhythm\tWelch peak\tdifference (cycles/min)\n");
    DetectOptions o;
    o.rhythmLowCpm = 2;
    o.rhythmHighCpm = 4;
    for (std::size_t c = 0; c < channels.size(); ++c) {
        // The signal is stored in whole microvolts, as a recording would be.
        std::vector<double> x(channels[c].size());
        for (std::size_t i = 0; i < x.size(); ++i) x[i] = std::round(channels[c][i]);
        const ChannelDetection d = DetectChannel(x.data(), x.size(), rate, o);
        std::vector<double> intervals;
        for (std::size_t i = 1; i < d.positions.size(); ++i) intervals.push_back((d.positions[i] - d.positions[i - 1]) * 100);
        const double detected = 60000 / median(intervals);
        // The reference: median removed, 0.015-0.15 Hz zero-phase band-pass,
        // Welch with 200 s segments, half overlap, its peak in 2-4 cycles/min.
        std::vector<double> y = x;
        std::vector<double> sorted = y;
        std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
        const double mid = sorted[sorted.size() / 2];
        for (double& v : y) v -= mid;
        FilterZeroPhase(y, BandPassSections(0.015, 0.15, rate), 2000);
        const Spectrum sp = WelchSpectrum(y.data(), y.size(), rate, 2000);
        const double welch = PeakFrequency(sp, 2.0 / 60, 4.0 / 60) * 60;
        std::printf("%zu\t%zu\t%.4f-%.4f\t%.0f\t%.1f\t%.2f\t%.3f\t%.3f\t%+.3f\n", c + 1, d.positions.size(), d.bandLowHz,
                    d.bandHighHz, d.minIntervalMs, d.threshold, d.dominantCpm, detected, welch, detected - welch);
    }
}

void speed() {
    // A full recording: 256 channels x 65,535 samples at 1000 Hz, the
    // demo's waves at 3 per minute with noise on every channel.
    auto s = std::make_unique<SessionState>();
    s->SamplingFrequency = 1000;
    s->HighRateMode = false;
    s->NrOfFrames = MaxSamples;
    s->SignalLength = MaxSamples;
    s->NrChannelsInFile = MaxChannels;
    uint64_t state = 88172645463325252ULL;
    auto noise = [&] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<double>(state >> 11) / 9007199254740992.0 - 0.5;
    };
    for (int c = 1; c <= MaxChannels; ++c)
        for (int r = 1; r <= MaxSamples; ++r) {
            const double x = std::fmod(r + 37.0 * c, 20000.0) - 10000.0;
            s->Signals.at(r, c) = static_cast<int32_t>(std::lround(
                -1500 * std::tanh(x / 25) * std::exp(-(x / 350) * (x / 350)) + 200 * noise() + 5000));
        }
    double best = 1e9;
    int marks = 0;
    for (int run = 0; run < 3; ++run) {
        s->MarkCount = 0;
        const auto start = std::chrono::steady_clock::now();
        const DetectResult r = DetectActivations(*s, DetectOptions{});
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        best = std::min(best, seconds);
        marks = r.marksAdded;
    }
    std::printf("\nSpeed, 256 channels x 65,535 samples: ours %.3f s (best of 3, %d marks)\n", best, marks);

    const auto file = std::filesystem::temp_directory_path() / "vk-detect-speed.i32";
    {
        std::ofstream out(file, std::ios::binary);
        for (int r = 1; r <= MaxSamples; ++r)
            out.write(reinterpret_cast<const char*>(s->Signals.row(r)), MaxChannels * sizeof(int32_t));
    }
    const std::string script = std::string(VK_SOURCE_DIR) + "/bench/detect_numpy.py";
    const std::string command = "/usr/bin/python3 '" + script + "' '" + file.string() + "' 256 65535 1000 2>&1";
    FILE* p = popen(command.c_str(), "r");
    double theirs = 0;
    std::string output;
    if (p) {
        char line[512];
        while (std::fgets(line, sizeof line, p)) {
            output += line;
            std::sscanf(line, "Seconds=%lf", &theirs);
        }
        pclose(p);
    }
    std::filesystem::remove(file);
    if (theirs > 0)
        std::printf("NumPy/SciPy (sosfiltfilt + find_peaks), same steps: %.3f s; ours is %.1fx faster\n%s", theirs,
                    theirs / best, output.c_str());
    else
        std::printf("NumPy/SciPy version not run: %s", output.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    // The shared data folder lies beside the checkout (or beside the folder of worktrees).
    std::string egg = std::string(VK_SOURCE_DIR) + "/../shared/data/egg-semi-8ch-10hz.tsv.gz";
    if (!std::filesystem::exists(egg)) egg = std::string(VK_SOURCE_DIR) + "/../../shared/data/egg-semi-8ch-10hz.tsv.gz";
    if (argc > 1) egg = argv[1];
    const std::string only = argc > 2 ? argv[2] : "";
    if (only.empty() || only == "accuracy") accuracyTable();
    if (only.empty() || only == "egg") eggTable(egg);
    if (only.empty() || only == "speed") speed();
    return 0;
}
