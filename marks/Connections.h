// Connections between the marks of neighbouring electrodes: the user links
// a mark on one electrode to a mark on the next to record that one wave
// passed both, and in which direction. They are made and removed with keys
// over the electrogram traces, drawn there as magenta arrows
// (electrograms/ConnectionArrows.h), and kept in a text file beside the
// recording.
//
// Records live in slots 1..ConnCount of the session's table. A deleted
// record keeps its slot (Electrode1 becomes Missing or -1), and a slot that
// no pair of marks filled keeps Electrode1 0; neither is drawn or saved.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "session/Context.h"

namespace vk {

// Marks further than this from the cursor take no part in a connection (ms).
inline constexpr int32_t ConnectWindow = 3000;
// Keys 1 and 2: marks nearer than this to the cursor (ms).
inline constexpr int32_t PickWindow = 500;

inline bool IsLiveConnection(const Connection& c) { return c.Electrode1 > 0; }

// The connections file of a recording: the character after the first "." of
// the recording's own name becomes "C" ("dir/REC.E07" -> "dir/REC.C07").
// Folders never take part. A name without an extension, or one that would
// give the recording's own name, gets ".C" appended instead, so the
// recording itself can never be overwritten.
std::string ConnFileNameFor(const std::string& fileName);

// The electrode pair the keys Y and F act on: the electrode under the mouse
// and the one above it when the mouse is above the centre of its row,
// otherwise the one below it.
std::pair<int32_t, int32_t> ConnectionPair(const SessionState& s);

// Key Y: takes the next slot (also when nothing fills it) and puts into it
// the last pair of marks, one on e1 and one on e2 near `time`, with the e1
// mark earlier. False when the table is full.
bool AddConnection(SessionState& s, int32_t e1, int32_t e2, int32_t time);
// Key F: deletes every record whose electrodes span the pair or lie within it.
void DeleteConnectionsBetween(SessionState& s, int32_t e1, int32_t e2);
// Key Z: deletes the records of `electrode` whose times lie on both sides of `time`.
void DeleteConnectionsAcross(SessionState& s, int32_t electrode, int32_t time);
// Key 1: remembers the electrode under the cursor and its last mark within
// 500 ms of the cursor (RememberedTime Missing when there is none).
void RememberMark(SessionState& s);
// Key 2: connects the remembered mark to every mark of the electrode under
// the cursor within 500 ms of it. Returns the number of records added.
int ConnectRemembered(SessionState& s);
// "Make Connections": for each pair of consecutive rows of `electrodes`
// (the rows of the displayed traces), every not yet connected mark of the
// upper electrode within begin..begin+window is connected to the first mark
// of the lower electrode in the window that lies within 3000 ms of it.
// Returns the number of records added.
int MakeConnections(SessionState& s, const std::vector<int32_t>& electrodes, int32_t begin, int32_t window);

// Of a set of identical records (same electrodes and times) only the last
// stays; the others are deleted (Electrode1 -1).
void RemoveDuplicateConnections(SessionState& s);
// The lines of the connections file: a 9-line header, then one TAB
// separated line per live record in slot order.
std::vector<std::string> ConnectionFileLines(const SessionState& s);
// Removes duplicates and writes the file `path` (the connections file of
// RecordingPath when empty) atomically, naming it in its first line;
// clears ConnectionsChanged. Throws IoError.
void WriteConnectionsFile(SessionState& s, const std::string& path = {});

// What reading a connections file found besides the records.
struct ConnectionFileHeader {
    std::string fileName;     // line 1, as the file says
    int32_t signalLength = 0; // line 2
    int32_t count = 0;        // line 3: the records the file claims
};
// Replaces the session's records with those of the file text: `count` lines
// of five integers, each whose first number is positive becoming a record;
// lines missing at the end read as zeros. Records beyond the table's 3000
// are dropped. The header and the count read go to the memo window as
// diagnostic lines. Throws ConversionError for text that is not a number, with
// the records read so far kept.
ConnectionFileHeader ParseConnectionsFile(std::string_view text, SessionState& s);

// Reads the file `path` as File > Import > "Connections" does. Throws
// IoError and ConversionError.
void ReadConnectionsFile(SessionState& s, const std::string& path);

// The row that shows electrode `e2` for a record starting on row k of a panel
// whose rows show `electrodes`.
int64_t ConnectionSecondRow(int k, int32_t e, int32_t e2, const std::vector<int32_t>& electrodes);

// A connection key (Y, F, Z, 1, 2 in either case) over an electrogram's
// plot area. False for any other key.
bool ConnectionKey(Ctx& ctx, char key);

// Menu commands.
void ReadConnections1Click(Ctx& ctx);
void ToggleShowConnections(Ctx& ctx);
std::string ShowConnectionsCaption(const SessionState& s);
void MakeConnections1Click(Ctx& ctx);

}  // namespace vk
