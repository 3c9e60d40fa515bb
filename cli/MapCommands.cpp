// The subcommands of maps: map, velocity and spike-stats.
#include <algorithm>
#include <string>

#include "cli/Commands.h"
#include "cli/MapOptions.h"
#include "cli/Options.h"
#include "cli/StudyOutput.h"
#include "electrograms/SpikeStats.h"
#include "maps/MapBuffer.h"
#include "maps/MapExpand.h"
#include "maps/MapStatistics.h"
#include "maps/Velocity.h"
#include "session/Errors.h"

namespace vk::cli {

// A map of one time window: one line per matrix row with the field of each
// cell that the map kind shows, an empty field where the cell has none.
void addMap(CLI::App& app, Tool& tool) {
    struct Options {
        int kind = 0, cycles = 10, neighbours = 3, fill = 0;
        bool expand = false, arrows = false, stats = false;
        CLI::Option* fillOption = nullptr;
        std::string table;
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
            if (!o->table.empty()) {
                // One row per cell: its value for the map kind, and whether expansion filled it.
                std::vector<TableRow> rows;
                for (int row = 1; row <= std::min(s.NrRows, MapGridSize); ++row)
                    for (int column = 1; column <= std::min(s.NrColumns, MapGridSize); ++column) {
                        const MapCell& c = s.MapBuf.at(column, row);
                        const int32_t e = s.MatrixGrid[static_cast<size_t>(column)][static_cast<size_t>(row)];
                        rows.push_back({{s.FileName, true}, {std::to_string(column)}, {std::to_string(row)},
                                        {e >= 1 ? std::to_string(e) : ""}, {cellField(c, o->kind)},
                                        {c.Expanded == 1 ? "1" : "0"}});
                    }
                return printTable(o->table, {"recording", "column", "row", "electrode", "value", "expanded"}, rows);
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
    addTableOption(sub, o->table);
}

// "Spike Stats" over the traces of an electrogram window: the memo table,
// and the "save as text" file.
void addSpikeStats(CLI::App& app, Tool& tool) {
    struct Options {
        int begin = 0, window = 0, traces = 0, order = 1, firstChannel = 17, startCol = 1, startRow = 1;
        std::string out, table;
        CLI::Option* tracesOption = nullptr;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(
        app, tool, "spike-stats", "print the interval statistics of every trace's marks in a window", [o](Ctx& ctx) {
            SessionState& s = ctx.s;
            if (o->order != 0 && o->order != 1 && o->order != 2 && o->order != 6)
                fail("--order " + std::to_string(o->order) + " is not an order: 0, 1, 2 or 6");
            if (o->order == 1 || o->order == 2) {
                // Traces along matrix rows or columns.
                requireMatrix(s);
                const bool column = o->startCol > s.NrColumns, row = o->startRow > s.NrRows;
                if (column || row)
                    fail(std::string(column && row ? "--start-col, --start-row" : column ? "--start-col" : "--start-row") +
                         ": start cell " + std::to_string(o->startCol) + ", " + std::to_string(o->startRow) +
                         " is outside the " + std::to_string(s.NrColumns) + " x " + std::to_string(s.NrRows) +
                         " matrix");
            }
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
            if (!o->table.empty()) {
                std::vector<TableRow> rows;
                for (int e = 1; e <= MaxChannels; ++e) {
                    const SessionState::EleStatRecord& r = s.EleStats[static_cast<size_t>(e)];
                    if (r.Electrode == Missing) continue;
                    auto value = [](double v) { return TableField{v == Missing ? "" : TableNumber(v)}; };
                    rows.push_back({{s.FileName, true}, {std::to_string(e)}, value(r.Nr), value(r.Avg), value(r.StDev),
                                    value(r.Min), value(r.Max), value(r.Range)});
                }
                return printTable(o->table,
                                  {"recording", "electrode", "intervals", "interval_mean_ms", "interval_sd_ms",
                                   "interval_min_ms", "interval_max_ms", "interval_range_ms"},
                                  rows);
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
    addTableOption(sub, o->table);
}

// The conduction velocity arrows of a time map on a paint box: one line per
// block with a kept arrow.
void addVelocity(CLI::App& app, Tool& tool) {
    struct Options {
        int width = 800, height = 600;
        std::string table;
        MapWindowOptions map;
        VelocityOptions velocity;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = addRecordingCommand(
        app, tool, "velocity", "print the conduction velocity arrows of a time map, one line per block", [o](Ctx& ctx) {
            SessionState& s = ctx.s;
            o->map.apply(s);
            // Speeds are distances over times: without a distance there are none.
            if (const std::string why = NoVelocitiesReason(s); !why.empty()) fail(why);
            o->velocity.apply(s);
            SizeMapCells(s, o->width - 1, o->height - 1);
            LoadMap(s, s.CurrentMarkType[1]);
            CalcVelocities(s);
            if (!o->table.empty()) {
                std::vector<TableRow> rows;
                for (int column = 1; column <= std::min(s.NrColumns, MapGridSize); ++column)
                    for (int row = 1; row <= std::min(s.NrRows, MapGridSize); ++row)
                        if (const VelocityRec& v = s.VelocityBuf.at(column, row); v.Speed != Missing)
                            rows.push_back({{s.FileName, true}, {std::to_string(column)}, {std::to_string(row)},
                                            {TableNumber(v.Speed)}, {TableNumber(v.Angle)}});
                return printTable(o->table, {"recording", "column", "row", "speed_cm_s", "angle_deg"}, rows);
            }
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
    addTableOption(sub, o->table);
}

}  // namespace vk::cli
