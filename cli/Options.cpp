#include "cli/Options.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "session/Ask.h"
#include "session/Errors.h"
#include "session/SampleTime.h"
#include "session/TextFiles.h"
#include "shell/Commands.h"
#include "shell/Display.h"
#include "shell/ViewCommands.h"

namespace vk::cli {

void CliHost::error(const std::string& text) {
    std::string line = text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::cerr << "vorelkant-cli: " << context << line << "\n";
    failed = true;
}

// The one line a caller gets on bad input.
void fail(const std::string& message) {
    std::string line = message;
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::cerr << "vorelkant-cli: " << line << "\n";
    std::exit(BadInput);
}

// A whole number in min..max. The text is checked before it is converted, so
// "12a" gets the program's own conversion message rather than a range.
CLI::Validator wholeIn(int64_t min, int64_t max) {
    return CLI::Validator(
        [min, max](std::string& text) -> std::string {
            int64_t v = 0;
            const char* end = text.data() + text.size();
            const auto [ptr, ec] = std::from_chars(text.data(), end, v);
            if (text.empty() || ec != std::errc() || ptr != end) return "'" + text + "' is not a valid integer value";
            if (v < min || v > max) return text + " is outside " + std::to_string(min) + ".." + std::to_string(max);
            return {};
        },
        std::to_string(min) + ".." + std::to_string(max));
}
const CLI::Validator WholeNonNegative = wholeIn(0, INT32_MAX);
const CLI::Validator WholePositive = wholeIn(1, INT32_MAX);

namespace {

// The separators of the user's locale (LC_ALL, LC_NUMERIC, LANG), as the
// desktop takes them from the system: the C and POSIX locales write
// 33,000.00. The C library itself stays in the C locale, so that the
// program's own number texts keep their "." everywhere.
NumberFormat systemNumberFormat() {
    NumberFormat f;
    const char* name = std::setlocale(LC_NUMERIC, "");
    const std::string locale = name ? name : "C";
    if (locale != "C" && locale.rfind("C.", 0) != 0 && locale != "POSIX") {
        const std::lconv* c = std::localeconv();
        const std::string point = c->decimal_point ? c->decimal_point : ".", group = c->thousands_sep ? c->thousands_sep : "";
        f.decimalSeparator = point.size() == 1 ? point[0] : '.';
        // A separator of more than one byte (a narrow space) is written as a blank.
        f.thousandsSeparator = group.empty() ? '\0' : group.size() == 1 ? group[0] : ' ';
    }
    std::setlocale(LC_NUMERIC, "C");
    return f;
}

}  // namespace

Ctx& Tool::make() {
    state = std::make_unique<SessionState>();
    state->Locale = systemNumberFormat();
    const char* home = std::getenv("HOME");
    state->DataRoot = std::string(home ? home : ".") + "/Vorelkant";
    ctx = std::make_unique<Ctx>(*state, host, RedrawPanels);
    return *ctx;
}

// The sampling-frequency option of the subcommands that open or write a recording.
CLI::Option* addRateOption(CLI::App* sub, int& rate, const std::string& what) {
    return sub->add_option("--rate", rate, what)->check(wholeIn(1, 1000000));
}

std::shared_ptr<RecordingArgs> addRecordingArgs(CLI::App* sub) {
    auto r = std::make_shared<RecordingArgs>();
    sub->add_option("RECORDING", r->path, "the electrogram file")->required();
    sub->add_option("--matrix", r->matrix, "electrode matrix file, used as \"Change New matrix file\" would");
    sub->add_flag("--no-smooth", r->noSmooth, "load the samples as stored, without the 20-sample smoothing");
    r->rateOption = addRateOption(sub, r->rate, "sampling frequency (Hz), set after opening as General > Sampling Frequency");
    return r;
}

// Opens the recording as "Open File" would, then applies the sampling
// frequency when one was given.
Ctx& openRecording(Tool& tool, const RecordingArgs& r) {
    Ctx& ctx = tool.make();
    ctx.s.SmoothOnLoad = !r.noSmooth;
    if (!r.matrix.empty()) {
        tool.host.context = "--matrix: ";
        if (!runCommand(ctx, [&] { UseNewMatrix(ctx.s, r.matrix); })) std::exit(Failed);
        tool.host.context.clear();
    }
    OpenOptions options;
    options.updateRecentList = false;
    options.askForMissingMatrix = false;
    options.createMarkFile = false;
    options.useJournal = false;
    if (!OpenElectrogramFile(ctx, r.path, options) || tool.host.failed) std::exit(Failed);
    ResetViewAfterLoad(ctx.s);
    if (r.rateOption->count() > 0) SetSamplingFrequency(ctx.s, r.rate);
    return ctx;
}

void addRecordingOptions(CLI::App* sub, RecordingArgs& r) {
    sub->add_option("--matrix", r.matrix, "electrode matrix file, used as \"Change New matrix file\" would");
    sub->add_flag("--no-smooth", r.noSmooth, "load the samples as stored, without the 20-sample smoothing");
    r.rateOption = addRateOption(sub, r.rate, "sampling frequency (Hz), set after opening as General > Sampling Frequency");
}

namespace {
// Keeps the first error of an open, and the last message, instead of printing them.
class KeepingHost : public QuietHost {
public:
    void error(const std::string& text) override {
        if (first.empty()) first = text;
    }
    void information(const std::string& text) override { said = text; }
    void warning(const std::string& text) override { said = text; }
    std::string first, said;
};
}  // namespace

bool tryOpenRecording(Tool& tool, const RecordingArgs& r, std::string& error) {
    tool.make();
    KeepingHost host;
    Ctx ctx(*tool.state, host, RedrawPanels);
    ctx.s.SmoothOnLoad = !r.noSmooth;
    auto failed = [&](const std::string& context) {
        error = context + (!host.first.empty() ? host.first
                           : !host.said.empty() ? host.said
                                                : "the recording could not be opened");
        std::replace(error.begin(), error.end(), '\n', ' ');
        return false;
    };
    if (!r.matrix.empty() && !runCommand(ctx, [&] { UseNewMatrix(ctx.s, r.matrix); })) return failed("--matrix: ");
    OpenOptions options;
    options.updateRecentList = false;
    options.askForMissingMatrix = false;
    options.createMarkFile = false;
    options.useJournal = false;
    if (!OpenElectrogramFile(ctx, r.path, options) || !host.first.empty()) return failed("");
    ResetViewAfterLoad(ctx.s);
    if (r.rateOption && r.rateOption->count() > 0) SetSamplingFrequency(ctx.s, r.rate);
    return true;
}

// A subcommand that opens a recording: its options are declared by the
// caller, the body runs on the opened session.
CLI::App* addRecordingCommand(CLI::App& app, Tool& tool, const std::string& name, const std::string& help,
                              std::function<void(Ctx&)> body) {
    CLI::App* sub = app.add_subcommand(name, help);
    auto r = addRecordingArgs(sub);
    sub->callback([&tool, r, body] { body(openRecording(tool, *r)); });
    return sub;
}

void requireMatrix(const SessionState& s) {
    if (s.NrColumns < 1 || s.NrRows < 1) fail("no electrode matrix: give --matrix FILE");
}

// A mark type option (1 slow wave, 2 spike, 3 type 3).
CLI::Option* addTypeOption(CLI::App* sub, int& type, const std::string& what) {
    return sub->add_option("--type", type, what + ": 1 slow wave, 2 spike, 3 type 3")->check(wholeIn(1, 3));
}

// A real value with 4 decimals and "." as the decimal point.
std::string fixed4(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", v);
    return text;
}

// A whole number, or nothing for Missing.
std::string orEmpty(int64_t v) { return v == Missing ? std::string() : std::to_string(v); }

// "17,20-24": channels and ranges of channels, each 1..256.
std::vector<int> parseChannels(const std::string& list, const std::string& option, int lastChannel) {
    auto number = [&](const std::string& text) {
        try {
            return parseInt(text);
        } catch (const ConversionError& e) {
            fail(option + ": " + std::string(e.what()));
        }
    };
    std::vector<int> channels;
    std::stringstream in(list);
    std::string part;
    while (std::getline(in, part, ',')) {
        const auto dash = part.find('-', 1);
        if (dash == std::string::npos) {
            channels.push_back(number(part));
        } else {
            for (int c = number(part.substr(0, dash)), to = number(part.substr(dash + 1)); c <= to; ++c)
                channels.push_back(c);
        }
    }
    for (int c : channels)
        if (c < 1 || c > lastChannel)
            fail(option + ": channel " + std::to_string(c) + " is outside 1.." + std::to_string(lastChannel));
    if (channels.empty()) fail(option + " names no channel");
    return channels;
}

std::string signalRows(const SessionState& s, const std::string& list, const std::string& option, int lastChannel,
                     int from, int to) {
    const std::vector<int> channels = parseChannels(list, option, lastChannel);
    const int32_t rows = RecordingRows(s);
    if (from < 1 || to > rows || from > to)
        fail("--from, --to: samples " + std::to_string(from) + ".." + std::to_string(to) + " are outside 1.." + std::to_string(rows));
    std::string out;
    for (int row = from; row <= to; ++row) {
        out += std::to_string(row);
        for (int c : channels) out += "\t" + std::to_string(s.Signals.at(row, c));
        out += "\n";
    }
    return out;
}

}  // namespace vk::cli
