// The subcommands of marking: search (a Shift-click), automark, waves
// (the wave detection) and connections.
#include <string>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/StudyOutput.h"
#include "marks/AutoMark.h"
#include "marks/Connections.h"
#include "marks/ManualMarking.h"
#include "marks/MarkFile.h"
#include "session/Ask.h"
#include "session/TextFiles.h"
#include "waves/WaveDetection.h"

namespace vk::cli {

void addWaves(CLI::App& app, Tool& tool) {
    struct Options {
        int type = SlowWave, diff = 0, ref = 0;
        bool stats = false;
        std::string table;
        CLI::Option *diffOption = nullptr, *refOption = nullptr;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(
        app, tool, "waves", "group the saved marks into waves: one line per wave, electrode:time", [o](Ctx& ctx) {
            SessionState& s = ctx.s;
            // Waves are made of neighbours in the matrix.
            requireMatrix(s);
            if (o->diffOption->count()) s.WaveDifference[static_cast<size_t>(o->type)] = o->diff;
            if (o->refOption->count()) s.RefTime = o->ref;
            CalculateWaves(ctx, o->type);
            if (!o->table.empty()) return printTable(o->table, WavesColumns, WaveRows(s, s.FileName));
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
    addTableOption(sub, o->table);
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

}  // namespace vk::cli
