// The mark table: adding, deleting and switching marks, the undo store of
// deleted marks, hiding marks from the maps, and the mark statistics.
//
// The table is not sorted: marks are appended in the order they are made or
// read and every search is a linear scan over slots 1..MarkCount. A deleted
// mark keeps its slot (type and time become Missing) so that the mark file
// keeps the slot order of the session that wrote it.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "session/Context.h"

namespace vk {

inline bool IsDeleted(const MarkRecord& m) { return m.Time == Missing || m.MarkType == DeletedType; }

// Puts into `order` the slots of the live marks on electrodes 1..256 (of
// `markType` only, when given), ordered by electrode, then time, and returns
// it. Callers pass the session's scratch MarkOrder and read the order from
// the result, so that no one relies on what another sort left there.
const std::vector<int32_t>& SortMarksByElectrode(const SessionState& s, std::vector<int32_t>& order,
                                                 std::optional<int> markType = std::nullopt);

// Colour of a mark type ($00BBGGRR); black for references and deleted slots.
Colour MarkColour(int markType);

// Appends a mark on CurrentElectrode; does nothing when the table is full or
// CurrentElectrode is not one of 1..256.
void AddMarkRecord(SessionState& s, int32_t time, int16_t markType, int16_t markNr);
// Deletes every mark of the electrode with low <= Time <= high whose type is
// the requested one, 0 or a reference. Returns the time of the last deleted
// mark in slot order, or Missing. Each deleted mark is also passed to
// `deleted` when given (electrode, time and type as they were).
int32_t RemoveTime(SessionState& s, int32_t electrode, int32_t markType, int32_t high, int32_t low,
                   const std::function<void(const UndoEntry&)>& deleted = {});
// Deletes the automatic marks (origin 2) of one type on the electrode with
// low <= Time <= high; manual and reference marks stay. Returns how many.
int RemoveAutomaticMarks(SessionState& s, int32_t electrode, int32_t markType, int32_t low, int32_t high);
// Turns slow waves into spikes and spikes into slow waves in the window.
int32_t SwitchAttribute(SessionState& s, int32_t electrode, int32_t low, int32_t high);
// Remembers one deleted mark (the oldest of 100 is dropped).
void StoreUndo(SessionState& s, int32_t time, int32_t markType, int32_t electrode);
// Re-adds the newest deleted mark as a new slot. False when there is none.
bool UndoLastDeletion(SessionState& s);
// Deletes every slow wave and reference mark of CurrentElectrode (nothing
// when there is none).
void KillMarks(SessionState& s);
// Empties the table and the undo store (another recording was opened).
void ClearMarks(SessionState& s);

// Hiding marks from the maps: every mark of the electrode at this time
// (relative to RefTime), all marks of one electrode, all marks.
void HideMarks(SessionState& s, int32_t electrode, int32_t relativeTime);
void UnhideElectrode(SessionState& s, int32_t electrode);
void UnhideAll(SessionState& s);

struct MarkStatistics {
    int references = 0, slowWaves = 0, manualSlowWaves = 0, automaticSlowWaves = 0;
    int spikes = 0, manualSpikes = 0, automaticSpikes = 0, type3 = 0;
};
MarkStatistics CalcMarkStatistics(const SessionState& s);
// The 5 rows x 4 columns of the "Mark Statistics" grid.
std::array<std::array<std::string, 4>, 5> MarkStatisticsGrid(const MarkStatistics& m);

// Menu commands.
void UndoDeletedMarks1Click(Ctx& ctx);
void UnhideMarks1Click(Ctx& ctx);
// Toggles the statistics window; the desktop shows it while the flag is on.
void ShowMarkStatistics1Click(Ctx& ctx);
void MarkStatisticsOkClick(Ctx& ctx);

}  // namespace vk
