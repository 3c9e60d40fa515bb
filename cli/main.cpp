// vorelkant-cli: the program's operations on a recording without a window.
//
// Each subcommand opens the recording exactly as the desktop program does
// (the same code), prints Name=value lines or writes the program's files,
// and exits non-zero with a one-line message on bad input.
//
// Every subcommand is one add... function (cli/Commands.h), in the file of
// its family: it declares its options and the callback that runs once they
// parsed. A new subcommand is one more such function and one line here.
#include <CLI/CLI.hpp>

#include <string>

#include "cli/Commands.h"
#include "cli/Options.h"

int main(int argc, char** argv) {
    CLI::App app("The operations of Vorelkant on a recording, without a window.", "vorelkant-cli");
    app.get_formatter()->column_width(46);
    app.require_subcommand(1);
    using namespace vk::cli;
    Tool tool;
    addInfo(app, tool);
    addSignals(app, tool);
    addImport(app, tool);
    addMarks(app, tool);
    addSearch(app, tool);
    addWaves(app, tool);
    addAutomark(app, tool);
    addDetect(app, tool);
    addMeasure(app, tool);
    addConnections(app, tool);
    addMap(app, tool);
    addSpikeStats(app, tool);
    addVelocity(app, tool);
#ifdef VK_WITH_RENDER
    addRender(app, tool);
    addPrint(app, tool);
#endif
#ifdef VK_WITH_RENDER
    addAnimate(app, tool);
#endif
    addExport(app, tool);
    addImportMarks(app, tool);
    addDemo(app);
    addStudy(app);
    addStudyMerge(app);
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
    // What --remember asked for, once the command succeeded.
    finishCommand(tool);
    return 0;
}
