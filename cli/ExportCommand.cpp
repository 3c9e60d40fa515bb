// "export": the File menu's exports, each written by the code the menu runs.
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/MapOptions.h"
#include "cli/Options.h"
#include "exchange/DataExports.h"
#include "exchange/MacExport.h"
#include "exchange/MarkText.h"
#include "exchange/RecordingText.h"
#include "maps/MapBuffer.h"
#include "maps/Velocity.h"
#include "session/Ask.h"
#include "session/RecordingFiles.h"
#include "session/TextFiles.h"

namespace vk::cli {

// The exports of the File menu, each written as the menu command writes it
// for the view the options describe (panel A, active).
void addExport(CLI::App& app, Tool& tool) {
    struct Options {
        std::string what, out;
        int begin = 0, window = 4000, type = SlowWave, kind = TimeMapKind, electrode = 0, traces = 0, first = 0,
            order = 0, width = 800, height = 600;
        bool arrows = false;
        CLI::Option *tracesOption = nullptr, *firstOption = nullptr, *orderOption = nullptr, *electrodeOption = nullptr;
    };
    auto o = std::make_shared<Options>();
    static const std::vector<std::string> whats{"marks-text", "samples", "animation", "single-electrogram",
                                                "matrix-text", "all-marks", "tavrin", "mac-map", "mac-electrograms",
                                                "mac-elemap", "realbasic", "nashville-text"};
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
        // The map exports and the electrode-array ones are laid out by the
        // matrix; the trace exports are when the traces run along its rows
        // or columns.
        const bool traces = w == "samples" || w == "single-electrogram" || w == "mac-electrograms";
        if (w == "matrix-text" || w == "mac-map" || w == "mac-elemap" || w == "tavrin" ||
            (traces && (s.TraceOrder == 1 || s.TraceOrder == 2)))
            requireMatrix(s);
        if (o->arrows && w != "mac-map") fail("--arrows goes with mac-map");
        if (w == "matrix-text" || w == "mac-map") {
            setMapWindow(s, o->begin, o->window, o->kind);
            SizeMapCells(s, o->width - 1, o->height - 1);
            prepareMapKind(s, o->kind);
            s.PlotArrows = o->arrows;
            LoadMap(s, s.CurrentMarkType[1]);
            // What a map draw with "plot Arrows" on computes before drawing.
            if (s.PlotArrows) CalcVelocities(s);
        }
        if (w == "all-marks" && !AllMarksElectrodeAccepted(o->electrode))
            fail("--electrode must be 17..255 for all-marks");
        const bool ok = runCommand(ctx, [&] {
            if (w == "matrix-text") return writeExportBytes(s, o->out, MatrixTextBytes(s));
            if (w == "tavrin") return writeExportBytes(s, o->out, TavrinBytes(s));
            std::vector<std::string> lines;
            if (w == "marks-text") lines = MarkTextLines(s);
            else if (w == "samples") lines = TwelveTraceLines(s);
            else if (w == "animation") lines = AnimationLines(s);
            else if (w == "single-electrogram") lines = SingleElectrogramLines(s);
            else if (w == "all-marks") lines = AllMarksLines(s, o->electrode);
            else if (w == "realbasic") lines = RealBasicLines(s);
            else if (w == "nashville-text") lines = NashvilleTextLines(s);
            else if (w == "mac-map") lines = DrawingFileLines(MacBlocks(s, MacCopy::Map));
            else if (w == "mac-electrograms") lines = DrawingFileLines(MacBlocks(s, MacCopy::Electrograms));
            else lines = DrawingFileLines(MacBlocks(s, MacCopy::EleMap));
            writeExportLines(s, o->out, lines);
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
    sub->add_flag("--arrows", o->arrows, "mac-map with \"plot Arrows\" on: the arrows in place of the digits");
    sub->add_option("--width", o->width, "map paint box width in pixels (default 800)")->check(wholeIn(20, 20000));
    sub->add_option("--height", o->height, "map paint box height in pixels (default 600)")->check(wholeIn(20, 20000));
}

}  // namespace vk::cli
