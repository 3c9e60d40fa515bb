// vorelkant-cli: the program's operations on a recording without a window.
//
// Each subcommand opens the recording exactly as the desktop program does
// (the same code), prints Name=value lines or writes the program's files,
// and exits non-zero with a one-line message on bad input.
//
// Every subcommand is one add... function below: it declares its options
// (with their one-line help) and the callback that runs once they parsed.
// A new subcommand is one more such function and one line in main.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "exchange/DataExports.h"
#include "exchange/MacExport.h"
#include "exchange/MarkText.h"
#include "input/DemoRecording.h"
#include "input/TextImport.h"
#include "marks/AutoMark.h"
#include "marks/Connections.h"
#include "marks/ManualMarking.h"
#include "marks/MarkFile.h"
#include "marks/Measures.h"
#include "electrograms/SpikeStats.h"
#include "maps/MapBuffer.h"
#include "maps/MapExpand.h"
#include "maps/MapStatistics.h"
#include "maps/Velocity.h"
#include "waves/WaveDetection.h"
#ifdef VK_WITH_RENDER
#include "cli/Print.h"
#include "cli/Render.h"
#endif
#include "session/Errors.h"
#include "session/SampleTime.h"
#include "session/TextFiles.h"
#include "shell/Commands.h"
#include "shell/Display.h"
#include "shell/ViewCommands.h"

namespace {

using namespace vk;

constexpr int BadInput = 2;   // the command line or its values
constexpr int Failed = 1;     // the recording or a file could not be read or written

// Answers for a person who is not there: dialogs are cancelled, messages go
// to standard error.
class CliHost : public QuietHost {
public:
    void information(const std::string& text) override { std::cerr << text << "\n"; }
    void warning(const std::string& text) override { std::cerr << text << "\n"; }
    // A failure is the one line a caller gets, in the same form as bad input.
    void error(const std::string& text) override {
        std::string line = text;
        std::replace(line.begin(), line.end(), '\n', ' ');
        std::cerr << "vorelkant-cli: " << line << "\n";
        failed = true;
    }

    bool failed = false;
};

// The one line a caller gets on bad input.
[[noreturn]] void fail(const std::string& message) {
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

// The session a subcommand works on, made only when one runs.
struct Tool {
    std::unique_ptr<SessionState> state;
    CliHost host;
    std::unique_ptr<Ctx> ctx;

    Ctx& make() {
        state = std::make_unique<SessionState>();
        state->Locale = systemNumberFormat();
        const char* home = std::getenv("HOME");
        state->DataRoot = std::string(home ? home : ".") + "/Vorelkant";
        ctx = std::make_unique<Ctx>(*state, host, RedrawPanels);
        return *ctx;
    }
};

// The recording and how to open it: what every subcommand but demo takes.
struct RecordingArgs {
    std::string path;
    std::string matrix;
    bool noSmooth = false;
    int rate = 0;
    CLI::Option* rateOption = nullptr;
};

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
    if (!r.matrix.empty() && !runCommand(ctx, [&] { UseNewMatrix(ctx.s, r.matrix); })) std::exit(Failed);
    OpenOptions options;
    options.updateRecentList = false;
    options.askForMissingMatrix = false;
    options.createMarkFile = false;
    if (!OpenElectrogramFile(ctx, r.path, options) || tool.host.failed) std::exit(Failed);
    ResetViewAfterLoad(ctx.s);
    if (r.rateOption->count() > 0) SetSamplingFrequency(ctx.s, r.rate);
    return ctx;
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

// A mark type option (1 slow wave, 2 spike, 3 type 3).
CLI::Option* addTypeOption(CLI::App* sub, int& type, const std::string& what) {
    return sub->add_option("--type", type, what + ": 1 slow wave, 2 spike, 3 type 3")->check(wholeIn(1, 3));
}

void addInfo(CLI::App& app, Tool& tool) {
    addRecordingCommand(app, tool, "info", "open the recording and print what the reader found", [](Ctx& ctx) {
        const SessionState& s = ctx.s;
        std::ostringstream o;
        o << "FileName=" << s.FileName << "\n"
          << "FileType=" << s.FileType << "\n"
          << "NrChannelsInFile=" << s.NrChannelsInFile << "\n"
          << "BytesPerSample=" << s.BytesPerSample << "\n"
          << "FrameSize=" << s.FrameSize << "\n"
          << "HeaderFrames=" << s.HeaderFrames << "\n"
          << "NrOfFrames=" << s.NrOfFrames << "\n"
          << "SignalLength=" << s.SignalLength << "\n"
          << "SamplingFrequency=" << s.SamplingFrequency << "\n"
          << "MarkFileName=" << s.MarkFileName << "\n"
          << "MarkCount=" << s.MarkCount << "\n"
          << "FileInfo=" << s.FileInfo << "\n"
          << "MatrixFileName=" << s.MatrixFileName << "\n"
          << "NrElectrodes=" << s.NrElectrodes << "\n"
          << "NrColumns=" << s.NrColumns << "\n"
          << "NrRows=" << s.NrRows << "\n"
          << "ElectrodeDistance=" << s.ElectrodeDistance << "\n"
          << "NrTraces=" << s.NrTraces << "\n"
          << "TileRectangle=" << (s.TileRectangle ? "true" : "false") << "\n";
        std::cout << o.str();
    });
}

void addMarks(CLI::App& app, Tool& tool) {
    addRecordingCommand(app, tool, "marks", "print every mark slot of the recording's mark file", [](Ctx& ctx) {
        const SessionState& s = ctx.s;
        std::string out = "MarkCount=" + std::to_string(s.MarkCount) + "\n";
        for (int i = 1; i <= s.MarkCount; ++i) {
            const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
            out += std::to_string(i) + "\t" + std::to_string(m.Electrode) + "\t" + std::to_string(m.MarkType) + "\t" +
                   std::to_string(m.Time) + "\t" + std::to_string(m.Aux1) + "\t" + std::to_string(m.Aux2) + "\t" +
                   std::to_string(m.Origin) + "\t" + std::to_string(m.MarkNr) + "\n";
        }
        out += "FileInfo=" + s.FileInfo + "\n";
        std::cout << out;
    });
}

// A real value with 4 decimals and "." as the decimal point.
std::string fixed4(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", v);
    return text;
}

// A whole number, or nothing for Missing.
std::string orEmpty(int64_t v) { return v == Missing ? std::string() : std::to_string(v); }

// "Calc Amplitudes + Slopes" on the recording's marks: one line per measured slot.
void addMeasure(CLI::App& app, Tool& tool) {
    addRecordingCommand(app, tool, "measure", "measure amplitude and slope of every slow wave, one line per mark slot",
                        [](Ctx& ctx) {
                            SessionState& s = ctx.s;
                            std::string out = "Measured=" + std::to_string(MeasureAllMarks(s)) + "\n";
                            for (int i = 1; i <= s.MarkCount; ++i) {
                                const MeasureRecord& m = s.MarkMeasures[static_cast<size_t>(i)];
                                if (m.MeasuredElectrode == Missing) continue;
                                out += std::to_string(i) + "\t" + std::to_string(m.MeasuredElectrode) + "\t" +
                                       std::to_string(m.MaxValue) + "\t" + std::to_string(m.MaxSample) + "\t" +
                                       std::to_string(m.MinValue) + "\t" + std::to_string(m.MinSample) + "\t" +
                                       std::to_string(m.SlopeSample) + "\t" + fixed4(m.Slope) + "\t" +
                                       orEmpty(m.Interval) + "\n";
                            }
                            std::cout << out;
                        });
}

// "17,20-24": channels and ranges of channels, each 1..256.
std::vector<int> parseChannels(const std::string& list) {
    auto number = [](const std::string& text) {
        try {
            return parseInt(text);
        } catch (const ConversionError& e) {
            fail("--channels: " + std::string(e.what()));
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
        if (c < 1 || c > MaxChannels) fail("channel " + std::to_string(c) + " is outside 1..256");
    if (channels.empty()) fail("--channels names no channel");
    return channels;
}

// Prints Signals rows from..to of the channels listed ("17,20-24"): the row,
// then each channel's value, tab-separated.
void printSignalRows(const SessionState& s, const std::string& list, int from, int to) {
    const std::vector<int> channels = parseChannels(list);
    const int32_t rows = RecordingRows(s);
    if (from < 1 || to > rows || from > to)
        fail("samples " + std::to_string(from) + ".." + std::to_string(to) + " are outside 1.." + std::to_string(rows));
    std::string out;
    for (int row = from; row <= to; ++row) {
        out += std::to_string(row);
        for (int c : channels) out += "\t" + std::to_string(s.Signals.at(row, c));
        out += "\n";
    }
    std::cout << out;
}

void addSignals(CLI::App& app, Tool& tool) {
    struct Options {
        std::string channels;
        int from = 0, to = 0;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(
        app, tool, "signals", "print Signals rows FROM..TO: the row, then each channel's value",
        [o](Ctx& ctx) { printSignalRows(ctx.s, o->channels, o->from, o->to); });
    sub->add_option("--channels", o->channels, "channels to print, for example 17,20-24 (1..256)")->required();
    sub->add_option("--from", o->from, "first sample row")->required();
    sub->add_option("--to", o->to, "last sample row")->required();
}

void addImport(CLI::App& app, Tool& tool) {
    struct Options {
        std::string format, path, print;
        int channels = 0, samples = 0, rate = 0, length = 30000, from = 0, to = 0;
        std::string matrixName;
        CLI::Option *channelsOption = nullptr, *rateOption = nullptr, *matrixOption = nullptr;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = app.add_subcommand(
        "import", "import a text recording (ni, nashville, manchester, auckland) as its OK button does");
    sub->add_option("FORMAT", o->format, "ni, nashville, manchester or auckland")
        ->required()
        ->check(CLI::IsMember({"ni", "nashville", "manchester", "auckland"}));
    sub->add_option("FILE", o->path, "the text file")->required();
    o->channelsOption = sub->add_option("--channels", o->channels, "Nr Channels (nashville 48, manchester 64)")
                            ->check(wholeIn(1, MaxChannels));
    sub->add_option("--samples", o->samples, "Nr Samples (default 0)")->check(WholeNonNegative);
    o->rateOption = sub->add_option("--rate", o->rate, "Sampling rate in Hz (nashville 30, manchester 1000)")
                        ->check(WholePositive);
    o->matrixOption = sub->add_option("--matrix-name", o->matrixName, "Matrix file name, recorded only");
    sub->add_option("--length", o->length, "ni: the number of lines to read (default 30000)")
        ->check(wholeIn(0, MaxSamples));
    sub->add_option("--print", o->print, "channels whose Signals rows to print, for example 1,3-5");
    sub->add_option("--from", o->from, "first sample row printed");
    sub->add_option("--to", o->to, "last sample row printed");
    sub->callback([&tool, o] {
        Ctx& ctx = tool.make();
        const TextFormat format = o->format == "ni"          ? TextFormat::NI
                                  : o->format == "nashville" ? TextFormat::Nashville
                                  : o->format == "manchester" ? TextFormat::Manchester
                                                              : TextFormat::Auckland;
        ImportEdits edits = format == TextFormat::Nashville ? ctx.s.ImportF.Nashville : ctx.s.ImportF.Manchester;
        if (o->channelsOption->count()) edits.NrChannels = std::to_string(o->channels);
        edits.NrSamples = std::to_string(o->samples);
        if (o->rateOption->count()) edits.SamplingRate = std::to_string(o->rate);
        if (o->matrixOption->count()) edits.MatrixName = o->matrixName;
        const ImportResult r = ImportTextFile(ctx, format, o->path, edits, o->length);
        if (r.outcome == ImportOutcome::Refused)
            fail(format == TextFormat::Auckland ? "the header of " + o->path + " gives values the buffers cannot hold"
                                                : "a value is outside what the buffers hold");
        if (r.outcome != ImportOutcome::Loaded || tool.host.failed) std::exit(Failed);
        const SessionState& s = ctx.s;
        std::ostringstream out;
        out << "FileName=" << s.FileName << "\nMarkFileName=" << s.MarkFileName << "\nMatrixFileName=" << s.MatrixFileName
            << "\nNrTraces=" << s.NrTraces << "\nNrSamples=" << s.NrSamples << "\nSamplingFrequency=" << s.SamplingFrequency
            << "\nHighRateMode=" << (s.HighRateMode ? "true" : "false") << "\nSignalLength=" << s.SignalLength
            << "\nNrColumns=" << s.NrColumns << "\nNrRows=" << s.NrRows << "\nMarkCount=" << s.MarkCount << "\n";
        if (format == TextFormat::Auckland)
            out << "AucklandHeaderLines=" << s.AucklandHeaderLines << "\nAucklandCalibration=" << s.AucklandCalibration
                << "\nAucklandComments=" << s.AucklandComments << "\n";
        std::cout << out.str();
        if (!o->print.empty()) printSignalRows(s, o->print, o->from, o->to);
    });
}

void addWaves(CLI::App& app, Tool& tool) {
    struct Options {
        int type = SlowWave, diff = 0, ref = 0;
        bool stats = false;
        CLI::Option *diffOption = nullptr, *refOption = nullptr;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(
        app, tool, "waves", "group the saved marks into waves: one line per wave, electrode:time", [o](Ctx& ctx) {
            SessionState& s = ctx.s;
            if (o->diffOption->count()) s.WaveDifference[static_cast<size_t>(o->type)] = o->diff;
            if (o->refOption->count()) s.RefTime = o->ref;
            CalculateWaves(ctx, o->type);
            std::string out = "WaveCount=" + std::to_string(s.WaveCount) + "\n";
            for (int w = 1; w <= s.WaveCount; ++w) {
                out += std::to_string(w);
                for (int e = 1; e <= MaxChannels; ++e) {
                    const int32_t t = WaveTimeAt(s, e, w);
                    if (t != Missing) out += (out.back() == '\n' ? "" : " ") + std::to_string(e) + ":" + std::to_string(t);
                }
                out += "\n";
            }
            if (o->stats) {
                for (int w = 1; w <= s.WaveCount; ++w) {
                    const WaveStatistics st =
                        CalcWaveStats(s, [&](int c, int r) { return WaveTimeAt(s, ElectrodeAt(s, c, r), w); });
                    out += "Wave=" + std::to_string(w) + "\tWaveSites=" + std::to_string(st.sites) + "\tWaveXSize=" +
                           std::to_string(st.xSize) + "\tWaveYSize=" + std::to_string(st.ySize) +
                           "\tWaveCentreCol=" + std::to_string(st.centreCol) +
                           "\tWaveCentreRow=" + std::to_string(st.centreRow) + "\n";
                }
            }
            std::cout << out;
        });
    addTypeOption(sub, o->type, "mark type the waves are made of");
    o->diffOption = sub->add_option("--diff", o->diff, "largest time difference (ms) between neighbours of a wave")
                        ->check(WholePositive);
    o->refOption = sub->add_option("--ref", o->ref, "reference time (ms)");
    sub->add_flag("--stats", o->stats, "add a statistics line per wave (sites, extent, centre)");
}

void addSearch(CLI::App& app, Tool& tool) {
    struct Options {
        int electrode = 0, time = 0, type = SlowWave, criteria = 0;
        CLI::Option* criteriaOption = nullptr;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(
        app, tool, "search", "print the time a Shift-click at --time on --electrode would mark", [o](Ctx& ctx) {
            SessionState& s = ctx.s;
            if (o->criteriaOption->count()) s.Prefs.SearchCriteria = o->criteria;
            const int32_t w = s.Prefs.SearchWidth[static_cast<size_t>(o->type)] / 2;
            int32_t found = SearchDownstroke(ctx, o->electrode, o->type, o->time - w, o->time + w);
            found = AvoidDoubleMark(s, o->electrode, o->type, found);
            std::cout << "Found=" << found << "\n";
        });
    sub->add_option("--electrode", o->electrode, "electrode searched (1..256)")->required()->check(wholeIn(1, MaxChannels));
    sub->add_option("--time", o->time, "time clicked (ms)")->required();
    addTypeOption(sub, o->type, "mark type searched for");
    o->criteriaOption = sub->add_option("--criteria", o->criteria, "search rule: 0 steepest difference, 1 first run below the level")
                            ->check(wholeIn(0, 1));
}

// The automatic slow-wave marker as Electrograms > "Automatic SW marking"
// runs it after the recording was opened: panel A was drawn last, over the
// whole recording unless --window says otherwise.
void addAutomark(CLI::App& app, Tool& tool) {
    struct Options {
        int window = 0, type = SlowWave;
        bool save = false;
        CLI::Option *windowOption = nullptr, *typeOption = nullptr;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(
        app, tool, "automark", "run the automatic slow-wave marker and print the mark count", [o](Ctx& ctx) {
            SessionState& s = ctx.s;
            s.BeginTime = s.BeginTimeA;
            s.WindowTime = o->windowOption->count() ? o->window : s.WindowA;
            if (o->typeOption->count()) s.CurrentMarkType[1] = o->type;
            const int added = AutoMarkSlowWaves(ctx);
            if (o->save && !runCommand(ctx, [&] { WriteMarkFile(s); })) std::exit(Failed);
            std::cout << "MarkCount=" << s.MarkCount << "\nMarksAdded=" << added << "\n";
        });
    o->windowOption = sub->add_option("--window", o->window, "window (ms) whose start gives the noise deviation")
                          ->check(WholePositive);
    o->typeOption = addTypeOption(sub, o->type, "mark type placed");
    sub->add_flag("--save", o->save, "write the marks to the recording's mark file");
}

// File > Import > "Connections" and the connections part of "Save
// Marks+Connections": reads a connections file (the recording's own unless
// --read names one) and prints its records, then writes them when asked.
void addConnections(CLI::App& app, Tool& tool) {
    struct Options {
        std::string read, write;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(
        app, tool, "connections", "read a connections file and print its records; write them as a save does",
        [o](Ctx& ctx) {
            SessionState& s = ctx.s;
            const std::string own = ConnFileNameFor(s.FileName);
            const std::string from = o->read.empty() ? own : o->read;
            std::string out = "ConnFileName=" + own + "\n";
            if (!o->read.empty() || fileExists(from)) {
                const bool read = runCommand(ctx, [&] { ReadConnectionsFile(s, from); });
                if (!read) std::exit(Failed);
            }
            out += "ConnCount=" + std::to_string(s.ConnCount) + "\n";
            for (int i = 1; i <= s.ConnCount; ++i) {
                const Connection& c = s.Connections[static_cast<size_t>(i)];
                out += std::to_string(i) + "\t" + std::to_string(c.Electrode1) + "\t" + std::to_string(c.Time1) + "\t" +
                       std::to_string(c.Electrode2) + "\t" + std::to_string(c.Time2) + "\t" +
                       std::to_string(c.Direction) + "\n";
            }
            std::cout << out;
            if (!o->write.empty() && !runCommand(ctx, [&] { WriteConnectionsFile(s, o->write); })) std::exit(Failed);
        });
    sub->add_option("--read", o->read, "connections file read (default: the recording's own, when it exists)");
    sub->add_option("--write", o->write, "write the records to this file as \"Save Marks+Connections\" does");
}

// The map options that map and render share: the mark type of the panel,
// the reference time, and slow waves and spikes together.
struct MapOptions {
    int type = SlowWave, ref = 0;
    bool both = false;
    CLI::Option *typeOption = nullptr, *refOption = nullptr;

    void declare(CLI::App* sub) {
        typeOption = addTypeOption(sub, type, "mark type mapped");
        refOption = sub->add_option("--ref", ref, "reference time (ms) subtracted from the map's times")
                        ->check(WholeNonNegative);
        sub->add_flag("--both", both, "map slow waves and spikes together");
    }
    void apply(SessionState& s) const {
        if (typeOption->count()) s.CurrentMarkType[1] = s.CurrentMarkType[2] = type;
        if (refOption->count()) s.RefTime = ref;
        s.ShowSWsAndSpikes = both;
    }
};

// What a map cell shows for map kind `kind`: whole numbers as they are,
// the amplitude, slope and velocity with 4 decimals, nothing for no value.
std::string cellField(const MapCell& c, int kind) {
    auto real = [](double v) { return v == Missing ? std::string() : fixed4(v); };
    switch (kind) {
        case CountMapKind: return std::to_string(c.Count);
        case ElectrodeMapKind: return orEmpty(c.Electrode);
        case IntervalMapKind: return orEmpty(c.Interval);
        case AmplitudeMapKind: return real(c.Amplitude);
        case SlopeMapKind: return real(c.Slope);
        case VelocityMapKind: return real(c.Velocity);
        case MarkNrMapKind: return orEmpty(c.MarkNr > 0 ? c.MarkNr : c.Time);
        default: return orEmpty(c.Time);
    }
}

// Panel A as a map of the window --begin/--window: the per-draw copies the
// map load reads. The electrogram window (the interval map's) is the same.
void setMapWindow(SessionState& s, int begin, int window, int kind) {
    if (s.NrColumns < 1 || s.NrRows < 1) fail("the recording has no electrode matrix");
    s.BeginTimeA = s.BeginTime = begin;
    s.WindowA = s.WindowTime = window;
    s.MapKindA = kind;
    s.ActiveDisplay = 1;
    SetMapWindowOfPanel(s, 1);
}

// The required window of a map, with the map options: what map and velocity share.
struct MapWindowOptions {
    int begin = 0, window = 0;
    MapOptions map;

    void declare(CLI::App* sub) {
        sub->add_option("--begin", begin, "first millisecond of the window")->required()->check(WholeNonNegative);
        sub->add_option("--window", window, "length of the window (ms)")->required()->check(WholePositive);
        map.declare(sub);
    }
    void apply(SessionState& s) const {
        map.apply(s);
        setMapWindow(s, begin, window, TimeMapKind);
    }
};

// The velocity options: block size, arrow size and the speed limit.
struct VelocityOptions {
    int step = 1, scale = 5000, limit = 0;
    CLI::Option *stepOption = nullptr, *scaleOption = nullptr, *limitOption = nullptr;

    void declare(CLI::App* sub, bool withScale = true) {
        stepOption = sub->add_option("--step", step, "block size in cells (default 1)")->check(wholeIn(1, MapGridSize));
        if (withScale)
            scaleOption = sub->add_option("--scale", scale, "arrow pixels per mm/ms (default 5000)")->check(WholeNonNegative);
        limitOption = sub->add_option("--limit", limit, "keep only arrows slower than this (cm/s)")->check(WholeNonNegative);
    }
    void apply(SessionState& s) const {
        if (stepOption->count()) s.Prefs.VelocityStep = step;
        if (scaleOption && scaleOption->count()) s.Prefs.ArrowScale = scale;
        s.Prefs.LimitVelocity = limitOption->count() > 0;
        if (limitOption->count()) s.Prefs.MaxVelocity = limit;
    }
};

// Makes `kind` the map kind of panel A, with what that kind needs before
// its map loads: the measurements, or the velocities of the time map as
// "plot Arrows" leaves them.
void prepareMapKind(SessionState& s, int kind) {
    if (kind == AmplitudeMapKind || kind == SlopeMapKind) MeasureAllMarks(s);
    if (kind == VelocityMapKind) {
        LoadMap(s, s.CurrentMarkType[1]);
        CalcVelocities(s);
    }
    s.MapKind = s.MapKindA = kind;
}

// A map of one time window: one line per matrix row with the field of each
// cell that the map kind shows, an empty field where the cell has none.
void addMap(CLI::App& app, Tool& tool) {
    struct Options {
        int kind = 0, cycles = 10, neighbours = 3, fill = 0;
        bool expand = false, arrows = false, stats = false;
        CLI::Option* fillOption = nullptr;
        MapWindowOptions map;
        VelocityOptions velocity;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(
        app, tool, "map", "print a map of a time window, one line per matrix row", [o](Ctx& ctx) {
            SessionState& s = ctx.s;
            o->map.apply(s);
            o->velocity.apply(s);
            s.Prefs.ExpandCycles = o->cycles;
            s.Prefs.ExpandNeighbours = o->neighbours;
            s.ExpandMap = o->expand;
            s.PlotArrows = o->arrows;
            s.ShowMapStatistics = o->stats;
            if (o->fillOption->count() && !IsPlaced(s, o->fill))
                fail("--fill: the matrix does not place electrode " + std::to_string(o->fill));
            prepareMapKind(s, o->kind);
            // What a map draw does to the buffer, without the drawing.
            auto draw = [&] {
                LoadMap(s, s.CurrentMarkType[1]);
                if (s.ExpandMap) ExpandMapCells(s);
                if (s.PlotArrows) CalcVelocities(s);
                if (s.ShowMapStatistics) CalcMapStats(s);
            };
            draw();
            const size_t memoBefore = s.Memo1.size();
            if (o->fillOption->count()) {
                // The key E over the electrode's cell, and the redraw after it.
                FillCell(s, o->fill);
                draw();
            }
            std::string out = "NrColumns=" + std::to_string(s.NrColumns) + "\nNrRows=" + std::to_string(s.NrRows) +
                              "\nEarliestTime=" + std::to_string(s.EarliestTime) +
                              "\nMapTimeCount=" + std::to_string(s.MapTimeCount) + "\n";
            for (int row = 1; row <= std::min(s.NrRows, MapGridSize); ++row) {
                for (int column = 1; column <= std::min(s.NrColumns, MapGridSize); ++column) {
                    if (column > 1) out += "\t";
                    const MapCell& c = s.MapBuf.at(column, row);
                    out += cellField(c, o->kind) + (c.Expanded == 1 ? "*" : "");
                }
                out += "\n";
            }
            if (o->stats)
                for (const std::string& line : s.StatsMemo) out += "StatsMemo=" + line + "\n";
            // The lines the fill added (the open may have written some before).
            for (size_t i = memoBefore; i < s.Memo1.size(); ++i) out += "Memo1=" + s.Memo1[i] + "\n";
            std::cout << out;
        });
    o->map.declare(sub);
    sub->add_option("--kind", o->kind,
                    "map kind: 0 time, 1 count, 2 electrode, 3 interval, 4 amplitude, 5 slope, 6 velocity, 7 mark number")
        ->check(wholeIn(0, 7));
    sub->add_flag("--expand", o->expand, "fill the map's holes from their neighbours (\"Expand Map\")");
    sub->add_option("--cycles", o->cycles, "expansion passes (default 10)")->check(WholeNonNegative);
    sub->add_option("--neighbours", o->neighbours, "valued neighbours a hole needs (default 3)")->check(WholePositive);
    o->fillOption = sub->add_option("--fill", o->fill, "fill electrode E's cell from its eight neighbours (the key E)")
                        ->check(wholeIn(1, MaxChannels));
    sub->add_flag("--arrows", o->arrows, "turn \"plot Arrows\" on: the statistics summarise the velocities");
    o->velocity.declare(sub, false);
    sub->add_flag("--stats", o->stats, "print the map statistics (\"Show Map Statistics\")");
}

// "Spike Stats" over the traces of an electrogram window: the memo table,
// and the "save as text" file.
void addSpikeStats(CLI::App& app, Tool& tool) {
    struct Options {
        int begin = 0, window = 0, traces = 0, order = 1, firstChannel = 17, startCol = 1, startRow = 1;
        std::string out;
        CLI::Option* tracesOption = nullptr;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(
        app, tool, "spike-stats", "print the interval statistics of every trace's marks in a window", [o](Ctx& ctx) {
            SessionState& s = ctx.s;
            if (o->order != 0 && o->order != 1 && o->order != 2 && o->order != 6)
                fail("--order " + std::to_string(o->order) + " is not an order: 0, 1, 2 or 6");
            if ((o->order == 1 || o->order == 2) &&
                (o->startCol > s.NrColumns || o->startRow > s.NrRows))
                fail("start cell " + std::to_string(o->startCol) + ", " + std::to_string(o->startRow) +
                     " is outside the " + std::to_string(s.NrColumns) + " x " + std::to_string(s.NrRows) + " matrix");
            s.BeginTime = o->begin;
            s.WindowTime = o->window;
            s.NrTraces = o->tracesOption->count() ? o->traces : s.NrColumns >= 1 ? s.NrColumns : s.NrTraces;
            s.TraceOrder = o->order;
            s.FirstChannel = o->firstChannel;
            s.StartCol = o->startCol;
            s.StartRow = o->startRow;
            CalcSpikeStats(s);
            // The file first: a refused file prints nothing but its one line.
            if (!o->out.empty()) {
                try {
                    SaveSpikeStats(s, o->out);
                } catch (const IoError& e) {
                    fail(e.what());
                }
            }
            std::string out;
            for (const std::string& line : s.StatsMemo) out += "StatsMemo=" + line + "\n";
            std::cout << out;
        });
    sub->add_option("--begin", o->begin, "first millisecond of the window")->required()->check(WholeNonNegative);
    sub->add_option("--window", o->window, "length of the window (ms)")->required()->check(WholePositive);
    o->tracesOption = sub->add_option("--traces", o->traces, "traces (1..256, default the matrix's columns)")
                          ->check(wholeIn(1, MaxChannels));
    sub->add_option("--order", o->order, "trace order: 0 sequential, 1 horizontal (default), 2 vertical, 6 opposite")
        ->check(wholeIn(0, 6));
    sub->add_option("--first-channel", o->firstChannel, "first electrode of orders 0 and 6 (default 17)")
        ->check(wholeIn(1, MaxChannels));
    sub->add_option("--start-col", o->startCol, "grid column of orders 1 and 2 (default 1)")->check(WholePositive);
    sub->add_option("--start-row", o->startRow, "grid row of orders 1 and 2 (default 1)")->check(WholePositive);
    sub->add_option("--out", o->out, "write the \"save as text\" file");
}

// The conduction velocity arrows of a time map on a paint box: one line per
// block with a kept arrow.
void addVelocity(CLI::App& app, Tool& tool) {
    struct Options {
        int width = 800, height = 600;
        MapWindowOptions map;
        VelocityOptions velocity;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(
        app, tool, "velocity", "print the conduction velocity arrows of a time map, one line per block", [o](Ctx& ctx) {
            SessionState& s = ctx.s;
            o->map.apply(s);
            o->velocity.apply(s);
            SizeMapCells(s, o->width - 1, o->height - 1);
            LoadMap(s, s.CurrentMarkType[1]);
            CalcVelocities(s);
            std::string lines;
            int arrows = 0;
            for (int column = 1; column <= std::min(s.NrColumns, MapGridSize); ++column)
                for (int row = 1; row <= std::min(s.NrRows, MapGridSize); ++row) {
                    const VelocityRec& v = s.VelocityBuf.at(column, row);
                    if (v.Speed == Missing) continue;
                    ++arrows;
                    lines += std::to_string(column) + "\t" + std::to_string(row) + "\t" + fixed4(v.Speed) + "\t" +
                             fixed4(v.Angle);
                    for (int32_t p : {v.X1, v.Y1, v.X2, v.Y2, v.HeadX1, v.HeadY1, v.HeadX2, v.HeadY2})
                        lines += "\t" + std::to_string(p);
                    lines += "\n";
                }
            std::cout << "CellWidth=" << s.CellWidth << "\nArrows=" << arrows << "\n" << lines;
        });
    o->map.declare(sub);
    sub->add_option("--width", o->width, "paint box width in pixels (default 800)")->check(wholeIn(20, 20000));
    sub->add_option("--height", o->height, "paint box height in pixels (default 600)")->check(wholeIn(20, 20000));
    o->velocity.declare(sub);
}

#ifdef VK_WITH_RENDER
void addRender(CLI::App& app, Tool& tool) {
    struct Options {
        std::string out;
        int width = 1600, height = 900, begin = 0, window = 0, traces = 0, firstChannel = 0, wave = 0;
        bool map = false, isochrones = false, localTimes = false, waveforms = false, align = false, numbers = false;
        CLI::Option *beginOption = nullptr, *windowOption = nullptr, *tracesOption = nullptr,
                    *firstChannelOption = nullptr, *waveOption = nullptr;
        MapOptions mapOptions;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(
        app, tool, "render", "draw panel A into a PNG file with the desktop program's drawing code", [o](Ctx& ctx) {
            SessionState& s = ctx.s;
            if (o->beginOption->count()) s.BeginTimeA = o->begin;
            if (o->windowOption->count()) s.WindowA = o->window;
            if (s.BeginTimeA < 0 || s.WindowA < 1) fail("--begin must be 0 or more and --window 1 or more");
            if (o->tracesOption->count()) s.NrTraces = o->traces;
            if (s.NrTraces < 1 || s.NrTraces > MaxChannels) fail("--traces must be 1..256");
            if (o->firstChannelOption->count()) {
                // Traces in electrode order from this one, as "goto Channel"
                // with the sequential order.
                s.FirstChannel = o->firstChannel;
                s.TraceOrder = 0;
            }
            o->mapOptions.apply(s);
            if (o->map) s.DisplayTypeA = 0;
            if (o->waveOption->count()) {
                // Wave n of the wave detection (wave mode 1), with its statistics line.
                s.DisplayTypeA = 2;
                s.WaveMode = 1;
                s.WaveNrA = o->wave;
                s.ShowWaveStatistics = true;
                s.PlotLocalTimes = o->localTimes;
            }
            if (o->waveforms) {
                // The waveform grid of "Elg Waveforms" with the switches of its dialog.
                s.DisplayTypeA = 1;
                s.ElgViewMode = 2;
                s.WaveMarkAlign = o->align;
                s.WavePlotElgNr = o->numbers;
            } else if (o->align || o->numbers) {
                fail("--align and --numbers go with --waveforms");
            }
            s.PlotIsochrones = o->isochrones;
            const std::string error = RenderPanelA(ctx, o->width, o->height, o->out);
            if (!error.empty()) fail(error);
        });
    sub->add_option("--out", o->out, "PNG file written")->required();
    sub->add_option("--width", o->width, "paint box width in pixels (default 1600)")->check(wholeIn(100, 20000));
    sub->add_option("--height", o->height, "paint box height in pixels (default 900)")->check(wholeIn(100, 20000));
    o->beginOption = sub->add_option("--begin", o->begin, "first millisecond shown")->check(WholeNonNegative);
    o->windowOption = sub->add_option("--window", o->window, "milliseconds shown")->check(WholePositive);
    o->tracesOption = sub->add_option("--traces", o->traces, "traces in the panel (1..256)")->check(wholeIn(1, MaxChannels));
    o->firstChannelOption = sub->add_option("--first-channel", o->firstChannel, "traces in electrode order from this one")
                                ->check(wholeIn(1, MaxChannels));
    o->mapOptions.declare(sub);
    sub->add_flag("--map", o->map, "draw the activation time map instead of the traces");
    sub->add_flag("--isochrones", o->isochrones, "draw isochrone lines on the map");
    o->waveOption = sub->add_option("--wave", o->wave, "draw wave map N of the wave detection")->check(WholePositive);
    sub->add_flag("--local-times", o->localTimes, "wave map times from the wave's own start");
    sub->add_flag("--waveforms", o->waveforms, "draw every electrogram in its cell of the electrode array");
    sub->add_flag("--align", o->align, "centre each waveform on its electrode's activation time");
    sub->add_flag("--numbers", o->numbers, "write the electrode number in each waveform cell");
}
#endif

// The exports of the File menu, each written as the menu command writes it
// for the view the options describe (panel A, active).
void addExport(CLI::App& app, Tool& tool) {
    struct Options {
        std::string what, out;
        int begin = 0, window = 4000, type = SlowWave, kind = TimeMapKind, electrode = 0, traces = 0, first = 0,
            order = 0, width = 800, height = 600;
        CLI::Option *tracesOption = nullptr, *firstOption = nullptr, *orderOption = nullptr, *electrodeOption = nullptr;
    };
    auto o = std::make_shared<Options>();
    static const std::vector<std::string> whats{"marks-text", "samples", "animation", "single-electrogram",
                                                "matrix-text", "all-marks", "tavrin", "mac-map", "mac-electrograms",
                                                "mac-elemap", "realbasic"};
    CLI::App* sub = app.add_subcommand("export", "write one of the File menu's exports of a recording");
    sub->add_option("WHAT", o->what, "what is written")->required()->check(CLI::IsMember(whats));
    auto r = addRecordingArgs(sub);
    sub->callback([&tool, r, o] {
        Ctx& ctx = openRecording(tool, *r);
        SessionState& s = ctx.s;
        s.ActiveDisplay = 1;
        s.CurrentMarkType[1] = o->type;
        s.BeginTimeA = s.BeginTime = o->begin;
        s.WindowA = s.WindowTime = o->window;
        if (o->tracesOption->count()) s.NrTraces = o->traces;
        if (o->firstOption->count()) s.FirstChannel = o->first;
        if (o->orderOption->count()) s.TraceOrder = o->order;
        const std::string& w = o->what;
        if (w == "matrix-text" || w == "mac-map") {
            setMapWindow(s, o->begin, o->window, o->kind);
            SizeMapCells(s, o->width - 1, o->height - 1);
            prepareMapKind(s, o->kind);
            LoadMap(s, s.CurrentMarkType[1]);
        }
        if (w == "all-marks" && !AllMarksElectrodeAccepted(o->electrode))
            fail("--electrode must be 17..255 for all-marks");
        const bool ok = runCommand(ctx, [&] {
            if (w == "matrix-text") return writeBytesAtomic(o->out, MatrixTextBytes(s));
            if (w == "tavrin") return writeBytesAtomic(o->out, TavrinBytes(s));
            std::vector<std::string> lines;
            if (w == "marks-text") lines = MarkTextLines(s);
            else if (w == "samples") lines = TwelveTraceLines(s);
            else if (w == "animation") lines = AnimationLines(s);
            else if (w == "single-electrogram") lines = SingleElectrogramLines(s);
            else if (w == "all-marks") lines = AllMarksLines(s, o->electrode);
            else if (w == "realbasic") lines = RealBasicLines(s);
            else if (w == "mac-map") lines = DrawingFileLines(MacBlocks(s, MacCopy::Map));
            else if (w == "mac-electrograms") lines = DrawingFileLines(MacBlocks(s, MacCopy::Electrograms));
            else lines = DrawingFileLines(MacBlocks(s, MacCopy::EleMap));
            writeLinesAtomic(o->out, lines);
        });
        if (!ok) std::exit(Failed);
    });
    sub->add_option("--out", o->out, "file written")->required();
    sub->add_option("--begin", o->begin, "first millisecond of the window (default 0)")->check(WholeNonNegative);
    sub->add_option("--window", o->window, "length of the window in ms (default 4000)")->check(WholePositive);
    addTypeOption(sub, o->type, "mark type of the display (default 1)");
    sub->add_option("--kind", o->kind, "map kind of matrix-text and mac-map (default 0, time)")->check(wholeIn(0, 7));
    sub->add_option("--electrode", o->electrode, "electrode of all-marks (17..255)")->check(wholeIn(1, MaxChannels));
    o->tracesOption = sub->add_option("--traces", o->traces, "traces in the panel (1..256)")->check(wholeIn(1, MaxChannels));
    o->firstOption = sub->add_option("--first-channel", o->first, "electrode of the first trace in electrode order")
                         ->check(wholeIn(1, MaxChannels));
    o->orderOption = sub->add_option("--order", o->order,
                                     "trace order: 0 electrode order, 1 along matrix rows, 2 along columns, 6 backwards")
                         ->check(CLI::IsMember({0, 1, 2, 6}));
    sub->add_option("--width", o->width, "map paint box width in pixels (default 800)")->check(wholeIn(20, 20000));
    sub->add_option("--height", o->height, "map paint box height in pixels (default 600)")->check(wholeIn(20, 20000));
}

// The marks of a mark text file appended to a recording's marks.
void addImportMarks(CLI::App& app, Tool& tool) {
    struct Options {
        std::string from;
        bool save = false;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(app, tool, "import-marks", "append the marks of a mark text file", [o](Ctx& ctx) {
        SessionState& s = ctx.s;
        MarkTextRead r;
        if (!runCommand(ctx, [&] { r = ImportMarkText(s, o->from); })) std::exit(Failed);
        if (o->save && !runCommand(ctx, [&] { WriteMarkFile(s); })) std::exit(Failed);
        std::cout << "MarkCount=" << s.MarkCount << "\nMarksAnnounced=" << r.announced << "\nMarksRead=" << r.read
                  << "\n";
    });
    sub->add_option("--from", o->from, "the mark text file")->required();
    sub->add_flag("--save", o->save, "write the marks to the recording's mark file");
}

#ifdef VK_WITH_RENDER
// The page "Print" would print, with the two panels set up from the options.
void addPrint(CLI::App& app, Tool& tool) {
    // What one panel shows: electrograms over its window, or a map or a wave.
    struct PanelOptions {
        int begin = 0, window = 0, wave = 0;
        bool map = false;
        CLI::Option *beginOption = nullptr, *windowOption = nullptr, *waveOption = nullptr, *mapOption = nullptr;

        void declare(CLI::App* sub, const std::string& prefix, const std::string& which) {
            beginOption = sub->add_option("--" + prefix + "begin", begin, "first millisecond of " + which)
                              ->check(WholeNonNegative);
            windowOption = sub->add_option("--" + prefix + "window", window, "milliseconds of " + which)->check(WholePositive);
            mapOption = sub->add_flag("--" + prefix + "map", map, which + " shows the time map");
            waveOption = sub->add_option("--" + prefix + "wave", wave, which + " shows wave N (wave mode 1)")
                             ->check(WholePositive);
        }
        bool given() const {
            return beginOption->count() || windowOption->count() || mapOption->count() || waveOption->count();
        }
        void apply(SessionState& s, int32_t& beginTime, int32_t& windowTime, int& displayType, int32_t& waveNr) const {
            if (map && waveOption->count()) fail(mapOption->get_name() + " and " + waveOption->get_name() + " exclude each other");
            if (beginOption->count()) beginTime = begin;
            if (windowOption->count()) windowTime = window;
            if (map) displayType = 0;
            if (waveOption->count()) {
                displayType = 2;
                s.WaveMode = 1;
                waveNr = wave;
            }
        }
    };
    struct Options {
        PanelOptions a, b;
        MapOptions map;
        int traces = 0, firstChannel = 0, diff = 0, isoWidth = 500;
        bool isochrones = false, noDigits = false, stats = false, localTimes = false;
        double amplification = 0.01;
        std::string connections, paper, caption;
        PrintRequest request;
        CLI::Option *tracesOption = nullptr, *firstChannelOption = nullptr, *diffOption = nullptr,
                    *captionOption = nullptr, *connectionsOption = nullptr;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(app, tool, "print", "print one page of the two panels to a PDF file", [o](Ctx& ctx) {
        SessionState& s = ctx.s;
        if (o->connectionsOption->count() && !runCommand(ctx, [&] { ReadConnectionsFile(s, o->connections); }))
            std::exit(Failed);
        PrintRequest& r = o->request;
        if (!o->paper.empty()) {
            const auto x = o->paper.find('x');
            int w = 0, h = 0;
            const char* end = o->paper.data() + o->paper.size();
            const bool parsed = x != std::string::npos &&
                                std::from_chars(o->paper.data(), o->paper.data() + x, w).ptr == o->paper.data() + x &&
                                std::from_chars(o->paper.data() + x + 1, end, h).ptr == end;
            if (!parsed || w < 2000 || w > 20000 || h < 2000 || h > 20000)
                fail("--paper must be WxH with each side 2000..20000 printer pixels");
            r.paperWidth = w;
            r.paperHeight = h;
        }
        // Panel A: electrograms from 0 over the whole recording; panel B from 0 over 4000 ms.
        s.BeginTimeA = 0;
        s.WindowA = std::max(1, s.SignalLength);
        s.BeginTimeB = 0;
        s.WindowB = 4000;
        o->a.apply(s, s.BeginTimeA, s.WindowA, s.DisplayTypeA, s.WaveNrA);
        o->b.apply(s, s.BeginTimeB, s.WindowB, s.DisplayTypeB, s.WaveNrB);
        s.Tiled = r.choice.panels != 0 || o->b.given();
        if (o->tracesOption->count()) s.NrTraces = o->traces;
        else if (s.NrColumns >= 1) s.NrTraces = std::min(s.NrColumns, MaxChannels);
        if (o->firstChannelOption->count()) {
            s.TraceOrder = 0;
            s.FirstChannel = o->firstChannel;
        } else {
            s.TraceOrder = 1;
            s.StartCol = s.StartRow = 1;
        }
        o->map.apply(s);
        if (o->diffOption->count()) s.WaveDifference[static_cast<size_t>(s.CurrentMarkType[1])] = o->diff;
        s.IsochroneWidth = o->isoWidth;
        s.PlotIsochrones = o->isochrones;
        s.ShowMapDigits = !o->noDigits;
        s.ShowWaveStatistics = o->stats;
        s.PlotLocalTimes = o->localTimes;
        s.Amplification = o->amplification;
        r.choice.caption = o->captionOption->count() ? o->caption : s.FileInfo;
        const std::string error = PrintToPdf(ctx, r);
        if (!error.empty()) {
            std::cerr << "vorelkant-cli: " << error << "\n";
            std::exit(Failed);
        }
    });
    o->a.declare(sub, "", "panel A");
    o->b.declare(sub, "b-", "panel B");
    sub->add_flag("--local-times", o->localTimes, "wave map times from the wave's own start");
    o->tracesOption = sub->add_option("--traces", o->traces, "traces in a panel (1..256, default the matrix columns)")
                          ->check(wholeIn(1, MaxChannels));
    o->firstChannelOption = sub->add_option("--first-channel", o->firstChannel, "traces in electrode order from this one")
                                ->check(wholeIn(1, MaxChannels));
    o->map.declare(sub);
    o->diffOption = sub->add_option("--diff", o->diff, "wave time difference (ms) of the mark type")->check(WholePositive);
    sub->add_option("--isowidth", o->isoWidth, "isochrone width (ms, default 500)")->check(WholePositive);
    sub->add_flag("--isochrones", o->isochrones, "draw isochrone lines on maps");
    sub->add_flag("--no-digits", o->noDigits, "leave the values out of the map cells");
    sub->add_flag("--stats", o->stats, "show the wave statistics");
    sub->add_option("--amplification", o->amplification, "trace amplification (default 0.01)");
    o->connectionsOption = sub->add_option("--connections", o->connections, "connections file read after opening");
    sub->add_option("--panels", o->request.choice.panels, "panels printed: 0 top, 1 bottom, 2 both")
        ->required()
        ->check(wholeIn(0, 2));
    sub->add_option("--orientation", o->request.choice.orientation, "paper: 1 portrait, any other integer landscape")
        ->required()
        ->check(wholeIn(INT32_MIN, INT32_MAX).description("N"));
    o->captionOption = sub->add_option("--caption", o->caption, "title of the page (default the mark file's FileInfo)");
    sub->add_flag("--only-marks", o->request.choice.onlyMarks, "leave the traces out, keep their marks");
    sub->add_option("--paper", o->paper, "sheet WxH in printer pixels, portrait (default A4, 4961x7016)");
    sub->add_option("--pdf", o->request.pdf, "PDF file written (one page at 600 dpi)")
        ->required()
        ->check(CLI::Validator(
            [](std::string& name) -> std::string {
                const bool pdf = name.size() > 4 && (name.substr(name.size() - 4) == ".pdf" || name.substr(name.size() - 4) == ".PDF");
                return pdf ? std::string() : "'" + name + "' is not a .pdf file name";
            },
            "FILE.pdf"));
    sub->add_flag("--primitives", o->request.primitives, "write every drawing call on the page to standard output");
}
#endif

void addDemo(CLI::App& app) {
    struct Options {
        std::string folder;
        int rate = 1000;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = app.add_subcommand("demo", "write the demo recording, its matrix and its true activation times");
    sub->add_option("DIR", o->folder, "folder written to (created when missing)")->required();
    sub->add_option("--rate", o->rate, "sampling frequency of the recording in Hz (100..2000, default 1000)")
        ->check(wholeIn(100, 2000));
    sub->callback([o] {
        try {
            const DemoFiles files = WriteDemoRecording(o->folder, o->rate);
            std::cout << "MatrixFileName=" << files.matrix << "\nFileName=" << files.recording
                      << "\nTruthFileName=" << files.truth << "\n";
        } catch (const IoError& e) {
            fail(e.what());
        }
    });
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("The operations of Vorelkant on a recording, without a window.", "vorelkant-cli");
    app.get_formatter()->column_width(46);
    app.require_subcommand(1);
    Tool tool;
    addInfo(app, tool);
    addSignals(app, tool);
    addImport(app, tool);
    addMarks(app, tool);
    addSearch(app, tool);
    addWaves(app, tool);
    addAutomark(app, tool);
    addMeasure(app, tool);
    addConnections(app, tool);
    addMap(app, tool);
    addSpikeStats(app, tool);
    addVelocity(app, tool);
#ifdef VK_WITH_RENDER
    addRender(app, tool);
    addPrint(app, tool);
#endif
    addExport(app, tool);
    addImportMarks(app, tool);
    addDemo(app);
    if (argc < 2) {
        std::cout << app.help();
        return BadInput;
    }
    const std::string first = argv[1];
    if (first[0] != '-' && app.get_subcommands([&](CLI::App* sub) { return sub->get_name() == first; }).empty())
        fail("unknown command " + first);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        fail(e.what());
    }
    return 0;
}
