// vorelkant-cli: the program's operations on a recording without a window.
//
// Each subcommand opens the recording exactly as the desktop program does
// (the same code), prints Name=value lines or writes the program's files,
// and exits non-zero with a one-line message on bad input.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "shell/Display.h"
#include "input/DemoRecording.h"
#include "marks/ManualMarking.h"
#include "waves/WaveDetection.h"
#include "marks/AutoMark.h"
#include "marks/MarkFile.h"
#include "maps/MapBuffer.h"
#ifdef VK_WITH_RENDER
#include "cli/Render.h"
#endif
#include "shell/Commands.h"
#include "session/Errors.h"
#include "session/TextFiles.h"

namespace {

using namespace vk;

// Answers for a person who is not there: dialogs are cancelled, messages go
// to standard error.
class CliHost : public QuietHost {
public:
    void information(const std::string& text) override { std::cerr << text << "\n"; }
    void warning(const std::string& text) override { std::cerr << text << "\n"; }
    void error(const std::string& text) override {
        std::cerr << text << "\n";
        failed = true;
    }

    bool failed = false;
};

struct Args {
    std::string command;
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
    std::map<std::string, bool> flags;
};

const std::map<std::string, bool> KnownOptions = {
    // name, takes a value
    {"--matrix", true}, {"--no-smooth", false}, {"--channels", true}, {"--from", true}, {"--to", true},
    {"--out", true},    {"--width", true},      {"--height", true},   {"--begin", true}, {"--window", true},
    {"--traces", true}, {"--first-channel", true}, {"--electrode", true}, {"--time", true},
    {"--type", true},   {"--criteria", true}, {"--diff", true}, {"--ref", true}, {"--stats", false},
    {"--save", false},
    {"--both", false},    {"--map", false}, {"--isochrones", false}, {"--wave", true}, {"--local-times", false},
};

[[noreturn]] void fail(const std::string& message) {
    std::cerr << "vorelkant-cli: " << message << "\n";
    std::exit(2);
}

Args parseArgs(int argc, char** argv) {
    Args a;
    if (argc < 2) fail("usage: vorelkant-cli info|signals|marks|search|waves|automark|map|render|demo ... (see README.md)");
    a.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) == 0) {
            auto known = KnownOptions.find(arg);
            if (known == KnownOptions.end()) fail("unknown option " + arg);
            if (known->second) {
                if (i + 1 >= argc) fail(arg + " needs a value");
                a.options[arg] = argv[++i];
            } else {
                a.flags[arg] = true;
            }
        } else {
            a.positional.push_back(arg);
        }
    }
    return a;
}

int toInt(const std::string& text, const std::string& what) {
    try {
        return parseInt(text);
    } catch (const ConversionError& e) {
        fail(what + ": " + e.what());
    }
}

// Opens the recording named on the command line as "Open File" would.
void openRecording(Ctx& ctx, CliHost& host, const Args& a) {
    if (a.positional.size() != 1) fail(a.command + " needs exactly one recording");
    ctx.s.SmoothOnLoad = a.flags.count("--no-smooth") == 0;
    auto matrix = a.options.find("--matrix");
    if (matrix != a.options.end() && !runCommand(ctx, [&] { UseNewMatrix(ctx.s, matrix->second); })) std::exit(1);
    OpenOptions options;
    options.updateRecentList = false;
    options.askForMissingMatrix = false;
    options.createMarkFile = false;
    if (!OpenElectrogramFile(ctx, a.positional[0], options) || host.failed) std::exit(1);
    ResetViewAfterLoad(ctx.s);
}

void printInfo(const SessionState& s) {
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
}

void printMarks(const SessionState& s) {
    std::string out = "MarkCount=" + std::to_string(s.MarkCount) + "\n";
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        out += std::to_string(i) + "\t" + std::to_string(m.Electrode) + "\t" + std::to_string(m.MarkType) + "\t" +
               std::to_string(m.Time) + "\t" + std::to_string(m.Aux1) + "\t" + std::to_string(m.Aux2) + "\t" +
               std::to_string(m.Origin) + "\t" + std::to_string(m.MarkNr) + "\n";
    }
    out += "FileInfo=" + s.FileInfo + "\n";
    std::cout << out;
}

std::vector<int> parseChannels(const std::string& list) {
    std::vector<int> channels;
    std::stringstream in(list);
    std::string part;
    while (std::getline(in, part, ',')) {
        const auto dash = part.find('-', 1);
        if (dash == std::string::npos) {
            channels.push_back(toInt(part, "--channels"));
        } else {
            const int from = toInt(part.substr(0, dash), "--channels");
            const int to = toInt(part.substr(dash + 1), "--channels");
            for (int c = from; c <= to; ++c) channels.push_back(c);
        }
    }
    for (int c : channels)
        if (c < 1 || c > MaxChannels) fail("channel " + std::to_string(c) + " is outside 1..256");
    if (channels.empty()) fail("--channels names no channel");
    return channels;
}

void printSignals(const SessionState& s, const Args& a) {
    auto need = [&](const char* name) {
        auto it = a.options.find(name);
        if (it == a.options.end()) fail(std::string("signals needs ") + name);
        return it->second;
    };
    const std::vector<int> channels = parseChannels(need("--channels"));
    const int from = toInt(need("--from"), "--from");
    const int to = toInt(need("--to"), "--to");
    if (from < 1 || to > s.SignalLength || from > to)
        fail("samples " + std::to_string(from) + ".." + std::to_string(to) + " are outside 1.." +
             std::to_string(s.SignalLength));
    std::string out;
    for (int row = from; row <= to; ++row) {
        out += std::to_string(row);
        for (int c : channels) out += "\t" + std::to_string(s.Signals.at(row, c));
        out += "\n";
    }
    std::cout << out;
}

// Wave detection on the saved marks: one line per wave with electrode:time
// for every electrode the wave reached.
void waves(Ctx& ctx, const Args& a) {
    SessionState& s = ctx.s;
    int type = SlowWave;
    if (auto it = a.options.find("--type"); it != a.options.end()) type = toInt(it->second, "--type");
    if (type < 1 || type > 3) fail("--type must be 1, 2 or 3");
    if (auto it = a.options.find("--diff"); it != a.options.end()) {
        const int diff = toInt(it->second, "--diff");
        if (diff < 1) fail("--diff must be 1 or more");
        s.WaveDifference[static_cast<size_t>(type)] = diff;
    }
    if (auto it = a.options.find("--ref"); it != a.options.end()) s.RefTime = toInt(it->second, "--ref");
    CalculateWaves(ctx, type);
    std::string out = "WaveCount=" + std::to_string(s.WaveCount) + "\n";
    for (int w = 1; w <= s.WaveCount; ++w) {
        out += std::to_string(w);
        for (int e = 1; e <= MaxChannels; ++e) {
            const int32_t t = WaveTimeAt(s, e, w);
            if (t != Missing) out += (out.back() == '\n' ? "" : " ") + std::to_string(e) + ":" + std::to_string(t);
        }
        out += "\n";
    }
    if (a.flags.count("--stats")) {
        for (int w = 1; w <= s.WaveCount; ++w) {
            const WaveStatistics st = CalcWaveStats(s, [&](int c, int r) { return WaveTimeAt(s, ElectrodeAt(s, c, r), w); });
            out += "Wave=" + std::to_string(w) + "\tWaveSites=" + std::to_string(st.sites) + "\tWaveXSize=" +
                   std::to_string(st.xSize) + "\tWaveYSize=" + std::to_string(st.ySize) + "\tWaveCentreCol=" +
                   std::to_string(st.centreCol) + "\tWaveCentreRow=" + std::to_string(st.centreRow) + "\n";
        }
    }
    std::cout << out;
}

// The time a Shift-click at --time on the trace of --electrode would mark.
void search(Ctx& ctx, const Args& a) {
    SessionState& s = ctx.s;
    auto need = [&](const char* name) {
        auto it = a.options.find(name);
        if (it == a.options.end()) fail(std::string("search needs ") + name);
        return it->second;
    };
    const int electrode = toInt(need("--electrode"), "--electrode");
    const int time = toInt(need("--time"), "--time");
    if (electrode < 1 || electrode > MaxChannels) fail("--electrode must be 1..256");
    int type = SlowWave;
    if (auto it = a.options.find("--type"); it != a.options.end()) type = toInt(it->second, "--type");
    if (type < 1 || type > 3) fail("--type must be 1, 2 or 3");
    if (auto it = a.options.find("--criteria"); it != a.options.end()) {
        s.Prefs.SearchCriteria = toInt(it->second, "--criteria");
        if (s.Prefs.SearchCriteria != 0 && s.Prefs.SearchCriteria != 1) fail("--criteria must be 0 or 1");
    }
    const int32_t w = s.Prefs.SearchWidth[static_cast<size_t>(type)] / 2;
    int32_t found = SearchDownstroke(ctx, electrode, type, time - w, time + w);
    found = AvoidDoubleMark(s, electrode, type, found);
    std::cout << "Found=" << found << "\n";
}

// The automatic slow-wave marker as Electrograms > "Automatic SW marking"
// runs it after the recording was opened: panel A was drawn last, over the
// whole recording unless --window says otherwise.
void automark(Ctx& ctx, const Args& a) {
    SessionState& s = ctx.s;
    s.BeginTime = s.BeginTimeA;
    s.WindowTime = s.WindowA;
    if (auto it = a.options.find("--window"); it != a.options.end()) {
        s.WindowTime = toInt(it->second, "--window");
        if (s.WindowTime < 1) fail("--window must be 1 or more");
    }
    if (auto it = a.options.find("--type"); it != a.options.end()) {
        const int type = toInt(it->second, "--type");
        if (type < SlowWave || type > Type3) fail("--type must be 1, 2 or 3");
        s.CurrentMarkType[1] = type;
    }
    const int added = AutoMarkSlowWaves(ctx);
    if (a.flags.count("--save") && !runCommand(ctx, [&] { WriteMarkFile(s); })) std::exit(1);
    std::cout << "MarkCount=" << s.MarkCount << "\nMarksAdded=" << added << "\n";
}

// The map options: the mark type of the panel, the reference time, and
// slow waves and spikes together.
void applyMapOptions(SessionState& s, const Args& a) {
    auto type = a.options.find("--type");
    if (type != a.options.end()) {
        const int t = toInt(type->second, "--type");
        if (t < 1 || t > 3) fail("--type must be 1 (slow wave), 2 (spike) or 3");
        s.CurrentMarkType[1] = s.CurrentMarkType[2] = t;
    }
    auto ref = a.options.find("--ref");
    if (ref != a.options.end()) {
        s.RefTime = toInt(ref->second, "--ref");
        if (s.RefTime < 0) fail("--ref must be 0 or more");
    }
    s.ShowSWsAndSpikes = a.flags.count("--both") > 0;
}

// The activation time map of one time window: one line per matrix row with
// the time of each cell, an empty field where the cell has none.
void printMap(SessionState& s, const Args& a) {
    auto need = [&](const char* name) {
        auto it = a.options.find(name);
        if (it == a.options.end()) fail(std::string("map needs ") + name);
        return it->second;
    };
    const int begin = toInt(need("--begin"), "--begin");
    const int window = toInt(need("--window"), "--window");
    if (begin < 0 || window < 1) fail("--begin must be 0 or more and --window 1 or more");
    applyMapOptions(s, a);
    if (s.NrColumns < 1 || s.NrRows < 1) fail("the recording has no electrode matrix");
    s.BeginTimeA = begin;
    s.WindowA = window;
    s.MapKindA = 0;
    s.ActiveDisplay = 1;
    SetMapWindowOfPanel(s, 1);
    LoadMap(s, s.CurrentMarkType[1]);
    std::string out = "NrColumns=" + std::to_string(s.NrColumns) + "\nNrRows=" + std::to_string(s.NrRows) +
                      "\nEarliestTime=" + std::to_string(s.EarliestTime) +
                      "\nMapTimeCount=" + std::to_string(s.MapTimeCount) + "\n";
    for (int row = 1; row <= std::min(s.NrRows, MapGridSize); ++row) {
        for (int column = 1; column <= std::min(s.NrColumns, MapGridSize); ++column) {
            if (column > 1) out += "\t";
            const int32_t t = s.MapBuf.at(column, row).Time;
            if (t != Missing) out += std::to_string(t);
        }
        out += "\n";
    }
    std::cout << out;
}

#ifdef VK_WITH_RENDER
void render(Ctx& ctx, const Args& a) {
    SessionState& s = ctx.s;
    auto option = [&](const char* name) -> const std::string* {
        auto it = a.options.find(name);
        return it == a.options.end() ? nullptr : &it->second;
    };
    const std::string* out = option("--out");
    if (!out) fail("render needs --out FILE.png");
    const int width = option("--width") ? toInt(*option("--width"), "--width") : 1600;
    const int height = option("--height") ? toInt(*option("--height"), "--height") : 900;
    if (width < 100 || height < 100 || width > 20000 || height > 20000) fail("--width and --height must be 100..20000");
    if (const std::string* v = option("--begin")) s.BeginTimeA = toInt(*v, "--begin");
    if (const std::string* v = option("--window")) s.WindowA = toInt(*v, "--window");
    if (s.BeginTimeA < 0 || s.WindowA < 1) fail("--begin must be 0 or more and --window 1 or more");
    if (const std::string* v = option("--traces")) s.NrTraces = toInt(*v, "--traces");
    if (s.NrTraces < 1 || s.NrTraces > MaxChannels) fail("--traces must be 1..256");
    if (const std::string* v = option("--first-channel")) {
        // Traces in electrode order from this one, as "goto Channel" with
        // the sequential order.
        s.FirstChannel = toInt(*v, "--first-channel");
        if (s.FirstChannel < 1 || s.FirstChannel > MaxChannels) fail("--first-channel must be 1..256");
        s.TraceOrder = 0;
    }
    applyMapOptions(s, a);
    if (a.flags.count("--map")) s.DisplayTypeA = 0;
    if (auto it = a.options.find("--wave"); it != a.options.end()) {
        // Wave n of the wave detection (wave mode 1), with its statistics line.
        s.DisplayTypeA = 2;
        s.WaveMode = 1;
        s.WaveNrA = toInt(it->second, "--wave");
        if (s.WaveNrA < 1) fail("--wave must be 1 or more");
        s.ShowWaveStatistics = true;
        s.PlotLocalTimes = a.flags.count("--local-times") > 0;
    }
    s.PlotIsochrones = a.flags.count("--isochrones") > 0;
    const std::string error = RenderPanelA(ctx, width, height, *out);
    if (!error.empty()) fail(error);
}
#endif

}  // namespace

int main(int argc, char** argv) {
    const Args a = parseArgs(argc, argv);
    if (a.command == "demo") {
        if (a.positional.size() != 1) fail("usage: vorelkant-cli demo DIR");
        try {
            const DemoFiles files = WriteDemoRecording(a.positional[0]);
            std::cout << "MatrixFileName=" << files.matrix << "\nFileName=" << files.recording
                      << "\nTruthFileName=" << files.truth << "\n";
        } catch (const IoError& e) {
            fail(e.what());
        }
        return 0;
    }
    auto state = std::make_unique<SessionState>();
    const char* home = std::getenv("HOME");
    state->DataRoot = std::string(home ? home : ".") + "/Vorelkant";
    CliHost host;
    Ctx ctx{*state, host, RedrawPanels};
    if (a.command == "info") {
        openRecording(ctx, host, a);
        printInfo(*state);
    } else if (a.command == "waves") {
        openRecording(ctx, host, a);
        waves(ctx, a);
    } else if (a.command == "search") {
        openRecording(ctx, host, a);
        search(ctx, a);
    } else if (a.command == "automark") {
        openRecording(ctx, host, a);
        automark(ctx, a);
    } else if (a.command == "map") {
        openRecording(ctx, host, a);
        printMap(*state, a);
    } else if (a.command == "marks") {
        openRecording(ctx, host, a);
        printMarks(*state);
#ifdef VK_WITH_RENDER
    } else if (a.command == "render") {
        openRecording(ctx, host, a);
        render(ctx, a);
#endif
    } else if (a.command == "signals") {
        openRecording(ctx, host, a);
        printSignals(*state, a);
    } else {
        fail("unknown command " + a.command);
    }
    return 0;
}
