#include "input/DemoRecording.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "input/ElgFile.h"
#include "session/TextFiles.h"

namespace vk {

namespace {

constexpr double Distance = 2.5;        // mm between neighbouring electrodes
constexpr double Speed = 6.0;           // mm/s
constexpr double DirectionDeg = 20.0;   // from the column axis toward the rows
constexpr double FirstWave = 3000.0;    // ms
constexpr double Amplitude = 1500.0;    // converter units (about 2 mV)
constexpr double Upstroke = 25.0;       // ms: width of the downstroke
constexpr double Extent = 350.0;        // ms: duration of the deflection
constexpr double NoiseSigma = 40.0;

// A small deterministic generator, so that the demo is the same everywhere.
struct Rng {
    uint64_t state = 0x9E3779B97F4A7C15ULL;
    double uniform() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return (static_cast<double>(state >> 11) + 0.5) / 9007199254740992.0;
    }
    double normal() {
        const double u1 = uniform();
        const double u2 = uniform();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
    }
};

int electrodeAt(int column, int row) { return DemoFirstElectrode + (row - 1) * DemoColumns + (column - 1); }

}  // namespace

int DemoFramesAt(int rate) {
    return static_cast<int>(std::min<int64_t>(DemoFrames, int64_t{DemoFrames} * std::max(1, rate) / 1000));
}

double DemoPeriod(int rate) {
    return static_cast<double>(DemoFramesAt(rate)) * 1000.0 / std::max(1, rate) / DemoWaves;
}

double DemoActivationTime(int wave, int column, int row, int rate) {
    const double angle = DirectionDeg * 3.141592653589793 / 180.0;
    const double along = ((column - 1) * std::cos(angle) + (row - 1) * std::sin(angle)) * Distance;
    return FirstWave + (wave - 1) * DemoPeriod(rate) + along / Speed * 1000.0;
}

DemoFiles WriteDemoRecording(const std::string& folder, int rate) { return WriteDemoRecording(folder, rate, 0, 1); }

double DemoActivationTimeWithNoise(int wave, int column, int row, int rate, int noise) {
    if (noise <= 0) return DemoActivationTime(wave, column, row, rate);
    // The second wave starts at the other corner of the first column.
    if (wave == 2) return DemoActivationTime(wave, column, DemoRows + 1 - row, rate);
    // From level 2 the third wave is blocked beyond the middle of the array.
    if (wave == 3 && noise >= 2 && column > DemoColumns / 2 + 2) return -1;
    return DemoActivationTime(wave, column, row, rate);
}

DemoFiles WriteDemoRecording(const std::string& folder, int rate, int noise, uint32_t seed) {
    rate = std::max(1, rate);
    noise = std::clamp(noise, 0, DemoMaxNoise);
    const int frameCount = DemoFramesAt(rate);
    makeFolders(folder);
    DemoFiles files{folder + "/demo-matrix.txt", folder + "/demo.E01", folder + "/demo-truth.txt"};

    std::vector<std::string> matrix = {"-2",
                                       std::to_string(DemoColumns * DemoRows) + " " + std::to_string(DemoColumns) +
                                           " " + std::to_string(DemoRows) + " 2.5",
                                       "demo array: 16 columns x 8 rows, electrodes 17..144"};
    for (int r = 1; r <= DemoRows; ++r) {
        std::string line;
        for (int k = 1; k <= DemoColumns; ++k) line += (k > 1 ? " " : "") + std::to_string(electrodeAt(k, r));
        matrix.push_back(line);
    }
    writeLinesAtomic(files.matrix, matrix);

    std::vector<int16_t> frames(static_cast<size_t>(frameCount) * DemoChannels, 0);
    Rng rng;
    // The troubles of the noisy demo come from a generator of their own, so
    // that the plain demo stays as it always was.
    Rng trouble;
    trouble.state ^= (uint64_t{seed} + 1) * 0xD1B54A32D192ED03ULL;
    const double level = noise;
    for (int r = 1; r <= DemoRows; ++r) {
        for (int k = 1; k <= DemoColumns; ++k) {
            const int e = electrodeAt(k, r);
            const double wander = 0.3 + 0.1 * k;  // a slow baseline drift, different per electrode
            // Per electrode: the phase of the slow wander and the hum, the
            // state of the pink noise (three first-order stages of different
            // time constants) and the motion artefacts (a few brief spikes).
            const double phase = 6.283185307179586 * trouble.uniform();
            double pink[3] = {0, 0, 0};
            const double pinkPole[3] = {std::exp(-2 * 3.141592653589793 * 1.0 / rate),
                                        std::exp(-2 * 3.141592653589793 * 10.0 / rate),
                                        std::exp(-2 * 3.141592653589793 * 100.0 / rate)};
            std::vector<int> artefacts;
            for (int a = 0; a < noise * 2; ++a) artefacts.push_back(static_cast<int>(trouble.uniform() * frameCount));
            const int artefactWidth = std::max(1, rate / 1000);
            for (int f = 0; f < frameCount; ++f) {
                // The time (ms) of the signal row this frame becomes.
                const double t = (f + 1) * 1000.0 / rate;
                double v = 120.0 * std::sin(t * 2 * 3.141592653589793 / 9000.0 * wander);
                for (int w = 1; w <= DemoWaves; ++w) {
                    const double at = DemoActivationTimeWithNoise(w, k, r, rate, noise);
                    if (at < 0) continue;
                    const double x = t - at;
                    if (std::fabs(x) > 4 * Extent) continue;
                    // Positive before the activation, a steep downstroke at
                    // it, and a slow return afterwards.
                    v -= Amplitude * std::tanh(x / Upstroke) * std::exp(-(x / Extent) * (x / Extent));
                }
                if (noise > 0) {
                    v += level * 150.0 * std::sin(t * 2 * 3.141592653589793 / 40000.0 + phase);  // drift
                    v += level * 30.0 * std::sin(t * 2 * 3.141592653589793 * 50.0 / 1000.0 + phase);  // mains
                    v += level * 25.0 * trouble.normal();                                           // broadband
                    double p = 0;
                    for (int stage = 0; stage < 3; ++stage) {
                        pink[stage] = pinkPole[stage] * pink[stage] +
                                      std::sqrt(1 - pinkPole[stage] * pinkPole[stage]) * trouble.normal();
                        p += pink[stage];
                    }
                    v += level * 12.0 * p;
                    for (int a : artefacts)
                        if (f >= a && f < a + artefactWidth) v += (a % 2 ? 1 : -1) * 4000.0;
                }
                v += NoiseSigma * rng.normal();
                frames[static_cast<size_t>(f) * DemoChannels + static_cast<size_t>(e - 1)] =
                    static_cast<int16_t>(std::clamp<long>(std::lround(v), -32768, 32767));
            }
        }
    }
    ElgWriteFormat format;
    format.channels = DemoChannels;
    format.matrixName = "demo-matrix.txt";
    writeBytesAtomic(files.recording, ElgFileBytes(format, frames));

    std::vector<std::string> truth = {
        "# True activation times of the demo recording: the moment of steepest downstroke,",
        "# in ms (" + std::to_string(rate) + " Hz; smoothing on load moves it 10.5 samples earlier).",
        "Wave\tElectrode\tColumn\tRow\tTime"};
    if (noise > 0)
        truth.insert(truth.begin() + 2, "# Noise level " + std::to_string(noise) + ", seed " + std::to_string(seed) +
                                            ": only the activations that happen are listed.");
    for (int w = 1; w <= DemoWaves; ++w)
        for (int r = 1; r <= DemoRows; ++r)
            for (int k = 1; k <= DemoColumns; ++k)
                if (DemoActivationTimeWithNoise(w, k, r, rate, noise) >= 0)
                truth.push_back(std::to_string(w) + "\t" + std::to_string(electrodeAt(k, r)) + "\t" +
                                std::to_string(k) + "\t" + std::to_string(r) + "\t" +
                                std::to_string(std::lround(DemoActivationTimeWithNoise(w, k, r, rate, noise))));
    writeLinesAtomic(files.truth, truth);
    return files;
}

}  // namespace vk
