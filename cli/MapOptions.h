// The map options that several subcommands share (map, velocity, export,
// render, print) and what sets panel A up as a map of a time window.
#pragma once

#include <string>

#include "cli/Options.h"
#include "session/MapCell.h"
#include "session/MarkRecord.h"

namespace vk::cli {

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
std::string cellField(const MapCell& c, int kind);

// Panel A as a map of the window --begin/--window: the per-draw copies the
// map load reads. The electrogram window (the interval map's) is the same.
void setMapWindow(SessionState& s, int begin, int window, int kind);

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
void prepareMapKind(SessionState& s, int kind);

}  // namespace vk::cli
