// The subcommands that draw through the desktop program's Qt canvas:
// render (panel A into a PNG) and print (a page into a PDF). Built only
// with the desktop program.
#include <algorithm>
#include <charconv>
#include <string>

#include "cli/Commands.h"
#include "cli/MapOptions.h"
#include "cli/Options.h"
#include "cli/Print.h"
#include "cli/Render.h"
#include "marks/Connections.h"
#include "session/Ask.h"
#include "session/Errors.h"
#include "session/RecordingFiles.h"

namespace vk::cli {

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
            // Maps, waves and the waveform grid are laid out by the matrix,
            // and so are traces along its rows or columns.
            if (o->map || o->waveOption->count() || o->waveforms || s.TraceOrder == 1 || s.TraceOrder == 2)
                requireMatrix(s);
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
        if (o->a.map || o->b.map || o->a.waveOption->count() || o->b.waveOption->count() || s.TraceOrder != 0)
            requireMatrix(s);
        if (o->diffOption->count()) s.WaveDifference[static_cast<size_t>(s.CurrentMarkType[1])] = o->diff;
        s.IsochroneWidth = o->isoWidth;
        s.PlotIsochrones = o->isochrones;
        s.ShowMapDigits = !o->noDigits;
        s.ShowWaveStatistics = o->stats;
        s.PlotLocalTimes = o->localTimes;
        s.Amplification = o->amplification;
        r.choice.caption = o->captionOption->count() ? o->caption : s.FileInfo;
        // A page never replaces the recording, its marks or its connections.
        try {
            RefuseRecordingFiles(s, r.pdf);
        } catch (const IoError& e) {
            fail(e.what());
        }
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

}  // namespace vk::cli
