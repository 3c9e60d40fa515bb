// detect: the activation detector on the channels of a recording, with its
// marks added as Electrograms > "Detect Activations..." adds them.
#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "electrograms/Detector.h"
#include "marks/MarkFile.h"
#include "session/Ask.h"
#include "session/SampleTime.h"

namespace vk::cli {

namespace {

std::string decimals(double v, int places) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", places, v);
    return text;
}

// "LOW-HIGH": two positive numbers, "." as decimal point.
std::pair<double, double> parseRange(const std::string& text, const std::string& option) {
    const auto dash = text.find('-', 1);
    auto number = [&](const std::string& part) {
        std::size_t used = 0;
        double v = 0;
        try {
            v = std::stod(part, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (part.empty() || used != part.size() || !std::isfinite(v))
            fail(option + ": '" + text + "' is not a range LOW-HIGH");
        return v;
    };
    if (dash == std::string::npos) fail(option + ": '" + text + "' is not a range LOW-HIGH");
    return {number(text.substr(0, dash)), number(text.substr(dash + 1))};
}

}  // namespace

static std::string DetectionLine(const ChannelDetection& d) {
    std::string line = std::to_string(d.channel) + "\t" + std::to_string(d.marksAdded) + "\t";
    if (d.flat) return line + "-\t-\t-\t-\tflat channel";
    if (d.needsRhythm && !d.rhythmFound) return line + "-\t-\t-\t-\tno rhythm";
    line += decimals(d.bandLowHz, 4) + "\t" + decimals(d.bandHighHz, 4) + "\t" + decimals(d.minIntervalMs, 0) + "\t" +
            decimals(d.threshold, 2) + "\t";
    return line + (d.rhythmFound ? decimals(d.dominantCpm, 2) : "no rhythm");
}

void addDetect(CLI::App& app, Tool& tool) {
    struct Options {
        std::string channels, rhythm, band;
        int begin = 0, window = 0, type = SlowWave;
        double minInterval = 0, threshold = DefaultThresholdK;
        std::string polarity = "negative";
        bool replace = false, save = false;
        CLI::Option *windowOption = nullptr, *intervalOption = nullptr;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(
        app, tool, "detect", "detect slow-wave activations (steepest downstrokes) and add them as automatic marks",
        [o](Ctx& ctx) {
            SessionState& s = ctx.s;
            DetectOptions d;
            const double rate = DetectRate(s);
            if (!o->channels.empty()) d.channels = parseChannels(o->channels, "--channels", RecordingChannels(s));
            const int32_t length = TimeOfSample(s, RecordingRows(s));
            if (o->begin >= length)
                fail("--begin: " + std::to_string(o->begin) + " ms is not before the end of the recording (" +
                     std::to_string(length) + " ms)");
            d.beginMs = o->begin;
            if (o->windowOption->count()) d.windowMs = o->window;
            d.markType = o->type;
            if (!o->rhythm.empty()) {
                const auto [low, high] = parseRange(o->rhythm, "--rhythm");
                if (!(low > 0 && low < high && high < 30 * rate))
                    fail("--rhythm: " + o->rhythm + " is not a range of cycles per minute inside (0, " + decimals(30 * rate, 0) + ")");
                d.rhythmLowCpm = low;
                d.rhythmHighCpm = high;
            }
            if (!o->band.empty()) {
                const auto [low, high] = parseRange(o->band, "--band");
                if (!(low > 0 && low < high && high < rate / 2))
                    fail("--band: " + o->band + " is not a band of Hz inside (0, " + decimals(rate / 2, 1) + ")");
                d.bandLowHz = low;
                d.bandHighHz = high;
            }
            if (o->intervalOption->count()) {
                if (!(o->minInterval >= 0)) fail("--min-interval: a negative interval");
                d.minIntervalMs = o->minInterval;
            }
            if (!(o->threshold >= 0)) fail("--threshold: a negative threshold");
            d.threshold = o->threshold;
            d.positive = o->polarity == "positive";
            d.replace = o->replace;
            const DetectResult r = DetectActivations(s, d);
            if (o->save && !runCommand(ctx, [&] { WriteMarkFile(s); })) std::exit(Failed);
            std::ostringstream out;
            out << "MarksAdded=" << r.marksAdded << "\nMarksRemoved=" << r.marksRemoved << "\nMarkCount=" << s.MarkCount
                << "\n";
            for (const ChannelDetection& c : r.channels) out << DetectionLine(c) << "\n";
            std::cout << out.str();
        });
    sub->add_option("--channels", o->channels, "channels detected, like 1-8,17 (default: every channel)");
    sub->add_option("--begin", o->begin, "start of the detection window (ms)")->check(WholeNonNegative);
    o->windowOption = sub->add_option("--window", o->window, "length of the detection window (ms)")->check(WholePositive);
    addTypeOption(sub, o->type, "mark type placed");
    sub->add_option("--rhythm", o->rhythm, "range LOW-HIGH (cycles per minute) the rhythm is looked for in (0.5-60)");
    sub->add_option("--band", o->band, "band-pass LOW-HIGH in Hz (default: from the rhythm)");
    o->intervalOption =
        sub->add_option("--min-interval", o->minInterval, "minimum interval between activations, ms (default: from the rhythm)");
    sub->add_option("--threshold", o->threshold, "threshold, times the channel's robust noise (default 0.5)");
    sub->add_option("--polarity", o->polarity, "negative (steepest downstroke, the default) or positive")
        ->check(CLI::IsMember({"negative", "positive"}));
    sub->add_flag("--replace", o->replace, "first remove this type's automatic marks of each channel in the window");
    sub->add_flag("--save", o->save, "write the marks to the recording's mark file");
}

}  // namespace vk::cli
