// The subcommands that bring data in or make it: import (the text
// recordings), import-marks (a mark text file) and demo.
#include <sstream>
#include <string>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "exchange/MarkText.h"
#include "input/DemoRecording.h"
#include "exchange/RecordingText.h"
#include "input/TextImport.h"
#include "marks/MarkFile.h"
#include "session/Ask.h"
#include "session/Errors.h"
#include "session/TextFiles.h"

namespace vk::cli {

namespace {

// The imported recording as an electrogram file, and its settings file.
void writeElgFile(Ctx& ctx, const std::string& out, int scale) {
    try {
        WriteRecordingAsElg(ctx.s, out, scale);
    } catch (const ConversionError& e) {
        fail(std::string("--write-elg: ") + e.what() + "; give --scale K (K a positive integer) to divide every value by K");
    } catch (const IoError& e) {
        std::cerr << "vorelkant-cli: " << e.what() << "\n";
        std::exit(Failed);
    }
}

}  // namespace

void addImport(CLI::App& app, Tool& tool) {
    struct Options {
        std::string format, path, print;
        int channels = 0, samples = 0, rate = 0, length = 30000, from = 0, to = 0;
        std::string matrixName;
        CLI::Option *channelsOption = nullptr, *rateOption = nullptr, *matrixOption = nullptr;
        std::string writeElg;
        int scale = 1;
        bool force = false;
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
    sub->add_option("--write-elg", o->writeElg, "also write the recording as an electrogram file OUT")->type_name("OUT");
    sub->add_option("--scale", o->scale, "with --write-elg: divide every value by K (rounded, halves to even)")
        ->type_name("K")
        ->check(WholePositive);
    sub->add_flag("--force", o->force, "with --write-elg: replace OUT when it exists");
    sub->callback([&tool, o] {
        if (o->writeElg.empty() && (o->force || o->scale != 1)) fail(std::string(o->force ? "--force" : "--scale") + " goes with --write-elg");
        if (!o->writeElg.empty() && !o->force && fileExists(o->writeElg))
            fail(o->writeElg + " exists; give --force to replace it");
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
        if (r.outcome == ImportOutcome::Refused) {
            if (format == TextFormat::Auckland) fail("the header of " + o->path + " gives values the buffers cannot hold");
            // The edit the window would send the user back to.
            const std::string option = format == TextFormat::NI ? "--length"
                                       : r.field == 1          ? "--channels"
                                       : r.field == 3          ? "--rate"
                                                               : "--samples";
            fail(option + ": the value is outside what the buffers hold");
        }
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
        // The rows are checked before anything is printed: a channel the
        // import does not have is an error, not a column of zeros.
        if (!o->print.empty()) out << signalRows(s, o->print, "--print", s.NrTraces, o->from, o->to);
        if (!o->writeElg.empty()) writeElgFile(ctx, o->writeElg, o->scale);
        std::cout << out.str();
    });
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
                  << "\nMarksAlreadyPresent=" << r.alreadyPresent << "\nMarksSkipped=" << r.skipped << "\n";
    });
    sub->add_option("--from", o->from, "the mark text file")->required();
    sub->add_flag("--save", o->save, "write the marks to the recording's mark file");
}

void addDemo(CLI::App& app) {
    struct Options {
        std::string folder;
        int rate = 1000;
        int noise = 0;
        uint32_t seed = 1;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = app.add_subcommand("demo", "write the demo recording, its matrix and its true activation times");
    sub->add_option("DIR", o->folder, "folder written to (created when missing)")->required();
    sub->add_option("--rate", o->rate, "sampling frequency of the recording in Hz (100..2000, default 1000)")
        ->check(wholeIn(100, 2000));
    sub->add_option("--noise", o->noise, "troubles of real recordings: 0 none (the default), 1 mild .. 3 hard")
        ->check(wholeIn(0, DemoMaxNoise));
    sub->add_option("--seed", o->seed, "varies the noise and artefacts (default 1)")->check(wholeIn(0, 4294967295LL));
    sub->callback([o] {
        try {
            const DemoFiles files = o->noise > 0 ? WriteDemoRecording(o->folder, o->rate, o->noise, o->seed)
                                                 : WriteDemoRecording(o->folder, o->rate);
            std::cout << "MatrixFileName=" << files.matrix << "\nFileName=" << files.recording
                      << "\nTruthFileName=" << files.truth << "\n";
        } catch (const IoError& e) {
            fail(e.what());
        }
    });
}

}  // namespace vk::cli
