// The subcommands of vorelkant-cli. Each add... function declares one
// subcommand's options (with their one-line help) and the callback that
// runs once they parsed; main adds them all.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/Options.h"

namespace vk::cli {

// RecordingCommands.cpp
void addInfo(CLI::App& app, Tool& tool);
void addMarks(CLI::App& app, Tool& tool);
void addSignals(CLI::App& app, Tool& tool);
void addMeasure(CLI::App& app, Tool& tool);

// ImportCommands.cpp
void addImport(CLI::App& app, Tool& tool);
void addImportMarks(CLI::App& app, Tool& tool);
void addDemo(CLI::App& app);

// MarkCommands.cpp
void addSearch(CLI::App& app, Tool& tool);
void addWaves(CLI::App& app, Tool& tool);
void addAutomark(CLI::App& app, Tool& tool);
void addConnections(CLI::App& app, Tool& tool);

// MapCommands.cpp
void addMap(CLI::App& app, Tool& tool);
void addSpikeStats(CLI::App& app, Tool& tool);
void addVelocity(CLI::App& app, Tool& tool);

// ExportCommand.cpp
void addExport(CLI::App& app, Tool& tool);

// StudyCommand.cpp, StudyMerge.cpp
void addStudy(CLI::App& app);
void addStudyMerge(CLI::App& app);

// DetectCommand.cpp
void addDetect(CLI::App& app, Tool& tool);

// DrawCommands.cpp, built with the desktop program only.
void addRender(CLI::App& app, Tool& tool);
void addPrint(CLI::App& app, Tool& tool);

// AnimateCommand.cpp, built with the desktop program only.
void addAnimate(CLI::App& app, Tool& tool);

}  // namespace vk::cli
