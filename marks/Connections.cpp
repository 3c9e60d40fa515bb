#include "marks/Connections.h"

#include <algorithm>
#include <cstdlib>

#include "layout/TraceLayout.h"
#include "marks/MarkStore.h"
#include "session/Ask.h"
#include "session/Draw.h"
#include "session/Errors.h"
#include "session/TextFiles.h"

namespace vk {

namespace {

// The two real numbers of the header: zero in the 23-character scientific
// form that the file has always had.
constexpr const char* ZeroReal = " 0.00000000000000E+0000";
// Larger files than this are not connections files.
constexpr size_t MaxConnectionsFileBytes = size_t{64} << 20;

Connection& slot(SessionState& s, int i) { return s.Connections[static_cast<size_t>(i)]; }

bool validElectrode(int32_t e) { return e >= 1 && e <= MaxChannels; }

bool near(int32_t t, int32_t time, int32_t window) { return std::llabs(int64_t{t} - time) < window; }

// Calls f(slot, mark) for every live mark of electrode e within `window` of `time`, in slot order.
template <class F>
void forMarksNear(const SessionState& s, int32_t e, int32_t time, int32_t window, F f) {
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Electrode == e && !IsDeleted(m) && near(m.Time, time, window)) f(i, m);
    }
}

// A new record in the next slot, or nullptr when the table is full.
Connection* nextSlot(SessionState& s) {
    if (s.ConnCount >= MaxConnections) return nullptr;
    s.ConnCount += 1;
    Connection& c = slot(s, s.ConnCount);
    c = Connection{};
    return &c;
}

// A record from (ea, ta) to (eb, tb), kept with the lower electrode first so
// that the span tests of the delete keys hold; the direction keeps the arrow
// pointing from a to b.
Connection oriented(int32_t ea, int32_t ta, int32_t eb, int32_t tb) {
    if (ea <= eb) return Connection{ea, ta, eb, tb, 1};
    return Connection{eb, tb, ea, ta, -1};
}

// The integers of one line; those missing read as zeros.
std::array<int32_t, 5> lineNumbers(std::string_view line) {
    std::array<int32_t, 5> v{};
    // A plain scan: record lines are most of a file, and this is where
    // reading one spends its time.
    auto separator = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    const size_t n = line.size();
    size_t pos = 0;
    for (int32_t& value : v) {
        while (pos < n && separator(line[pos])) ++pos;
        if (pos == n) break;
        size_t end = pos;
        while (end < n && !separator(line[end])) ++end;
        value = parseInt(line.substr(pos, end - pos));
        pos = end;
    }
    return v;
}

}  // namespace

// The row that shows electrode `e2` for a record starting on row k: the row
// that the electrode numbers imply when it shows e2, else the row that does,
// else the implied row (rows past the panel are simply not seen).
int64_t ConnectionSecondRow(int k, int32_t e, int32_t e2, const std::vector<int32_t>& electrodes) {
    const int64_t implied = int64_t{k} + e2 - e;
    const auto n = static_cast<int64_t>(electrodes.size());
    if (implied >= 1 && implied <= n && electrodes[static_cast<size_t>(implied - 1)] == e2) return implied;
    const auto it = std::find(electrodes.begin(), electrodes.end(), e2);
    if (it != electrodes.end()) return (it - electrodes.begin()) + 1;
    return implied;
}


std::string ConnFileNameFor(const std::string& fileName) {
    const auto slash = fileName.find_last_of('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const auto dot = fileName.find('.', nameStart);
    if (dot != std::string::npos && dot + 1 < fileName.size()) {
        std::string name = fileName;
        name[dot + 1] = 'C';
        if (name != fileName) return name;
    }
    return fileName + ".C";
}

std::pair<int32_t, int32_t> ConnectionPair(const SessionState& s) {
    const int64_t centre = int64_t{s.CurrentTrace} * s.TraceSpacing + s.PlotTop - roundHalfEven(s.TraceSpacing / 2.0);
    if (s.MouseY - centre < 0) return {s.CurrentElectrode - 1, s.CurrentElectrode};
    return {s.CurrentElectrode, s.CurrentElectrode + 1};
}

bool AddConnection(SessionState& s, int32_t e1, int32_t e2, int32_t time) {
    Connection* c = nextSlot(s);
    if (!c) return false;
    forMarksNear(s, e1, time, ConnectWindow, [&](int, const MarkRecord& m1) {
        forMarksNear(s, e2, time, ConnectWindow, [&](int, const MarkRecord& m2) {
            if (m1.Time < m2.Time) {
                *c = Connection{e1, m1.Time, e2, m2.Time, 1};
                s.ConnectionsChanged = true;
            } else {
                c->Direction = -1;
            }
        });
    });
    return true;
}

void DeleteConnectionsBetween(SessionState& s, int32_t e1, int32_t e2) {
    for (int i = 1; i <= s.ConnCount; ++i) {
        Connection& c = slot(s, i);
        if (!IsLiveConnection(c)) continue;
        if ((c.Electrode1 <= e1 && c.Electrode2 >= e2) || (c.Electrode1 >= e1 && c.Electrode2 <= e2)) {
            c.Electrode1 = Missing;
            s.ConnectionsChanged = true;
        }
    }
}

void DeleteConnectionsAcross(SessionState& s, int32_t electrode, int32_t time) {
    for (int i = 1; i <= s.ConnCount; ++i) {
        Connection& c = slot(s, i);
        if (!IsLiveConnection(c)) continue;
        const int32_t lo = std::min(c.Time1, c.Time2), hi = std::max(c.Time1, c.Time2);
        if (time <= lo || time >= hi) continue;
        s.ConnectionsChanged = true;
        if (c.Electrode1 == electrode || c.Electrode2 == electrode) c.Electrode1 = Missing;
    }
}

void RememberMark(SessionState& s) {
    s.RememberedElectrode = s.CurrentElectrode;
    s.RememberedTime = Missing;
    forMarksNear(s, s.CurrentElectrode, s.CursorTime, PickWindow, [&](int, const MarkRecord& m) { s.RememberedTime = m.Time; });
}

int ConnectRemembered(SessionState& s) {
    if (s.RememberedTime == Missing || !validElectrode(s.RememberedElectrode)) return 0;
    // A mark is not connected to its own electrode: the arrow would have no row to go to.
    if (s.CurrentElectrode == s.RememberedElectrode) return 0;
    int added = 0;
    forMarksNear(s, s.CurrentElectrode, s.CursorTime, PickWindow, [&](int, const MarkRecord& m) {
        Connection* c = nextSlot(s);
        if (!c) return;
        *c = oriented(s.RememberedElectrode, s.RememberedTime, s.CurrentElectrode, m.Time);
        s.ConnectionsChanged = true;
        ++added;
    });
    return added;
}

int MakeConnections(SessionState& s, const std::vector<int32_t>& electrodes, int32_t begin, int32_t window) {
    const int64_t end = int64_t{begin} + window;
    auto inWindow = [&](const MarkRecord& m) { return !IsDeleted(m) && m.Time >= begin && m.Time <= end; };
    int added = 0;
    for (size_t k = 0; k + 1 < electrodes.size(); ++k) {
        const int32_t upper = electrodes[k], lower = electrodes[k + 1];
        if (!validElectrode(upper) || !validElectrode(lower)) continue;
        for (int i = 1; i <= s.MarkCount; ++i) {
            MarkRecord& m1 = s.MarkTable[static_cast<size_t>(i)];
            if (m1.Electrode != upper || !inWindow(m1) || m1.Connected != 0) continue;
            for (int j = 1; j <= s.MarkCount; ++j) {
                const MarkRecord& m2 = s.MarkTable[static_cast<size_t>(j)];
                if (m2.Electrode != lower || !inWindow(m2) || !near(m2.Time, m1.Time, ConnectWindow)) continue;
                if (s.ConnCount >= MaxConnections - 1) return added;
                *nextSlot(s) = Connection{upper, m1.Time, lower, m2.Time, static_cast<int16_t>(m1.Time < m2.Time ? 1 : -1)};
                m1.Connected = 1;
                s.ConnectionsChanged = true;
                ++added;
                break;
            }
        }
    }
    return added;
}

void RemoveDuplicateConnections(SessionState& s) {
    // The live slots ordered by their fields, later slots first among equal
    // ones: every record after the first of a run of equals is a duplicate.
    auto same = [&](int a, int b) {
        const Connection &x = slot(s, a), &y = slot(s, b);
        return x.Electrode1 == y.Electrode1 && x.Electrode2 == y.Electrode2 && x.Time1 == y.Time1 && x.Time2 == y.Time2;
    };
    auto before = [&](int a, int b) {
        const Connection &x = slot(s, a), &y = slot(s, b);
        if (x.Electrode1 != y.Electrode1) return x.Electrode1 < y.Electrode1;
        if (x.Electrode2 != y.Electrode2) return x.Electrode2 < y.Electrode2;
        if (x.Time1 != y.Time1) return x.Time1 < y.Time1;
        if (x.Time2 != y.Time2) return x.Time2 < y.Time2;
        return a > b;
    };
    std::vector<int> order;
    for (int i = 1; i <= s.ConnCount; ++i)
        if (IsLiveConnection(slot(s, i))) order.push_back(i);
    std::sort(order.begin(), order.end(), before);
    for (size_t n = 1, first = 0; n < order.size(); ++n) {
        if (!same(order[n], order[first])) {
            first = n;
        } else {
            slot(s, order[n]).Electrode1 = -1;
        }
    }
}

std::vector<std::string> ConnectionFileLines(const SessionState& s) {
    std::vector<std::string> lines = {s.ConnFileName, std::to_string(s.SignalLength), std::to_string(s.ConnCount),
                                      ZeroReal, ZeroReal, "0", "0", "0", ""};
    for (int i = 1; i <= s.ConnCount; ++i) {
        const Connection& c = s.Connections[static_cast<size_t>(i)];
        if (!IsLiveConnection(c)) continue;
        lines.push_back(std::to_string(c.Electrode1) + "\t" + std::to_string(c.Time1) + "\t" +
                        std::to_string(c.Electrode2) + "\t" + std::to_string(c.Time2) + "\t" +
                        std::to_string(c.Direction));
    }
    return lines;
}

void WriteConnectionsFile(SessionState& s, const std::string& path) {
    const std::string recording = RecordingPath(s);
    if (path.empty() && recording.empty()) throw IoError("(no recording)", "there is no connections file to write");
    s.ConnFileName = path.empty() ? ConnFileNameFor(recording) : path;
    RemoveDuplicateConnections(s);
    writeLinesAtomic(s.ConnFileName, ConnectionFileLines(s));
    s.ConnectionsChanged = false;
}

ConnectionFileHeader ParseConnectionsFile(std::string_view text, SessionState& s) {
    TextScanner lines(text, s.ConnFileName);
    ConnectionFileHeader h;
    h.fileName = lines.readLine();
    h.signalLength = lineNumbers(lines.readLine())[0];
    h.count = lineNumbers(lines.readLine())[0];
    for (int i = 4; i <= 9; ++i) lines.skipLine();
    s.Memo1.push_back(h.fileName);
    s.Memo1.push_back(std::to_string(h.signalLength));
    s.Memo1.push_back(std::to_string(h.count));
    s.ConnCount = 0;
    // Lines missing at the end read as zeros and are skipped, so reading
    // stops at the end of the text whatever the count line claims.
    for (int32_t i = 0; i < h.count && !lines.atEnd(); ++i) {
        const auto v = lineNumbers(lines.readLine());
        if (v[0] <= 0) continue;
        Connection* c = nextSlot(s);
        if (!c) break;  // the table is full: the rest is refused
        *c = Connection{v[0], v[1], v[2], v[3], static_cast<int16_t>(v[4])};
    }
    s.Memo1.push_back("new nr connect: " + std::to_string(s.ConnCount));
    return h;
}

void ReadConnectionsFile(SessionState& s, const std::string& path) {
    ParseConnectionsFile(readWholeFile(path, MaxConnectionsFileBytes), s);
}

bool ConnectionKey(Ctx& ctx, char key) {
    SessionState& s = ctx.s;
    const char k = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    if (k != 'Y' && k != 'F' && k != 'Z' && k != '1' && k != '2') return false;
    if (!validElectrode(s.CurrentElectrode)) return true;  // the mouse is on no electrode
    const auto [e1, e2] = ConnectionPair(s);
    switch (k) {
        case 'Y':
            if (!validElectrode(e1) || !validElectrode(e2)) return true;
            if (!AddConnection(s, e1, e2, s.CursorTime)) ctx.host.beep();
            break;
        case 'F': DeleteConnectionsBetween(s, e1, e2); break;
        case 'Z': DeleteConnectionsAcross(s, s.CurrentElectrode, s.CursorTime); break;
        case '1': RememberMark(s); break;
        default:
            if (ConnectRemembered(s) == 0) return true;
            break;
    }
    UpdateDisplay(ctx);
    return true;
}

void ReadConnections1Click(Ctx& ctx) {
    SessionState& s = ctx.s;
    const std::string recording = RecordingPath(s);
    const auto choice = ctx.host.openFile("Open connections file", {{"Connection files", "*.C*"}, {"All files", "*"}}, 1,
                                          folderPart(recording));
    if (!choice) return;
    runCommand(ctx, [&] {
        ReadConnectionsFile(s, choice->path);
        // Connections read from another file are not yet in the recording's
        // own: the save writes them there, and switching asks first.
        s.ConnectionsChanged = choice->path != ConnFileNameFor(recording);
    });
    UpdateDisplay(ctx);
}

void ToggleShowConnections(Ctx& ctx) {
    ctx.s.ShowElgConnections = !ctx.s.ShowElgConnections;
    UpdateDisplay(ctx);
}

std::string ShowConnectionsCaption(const SessionState& s) {
    return s.ShowElgConnections ? "hide connections" : "show connections";
}

void MakeConnections1Click(Ctx& ctx) {
    SessionState& s = ctx.s;
    // The traces of the active panel, or of panel A when the active one shows none.
    int panel = s.ActiveDisplay == 2 && s.DisplayTypeB == 1 ? 2 : 1;
    if ((panel == 1 ? s.DisplayTypeA : s.DisplayTypeB) != 1 || !s.SignalsLoaded) {
        ctx.host.beep();
        return;
    }
    std::vector<int32_t> electrodes(static_cast<size_t>(std::max(0, s.NrTraces)));
    for (size_t k = 0; k < electrodes.size(); ++k) electrodes[k] = ElectrodeOfRow(s, static_cast<int>(k) + 1);
    MakeConnections(s, electrodes, panel == 2 ? s.BeginTimeB : s.BeginTimeA, panel == 2 ? s.WindowB : s.WindowA);
    UpdateDisplay(ctx);
}

}  // namespace vk
