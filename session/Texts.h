// Fixed texts the main window shows: its caption, the help panel and the
// about panel.
#pragma once

#include <string>
#include <vector>

namespace vk {

inline const std::string MainCaption = "Vorelkant305 (September 23,  2009)";

inline const std::vector<std::string> HelpLines = {
    "",
    "*** Frequent Commands ***",
    "",
    "Ctrl-T: on/off Tiling",
    "Ctrl-C:  change nr of channels",
    "Ctrl-G:  go to this channel",
    "Ctrl-R: reference table",
    "Ctrl-U: update display",
    "Ctrl-B: input Begin Time for all displays",
    "Ctrl-W: input Window time for all displays",
    "Ctrl-I: change isochrone width",
    "Ctrl-A: change amplitude of signals",
    "Ctrl-H: display frequent commands",
    "",
    "*** Speed Keys ***",
    "T    : on/off Tiling",
    "a/A  : signal amplitude decrease or increase",
    "B    : begin time in this display",
    "W    : time window in this display",
    "",
    "*** Cursor commands in Electrogram display ***",
    "key 'D' -> delete this mark",
    "key 'R' -> insert reference mark at this position",
    "",
    "",
    "*** Menu commands ***",
    "Menu -> Electrogram : show/hide SW intervals",
    "Menu -> General     : smoothing (only NI-text signals!)",
    "Menu -> Isochrone   : change isochrone width",
};

inline const std::vector<std::string> AboutLines = {
    "",
    "",
    "Vorelkant",
    "",
    "Software to analyze multiple smooth muscle",
    "electrograms",
    "and create propagation maps of the",
    "electrical activities",
    "",
    "Made by the Vorelkant developers.",
    "Questions and reports: see the README that came with the program.",
};

}  // namespace vk
