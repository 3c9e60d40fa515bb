#include "electrograms/Detector.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <thread>

#include "electrograms/Filter.h"
#include "electrograms/Welch.h"
#include "marks/MarkStore.h"
#include "session/SampleTime.h"

namespace vk {

namespace {

constexpr double MadToSigma = 1.4826;   // median absolute deviation to a Gaussian deviation
constexpr double IntervalOfPeriod = 0.7;
constexpr double BandLowOfRhythm = 0.5, BandHighOfRhythm = 20.0, BandHighOfRate = 0.4;
constexpr double SmallestOfMedianDeflection = 0.5;
constexpr int ChannelsPerGroup = 16;
constexpr double LagSpread = 0.12;    // how far a cycle-to-cycle varying period strays
constexpr double LagSmoothing = 0.12;  // the correlation is averaged over this fraction of the lag
constexpr double RhythmSegmentPeriods = 8;  // Welch segments span this many periods of the slowest rhythm

std::size_t nextPowerOfTwo(std::size_t n) {
    std::size_t p = 1;
    while (p < n) p <<= 1;
    return p;
}

// Large buffers are kept per thread from channel to channel: fresh ones
// would cost more in zeroed memory pages than the work done in them.
thread_local std::vector<double> scratch;

double medianOf(const std::vector<double>& values) {
    std::vector<double>& v = scratch;
    v.assign(values.begin(), values.end());
    if (v.empty()) return 0;
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    if (v.size() % 2 == 1) return *mid;
    return 0.5 * (*mid + *std::max_element(v.begin(), mid));
}

// Running median of 5: a spike of one or two samples disappears, an edge
// stays where it is. The first and last two samples are kept.
void despike(const std::vector<double>& x, std::vector<double>& y) {
    y.assign(x.begin(), x.end());
    // The median of five by a fixed network of comparisons (no branches).
    auto order = [](double& a, double& b) {
        const double low = std::min(a, b);
        b = std::max(a, b);
        a = low;
    };
    for (std::size_t i = 2; i + 2 < x.size(); ++i) {
        double a = x[i - 2], b = x[i - 1], c = x[i], d = x[i + 1], e = x[i + 2];
        order(a, b);
        order(d, e);
        order(a, d);  // a is now the smallest of four, out
        order(b, e);  // e the largest of four, out
        order(b, c);
        order(c, d);
        order(b, c);
        y[i] = c;
    }
}

// For every i: the highest of v[i - reach .. i] (before = true) or the
// lowest of v[i .. i + reach], with a queue of the values that can still be
// the extreme, so that the cost does not grow with reach.
void runningExtreme(const std::vector<double>& v, std::size_t reach, bool before, std::vector<double>& out) {
    const std::size_t n = v.size();
    out.resize(n);
    thread_local std::vector<std::size_t> queue;
    queue.resize(n);
    std::size_t head = 0, tail = 0;
    for (std::size_t step = 0; step < n; ++step) {
        const std::size_t i = before ? step : n - 1 - step;
        auto beats = [&](std::size_t j) { return before ? v[i] >= v[j] : v[i] <= v[j]; };
        while (tail > head && beats(queue[tail - 1])) --tail;
        queue[tail++] = i;
        const std::size_t oldest = queue[head];
        if ((before ? i - oldest : oldest - i) > reach) ++head;
        out[i] = v[queue[head]];
    }
}

// The rhythm is the highest peak of the Welch spectrum of the squared
// slope inside the range, or a subharmonic of it: a train of brief
// deflections has harmonics of nearly equal power, so its highest peak may
// be any of them. The autocorrelation (the inverse transform of the same
// power spectrum) decides: of the peak's period and its multiples inside
// the range, the one with the highest correlation is the rhythm's period.
// A rhythm that varies from cycle to cycle moves its correlation peak away
// from the exact multiple, so the peak is looked for within 12 per cent of
// it, on the correlation averaged over 12 per cent of the lag.
double periodicRhythm(const std::vector<double>& train, double rate, double lowHz, double highHz) {
    const double none = std::nan("");
    const auto segment = std::min(train.size(), static_cast<std::size_t>(std::ceil(RhythmSegmentPeriods * rate / lowHz)));
    const Spectrum spectrum = WelchSpectrum(train.data(), train.size(), rate, segment, 2 * nextPowerOfTwo(segment));
    const double peak = PeakFrequency(spectrum, lowHz, highHz);
    if (!std::isfinite(peak) || peak <= 0) return none;
    const std::vector<double> r = Autocorrelation(train.data(), train.size());
    if (r.size() < 4 || !(r[0] > 0)) return peak;
    std::vector<double> sum(r.size() + 1, 0.0);
    for (std::size_t k = 0; k < r.size(); ++k) sum[k + 1] = sum[k] + r[k];
    auto meanAt = [&](std::size_t k) {
        const auto spread = static_cast<std::size_t>(LagSmoothing * static_cast<double>(k));
        const std::size_t from = k - std::min(spread, k - 1), to = std::min(r.size() - 1, k + spread);
        return (sum[to + 1] - sum[from]) / static_cast<double>(to + 1 - from);
    };
    // The correlation of a period is the local maximum near its lag; a lag
    // where the correlation only falls (noise that is correlated over short
    // times) confirms nothing.
    auto score = [&](double lag) {
        auto k = static_cast<std::size_t>(std::llround(lag));
        if (k < 2 || k + 2 >= r.size()) return -1e300;
        const auto spread = static_cast<std::size_t>(std::ceil(LagSpread * lag));
        const std::size_t low = k > spread + 1 ? k - spread : 1, high = std::min(r.size() - 2, k + spread);
        while (k < high && meanAt(k + 1) > meanAt(k)) ++k;
        while (k > low && meanAt(k - 1) > meanAt(k)) --k;
        const bool peaked = meanAt(k) > meanAt(k - 1) && meanAt(k) >= meanAt(k + 1);
        return peaked ? meanAt(k) : -1e300;
    };
    int best = 1;
    double bestScore = score(rate / peak);
    for (int m = 2; peak / m >= lowHz; ++m) {
        const double s = score(rate * m / peak);
        if (s > bestScore) {
            best = m;
            bestScore = s;
        }
    }
    return peak / best;
}

// The dominant rhythm (Hz) of the squared falling slope, or NaN.
double dominantRhythm(const std::vector<double>& x, double rate, double lowCpm, double highCpm, double sign) {
    const double nyquist = rate / 2;
    const double lowHz = lowCpm / 60 / 2;
    const double highHz = std::min(2 * highCpm / 60, 0.45 * rate);
    thread_local std::vector<double> v;
    v.assign(x.begin(), x.end());
    if (lowHz < highHz && highHz < nyquist) FilterForward(v, BandPassSections(lowHz, highHz, rate));
    // The train is the squared falling slope: its energy, so that the few
    // steep downstrokes of the waves outweigh the many small slopes of
    // broadband and pink noise (rectified alone, noise slopes add up to as
    // much power and a chance peak of theirs can be taken for the rhythm).
    // Averages of `step` samples keep its content up to the band's top and
    // make the spectrum cheap.
    const auto step = static_cast<std::size_t>(std::max(1.0, std::floor(rate / (8 * highHz))));
    std::vector<double> slope;
    slope.reserve(v.size() / step + 1);
    double sum = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i + 1 < v.size(); ++i) {
        const double fall = std::max(0.0, sign * (v[i] - v[i + 1]));
        sum += fall * fall;
        if (++count == step) {
            slope.push_back(sum / static_cast<double>(step));
            sum = 0;
            count = 0;
        }
    }
    const double slopeRate = rate / static_cast<double>(step);
    if (slope.size() < 8) return std::nan("");
    return periodicRhythm(slope, slopeRate, lowCpm / 60, highCpm / 60);
}

}  // namespace

ChannelDetection DetectChannel(const double* x, std::size_t n, double rate, const DetectOptions& o) {
    ChannelDetection d;
    d.needsRhythm = !(o.bandLowHz && o.bandHighHz && o.minIntervalMs);
    const double sign = o.positive ? -1.0 : 1.0;  // a fall of sign * y is a deflection
    thread_local std::vector<double> v, work;
    v.assign(x, x + n);
    if (n < 8 || std::all_of(v.begin(), v.end(), [&](double a) { return a == v[0]; })) {
        d.flat = true;
        return d;
    }
    const double centre = medianOf(v);
    for (double& a : v) a -= centre;
    despike(v, work);
    v.swap(work);

    const double f0 = dominantRhythm(v, rate, o.rhythmLowCpm, o.rhythmHighCpm, sign);
    d.rhythmFound = std::isfinite(f0) && f0 > 0;
    if (d.rhythmFound) d.dominantCpm = f0 * 60;
    if (d.needsRhythm && !d.rhythmFound) return d;
    d.bandLowHz = o.bandLowHz ? *o.bandLowHz : BandLowOfRhythm * f0;
    d.bandHighHz = o.bandHighHz ? *o.bandHighHz
                                : std::min({BandHighOfRhythm * f0, 2 * o.rhythmHighCpm / 60, BandHighOfRate * rate});
    d.minIntervalMs = o.minIntervalMs ? *o.minIntervalMs : IntervalOfPeriod * 1000 / f0;
    if (!(d.bandLowHz < d.bandHighHz)) return d;

    // Zero-phase band-pass; the mirrored ends cover three periods of the high edge.
    const auto pad = static_cast<std::size_t>(std::ceil(3 * rate / d.bandHighHz));
    FilterZeroPhase(v, BandPassSections(d.bandLowHz, d.bandHighHz, rate), pad);
    if (sign < 0)
        for (double& a : v) a = -a;  // from here on a deflection is always a fall

    std::vector<double>& deviation = work;
    deviation.resize(n);
    const double middle = medianOf(v);
    for (std::size_t i = 0; i < n; ++i) deviation[i] = std::fabs(v[i] - middle);
    d.noise = MadToSigma * medianOf(deviation);
    d.threshold = o.threshold * d.noise;

    // Candidates: maxima of the falling slope with a deflection that reaches the threshold.
    // A deflection is measured over half a period of the band's middle
    // (the geometric mean of its edges) on either side: long enough for the
    // whole fall of a smooth wave, short enough that drift adds little.
    const auto reach =
        static_cast<std::size_t>(std::max(1.0, std::round(rate / (2 * std::sqrt(d.bandLowHz * d.bandHighHz)))));
    auto fall = [&](std::size_t i) { return 0.5 * (v[i - 1] - v[i + 1]); };
    struct Candidate {
        std::size_t at;
        double slope, deflection;
    };
    thread_local std::vector<double> highBefore, lowAfter;
    runningExtreme(v, reach, true, highBefore);
    runningExtreme(v, reach, false, lowAfter);
    std::vector<Candidate> candidates;
    double previous = 0, current = n > 2 ? fall(1) : 0;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double next = i + 2 < n ? fall(i + 1) : 0;
        if (current > 0 && current > previous && current >= next) {
            const double deflection = highBefore[i] - lowAfter[i];
            if (deflection >= d.threshold && deflection > 0) candidates.push_back({i, current, deflection});
        }
        previous = current;
        current = next;
    }
    // The steepest first; ties go to the earlier sample.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.slope > b.slope; });
    const double clear = d.minIntervalMs * rate / 1000;
    std::set<std::size_t> keptAt;
    std::vector<Candidate> kept;
    for (const Candidate& c : candidates) {
        auto after = keptAt.lower_bound(c.at);
        if (after != keptAt.end() && static_cast<double>(*after - c.at) < clear) continue;
        if (after != keptAt.begin() && static_cast<double>(c.at - *std::prev(after)) < clear) continue;
        keptAt.insert(c.at);
        kept.push_back(c);
    }
    std::vector<double> deflections;
    for (const Candidate& c : kept) deflections.push_back(c.deflection);
    const double smallest = SmallestOfMedianDeflection * medianOf(deflections);
    for (const Candidate& c : kept) {
        if (c.deflection < smallest) continue;
        const std::size_t i = c.at;
        const double a = i >= 2 ? fall(i - 1) : c.slope, b = c.slope, e = i + 2 < n ? fall(i + 1) : c.slope;
        const double bend = a - 2 * b + e;
        const double offset = bend < 0 ? std::clamp(0.5 * (a - e) / bend, -0.5, 0.5) : 0.0;
        d.positions.push_back(static_cast<double>(i) + offset);
    }
    std::sort(d.positions.begin(), d.positions.end());
    return d;
}

double DetectRate(const SessionState& s) { return s.HighRateMode ? std::max(1, s.SamplingFrequency) : 1000.0; }

DetectRows DetectWindowRows(const SessionState& s, const DetectOptions& o) {
    const int32_t rows = RecordingRows(s);
    DetectRows r;
    r.first = std::clamp(SampleOfTime(s, o.beginMs), 1, std::max(rows, 1));
    r.last = o.windowMs ? std::clamp(SampleOfTime(s, int64_t{o.beginMs} + *o.windowMs), 0, rows) : rows;
    if (rows < 1) r.last = 0;
    return r;
}

ChannelDetection DetectSignalChannel(const SessionState& s, int channel, const DetectOptions& o) {
    const DetectRows rows = DetectWindowRows(s, o);
    thread_local std::vector<double> x;
    x.clear();
    for (int32_t r = rows.first; r <= rows.last; ++r) x.push_back(s.Signals.at(r, channel));
    ChannelDetection d = DetectChannel(x.data(), x.size(), DetectRate(s), o);
    d.channel = channel;
    return d;
}

int32_t DetectionTime(const SessionState& s, const DetectRows& rows, double position) {
    const double row = rows.first + position;
    return static_cast<int32_t>(roundHalfEven(row * 1000.0 / DetectRate(s)));
}

DetectResult DetectActivations(SessionState& s, const DetectOptions& o) { return DetectActivations(s, o, {}); }

DetectResult DetectActivations(SessionState& s, const DetectOptions& o,
                               const std::function<bool(int, int, int)>& progress) {
    DetectResult result;
    std::vector<int> channels = o.channels;
    if (channels.empty())
        for (int c = 1; c <= RecordingChannels(s); ++c) channels.push_back(c);
    const DetectRows rows = DetectWindowRows(s, o);
    const int32_t low = TimeOfSample(s, rows.first), high = TimeOfSample(s, rows.last);
    const int total = static_cast<int>(channels.size());
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    s.MarkOrigin = AutomaticOrigin;
    for (int start = 0; start < total; start += ChannelsPerGroup) {
        const int count = std::min(ChannelsPerGroup, total - start);
        std::vector<ChannelDetection> group(static_cast<std::size_t>(count));
        // Each channel is detected on its own; the threads only share the
        // work, so the marks are the same with any number of them.
        auto work = [&](unsigned t) {
            for (int k = static_cast<int>(t); k < count; k += static_cast<int>(threads))
                group[static_cast<std::size_t>(k)] = DetectSignalChannel(s, channels[static_cast<std::size_t>(start + k)], o);
        };
        std::vector<std::thread> pool;
        for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work, t);
        work(0);
        for (std::thread& t : pool) t.join();
        for (ChannelDetection& d : group) {
            if (o.replace) d.marksRemoved = RemoveAutomaticMarks(s, d.channel, o.markType, low, high);
            const int32_t before = s.MarkCount;
            for (double p : d.positions) {
                s.CurrentElectrode = d.channel;
                AddMarkRecord(s, DetectionTime(s, rows, p), static_cast<int16_t>(o.markType),
                              static_cast<int16_t>(s.CurrentMarkNr));
            }
            d.marksAdded = s.MarkCount - before;
            result.marksAdded += d.marksAdded;
            result.marksRemoved += d.marksRemoved;
            result.channels.push_back(std::move(d));
        }
        if (progress && !progress(start + count, total, result.marksAdded)) {
            result.cancelled = start + count < total;
            break;
        }
    }
    if (result.marksRemoved > 0) s.WavesOutdated = true;
    return result;
}

DetectionUndo SnapshotMarks(const SessionState& s) {
    DetectionUndo u;
    u.before.assign(s.MarkTable.begin() + 1, s.MarkTable.begin() + 1 + s.MarkCount);
    return u;
}

void FinishUndo(const SessionState& s, DetectionUndo& undo) {
    undo.after.assign(s.MarkTable.begin() + 1, s.MarkTable.begin() + 1 + s.MarkCount);
    undo.valid = true;
}

bool CanUndoDetection(const SessionState& s, const DetectionUndo& undo) {
    if (!undo.valid || static_cast<std::size_t>(s.MarkCount) != undo.after.size()) return false;
    return undo.after.empty() ||
           std::memcmp(undo.after.data(), s.MarkTable.data() + 1, undo.after.size() * sizeof(MarkRecord)) == 0;
}

bool UndoDetection(SessionState& s, DetectionUndo& undo) {
    if (!CanUndoDetection(s, undo)) return false;
    std::copy(undo.before.begin(), undo.before.end(), s.MarkTable.begin() + 1);
    s.MarkCount = static_cast<int32_t>(undo.before.size());
    s.MarksChanged = true;
    s.WavesOutdated = true;
    undo.valid = false;
    return true;
}

bool DetectAsOneStep(SessionState& s, const DetectOptions& o, DetectionUndo& undo,
                     const std::function<bool(int done, int total, int marks)>& progress) {
    const DetectionUndo previous = undo;
    const bool marksChanged = s.MarksChanged, wavesOutdated = s.WavesOutdated;
    const int32_t electrode = s.CurrentElectrode, origin = s.MarkOrigin;
    undo = SnapshotMarks(s);
    int done = 0, total = 0;
    bool stopped = false;
    // A stop asked for during the last group still takes the run back.
    DetectActivations(s, o, [&](int channelsDone, int channels, int marks) {
        done = channelsDone;
        total = channels;
        stopped = !progress(channelsDone, channels, marks);
        return !stopped;
    });
    FinishUndo(s, undo);
    if (!stopped) return true;
    UndoDetection(s, undo);
    undo = previous;
    s.MarksChanged = marksChanged;
    s.WavesOutdated = wavesOutdated;
    s.CurrentElectrode = electrode;
    s.MarkOrigin = origin;
    s.Memo1.push_back("Detection cancelled after " + std::to_string(done) + " of " + std::to_string(total) +
                      " channels; the marks are as before the run");
    return false;
}

std::string DetectProgressCaption(int channel, int marks) {
    return "Detecting activations: channel " + std::to_string(channel) + ", " + std::to_string(marks) + " marks";
}

}  // namespace vk
