// The subcommands that print what opening a recording gives: info, marks,
// signals, and the measurements of its marks (measure).
#include <memory>
#include <sstream>
#include <string>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/StudyOutput.h"
#include "marks/Journal.h"
#include "marks/Measures.h"

namespace vk::cli {

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
          << "TileRectangle=" << (s.TileRectangle ? "true" : "false") << "\n"
          << "SettingsFile=" << s.SettingsFileName << "\n";
        std::cout << o.str();
    });
}

void addMarks(CLI::App& app, Tool& tool) {
    auto journal = std::make_shared<bool>(false);
    auto table = std::make_shared<std::string>();
    CLI::App* sub = addRecordingCommand(
        app, tool, "marks", "print every mark slot of the recording's mark file", [journal, table](Ctx& ctx) {
            SessionState& s = ctx.s;
            // The journal is only read here: the window offers it on the next open.
            std::string before;
            if (*journal) {
                const JournalFile f = ReadJournalFile(s.MarkFileName, StampOf(s.MarkFileName));
                int entries = 0;
                if (!f.readError.empty()) {
                    before = "JournalUnused=" + f.readError + "\n";
                } else if (f.exists && f.contents.status != JournalContents::Status::Usable) {
                    before = "JournalUnused=" + f.contents.reason + "\n";
                } else if (f.exists) {
                    ApplyJournalState(f.contents.last, s);
                    entries = f.contents.entries;
                }
                before += "JournalEntries=" + std::to_string(entries) + "\n";
            }
            if (!table->empty()) {
                AnalyseMarks(ctx, {});
                printTable(*table, MarksColumns, MarkRows(s, s.FileName, SlowWave));
                return;
            }
            std::string out = before + "MarkCount=" + std::to_string(s.MarkCount) + "\n";
            for (int i = 1; i <= s.MarkCount; ++i) {
                const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
                out += std::to_string(i) + "\t" + std::to_string(m.Electrode) + "\t" + std::to_string(m.MarkType) +
                       "\t" + std::to_string(m.Time) + "\t" + std::to_string(m.Aux1) + "\t" +
                       std::to_string(m.Aux2) + "\t" + std::to_string(m.Origin) + "\t" + std::to_string(m.MarkNr) +
                       "\n";
            }
            out += "FileInfo=" + s.FileInfo + "\n";
            std::cout << out;
        });
    sub->add_flag("--journal", *journal,
                  "the marks as the window would restore them from the journal of unsaved changes, and "
                  "JournalEntries=");
    addTableOption(sub, *table);
}

// "Calc Amplitudes + Slopes" on the recording's marks: one line per measured slot.
void addMeasure(CLI::App& app, Tool& tool) {
    auto table = std::make_shared<std::string>();
    CLI::App* sub = addRecordingCommand(
                        app, tool, "measure", "measure amplitude and slope of every slow wave, one line per mark slot",
                        [table](Ctx& ctx) {
                            SessionState& s = ctx.s;
                            if (!table->empty()) {
                                // The rows of the measured marks: those with an amplitude.
                                AnalyseMarks(ctx, {});
                                std::vector<TableRow> rows = MarkRows(s, s.FileName, SlowWave);
                                std::erase_if(rows, [](const TableRow& r) { return r[9].text.empty(); });
                                printTable(*table, MarksColumns, rows);
                                return;
                            }
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
    addTableOption(sub, *table);
}

void addSignals(CLI::App& app, Tool& tool) {
    struct Options {
        std::string channels;
        int from = 0, to = 0;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(
        app, tool, "signals", "print Signals rows FROM..TO: the row, then each channel's value",
        [o](Ctx& ctx) { std::cout << signalRows(ctx.s, o->channels, "--channels", MaxChannels, o->from, o->to); });
    sub->add_option("--channels", o->channels, "channels to print, for example 17,20-24 (1..256)")->required();
    sub->add_option("--from", o->from, "first sample row")->required();
    sub->add_option("--to", o->to, "last sample row")->required();
}

}  // namespace vk::cli
