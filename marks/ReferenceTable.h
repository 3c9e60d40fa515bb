// The reference table: the reference marks of the recording (marks of type
// -1, placed with the R key or inserted here by electrode and time), from
// which the user picks the one whose time and electrode every map and time
// label is taken relative to.
//
// Entry 1 is always "no reference" (electrode 0, time 0); entries 2.. are
// the reference marks in slot order, 99 at most. A choice only becomes the
// reference when the window's OK applies it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "session/Context.h"

namespace vk {

inline constexpr const char* InvalidRefTitle = "Invalid Reference Number";
inline constexpr const char* InvalidRefText = "Reference number is not in the available range";

// Rebuilds RefList and RefCount from the mark table; SelectedRef becomes 0.
void UpdateReferenceTable(SessionState& s);
// The grid rows: "Nr " + i, the electrode, the time, for entries 1..RefCount.
std::vector<std::array<std::string, 3>> RefGridRows(const SessionState& s);

// A click on grid row `row` (0 is the first row) chooses that entry.
void RefGridSelectCell(SessionState& s, int row);
// A number typed as the new reference number. An entry outside
// 1..RefCount beeps and shows the "Invalid Reference Number" box; text that
// is not (yet) a whole number, such as an emptied field, is left alone.
void InsertRefNrChange(Ctx& ctx, const std::string& text);
// "Insert": a new reference mark on electrode 17..256 at time
// 0..SignalLength; each value out of range beeps and says so, and then
// nothing is added. Text that is not a number throws ConversionError.
void InsertButtonClick(Ctx& ctx, const std::string& electrode, const std::string& time);
// "Delete Reference": deletes every mark (of any type) at the electrode and
// time of the clicked entry; the first entry cannot be deleted. The applied
// reference stays as it was. Insert and delete redraw the panels, which
// show the reference marks. When the deleted entry was the one under
// "Current: ", the no-reference pair (0, 0) is shown instead.
void DeleteButtonClick(Ctx& ctx);
// "OK" applies the chosen pair as the reference and redraws; "Cancel" only redraws.
void OkbuttonClick(Ctx& ctx);
void CancelButtonClick(Ctx& ctx);

}  // namespace vk
