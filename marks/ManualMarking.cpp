#include "marks/ManualMarking.h"

#include <algorithm>

#include "layout/TraceLayout.h"
#include "marks/Connections.h"
#include "marks/MarkStore.h"
#include "session/Draw.h"

namespace vk {

namespace {

int typeIndex(int markType) { return std::clamp(markType, 1, 3); }

struct Row {
    int ytop = 0, ybot = 0;
};

Row rowBand(const TraceGeometry& g, int trace) { return {g.rowTop(trace), g.rowBottom(trace)}; }

int xOfTime(const SessionState& s, const TraceGeometry& g, int32_t time) {
    const double f = std::max(1, s.SamplingFrequency);
    return static_cast<int>(roundHalfEven((time * f / 1000.0 - g.firstSample) * g.pixelsPerSample) + g.left);
}

int activePanel(const SessionState& s) { return s.ActiveDisplay == 2 ? 2 : 1; }

// The mouse is on a trace row that shows an electrode. Between rows, past
// electrode 256 or on an empty grid position there is none, and a mark
// there would belong to no electrode.
bool onElectrode(const SessionState& s) { return s.CurrentElectrode >= 1 && s.CurrentElectrode <= MaxChannels; }

}  // namespace

int32_t SearchDownstroke(Ctx& ctx, int32_t electrode, int markType, int32_t lowMs, int32_t highMs) {
    const SessionState& s = ctx.s;
    const int t = typeIndex(markType);
    const int32_t level = s.Prefs.MinDiffLevel[static_cast<size_t>(t)];
    const int32_t h = std::max(0, s.Prefs.DiffDist[static_cast<size_t>(t)] / 2);
    int64_t low = SampleOfTime(s, lowMs), high = SampleOfTime(s, highMs);
    const int32_t n = RecordingRows(s);
    // Keep s - h and s + h inside the recording (rows 1..n).
    if (high + h > n) high = n - h;
    if (low - h < 1) low = h + 1;
    int32_t found = Missing;
    if (electrode >= 1 && electrode <= MaxChannels && low <= high) {
        auto d = [&](int64_t sample) {
            return int64_t{s.Signals.at(static_cast<int>(sample + h), electrode)} -
                   s.Signals.at(static_cast<int>(sample - h), electrode);
        };
        int64_t smallest = 9999;
        int64_t at = Missing;
        if (s.Prefs.SearchCriteria == 0) {
            for (int64_t sample = low; sample <= high; ++sample) {
                const int64_t v = d(sample);
                if (v < smallest) {
                    smallest = v;
                    at = sample;
                }
            }
            if (at != Missing && smallest < level) found = TimeOfSample(s, at);
        } else {
            bool inRun = false;
            for (int64_t sample = low; sample <= high; ++sample) {
                const int64_t v = d(sample);
                if (v < level) {
                    inRun = true;
                    if (v < smallest) {
                        smallest = v;
                        at = sample;
                    }
                } else if (inRun) {
                    break;  // the first run below the level has ended
                }
            }
            if (at != Missing) found = TimeOfSample(s, at);
        }
    }
    if (found == Missing) ctx.host.beep();
    return found;
}

int32_t AvoidDoubleMark(const SessionState& s, int32_t electrode, int markType, int32_t time) {
    if (!s.Prefs.AvoidDoubleMarks || time == Missing) return time;
    const int32_t half = s.Prefs.DoubleWidth / 2;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Electrode == electrode && m.MarkType == markType && m.Time >= int64_t{time} - half &&
            m.Time <= int64_t{time} + half)
            return Missing;
    }
    return time;
}

bool InsidePlotArea(const SessionState& s, int panel, int x, int y) {
    const TraceGeometry g = GeometryOfPanel(s, panel);
    return x > g.left && x < g.left + g.width && y > g.top && y < g.top + g.height;
}

namespace {

void exactMark(Ctx& ctx, int panel) {
    SessionState& s = ctx.s;
    if (s.CurrentTrace < 1) return;  // no row to draw on
    const int32_t t = s.CursorTime;
    s.MarkOrigin = ManualOrigin;
    const int type = s.CurrentMarkType[static_cast<size_t>(panel)];
    const TraceGeometry g = GeometryOfPanel(s, panel);
    const Row row = rowBand(g, s.CurrentTrace);
    {
        DrawOnPanel f(ctx, panel);
        SetPenWidth(ctx, 2);
        const Colour colour = MarkColour(std::max(type, 1));
        SetPenColor(ctx, colour);
        Line(ctx, s.MouseX, row.ytop, s.MouseX, row.ybot);
        if (s.ShowElgTimes) TextOut(ctx, s.MouseX + 5, row.ytop, colour, std::to_string(t));
        if (s.PlotMarkNr) TextOut(ctx, s.MouseX + 5, row.ybot - 12, clBlack, std::to_string(s.CurrentMarkNr));
        SetPenWidth(ctx, 1);
    }
    AddMarkRecord(s, t, static_cast<int16_t>(type), static_cast<int16_t>(s.CurrentMarkNr));
    // The map in the other panel shows the new mark at once.
    const int other = panel == 2 ? 1 : 2;
    if (s.Tiled && (other == 2 ? s.DisplayTypeB : s.DisplayTypeA) == 0) RedrawPanel(ctx, other);
}

void snappedMark(Ctx& ctx, int panel) {
    SessionState& s = ctx.s;
    const int type = s.CurrentMarkType[static_cast<size_t>(panel)];
    s.MarkOrigin = AutomaticOrigin;
    const int32_t t = s.CursorTime;
    const int32_t w = s.Prefs.SearchWidth[static_cast<size_t>(typeIndex(type))] / 2;
    int32_t found = SearchDownstroke(ctx, s.CurrentElectrode, type, t - w, t + w);
    found = AvoidDoubleMark(s, s.CurrentElectrode, type, found);
    if (found == Missing) return;
    const TraceGeometry g = GeometryOfPanel(s, panel);
    if (s.CurrentTrace >= 1) {
        const Row row = rowBand(g, s.CurrentTrace);
        const int x = xOfTime(s, g, found);
        DrawOnPanel f(ctx, panel);
        SetPenWidth(ctx, 1);
        SetPenColor(ctx, MarkColour(std::max(type, 1)));
        Line(ctx, x, row.ytop, x, row.ybot);
        if (s.ShowElgTimes) TextOut(ctx, x + 5, row.ytop, MarkColour(std::max(type, 1)), std::to_string(found));
    }
    AddMarkRecord(s, found, static_cast<int16_t>(type), static_cast<int16_t>(s.CurrentMarkNr));
}

}  // namespace

void MarkClick(Ctx& ctx, int panel, int x, int y, bool shift) {
    SessionState& s = ctx.s;
    const TraceGeometry g = GeometryOfPanel(s, panel);
    if (!(x > g.left && x < g.left + g.width && y > 1 && y < g.top + g.height)) return;
    if (!s.MarkingArmed) {
        s.MarkingArmed = true;
        return;
    }
    if (!onElectrode(s)) {
        ctx.host.beep();  // no electrode here: nothing to mark
        return;
    }
    if (shift) {
        snappedMark(ctx, panel);
    } else {
        exactMark(ctx, panel);
    }
}

void DeleteMark(Ctx& ctx) {
    SessionState& s = ctx.s;
    if (!onElectrode(s)) return;
    const int panel = activePanel(s);
    const int type = s.CurrentMarkType[static_cast<size_t>(panel)];
    const int32_t t = s.CursorTime;
    const auto w = static_cast<int32_t>(roundHalfEven(30.0 / std::max(1, s.SamplingFrequency) * 1000.0));
    // Every mark deleted can be brought back, each with its own type.
    std::vector<UndoEntry> deleted;
    const int32_t found = RemoveTime(s, s.CurrentElectrode, type, t + w, t - w,
                                     [&](const UndoEntry& e) { deleted.push_back(e); });
    if (found == Missing) return;
    ctx.host.beep();
    s.MarksChanged = true;
    for (const UndoEntry& e : deleted) StoreUndo(s, e.Time, e.MarkType, e.Electrode);
    if (s.CurrentTrace < 1) {
        ctx.host.displayUpdated();
        return;
    }
    // Erase on the screen: the deleted marks are crossed out in black until the next redraw.
    const TraceGeometry g = GeometryOfPanel(s, panel);
    const Row row = rowBand(g, s.CurrentTrace);
    {
        DrawOnPanel f(ctx, panel);
        for (const UndoEntry& e : deleted) {
            const int x = xOfTime(s, g, e.Time);
            SetPenWidth(ctx, 2);
            SetPenColor(ctx, clBlack);
            Line(ctx, x, row.ytop, x, row.ybot);
            if (s.ShowElgTimes) {
                SetBrushColor(ctx, clWhite);
                TextOut(ctx, x + 5, row.ytop, clBlack, "         ");
            }
            SetPenWidth(ctx, 1);
        }
    }
    ctx.host.displayUpdated();  // the undo item is enabled now
}

void SwitchMark(Ctx& ctx) {
    SessionState& s = ctx.s;
    if (!onElectrode(s)) return;
    const int32_t t = s.CursorTime;
    if (SwitchAttribute(s, s.CurrentElectrode, t - 100, t + 100) != Missing) {
        ctx.host.beep();
        s.MarksChanged = true;
    }
}

void InsertReferenceMark(Ctx& ctx) {
    SessionState& s = ctx.s;
    const int panel = activePanel(s);
    const int32_t t = s.CursorTime;
    if (!onElectrode(s)) {
        ctx.host.beep();
        return;
    }
    if (s.CurrentTrace >= 1) {
        const Row row = rowBand(GeometryOfPanel(s, panel), s.CurrentTrace);
        DrawOnPanel f(ctx, panel);
        SetPenColor(ctx, clBlack);
        SetBrushColor(ctx, clBlack);
        Line(ctx, s.MouseX, row.ytop, s.MouseX, row.ybot);
        Ellipse(ctx, s.MouseX - 4, row.ytop - 4, s.MouseX + 4, row.ytop + 4);
        SetBrushColor(ctx, clWhite);
        if (s.ShowElgTimes) TextOut(ctx, s.MouseX + 5, row.ytop, clBlack, std::to_string(t));
    }
    AddMarkRecord(s, t, static_cast<int16_t>(Reference), 0);
}

namespace {

// One step of the propagation: search electrode e around a time and add the
// mark found. Returns the time or Missing.
int32_t searchOne(Ctx& ctx, int32_t e, int32_t time) {
    SessionState& s = ctx.s;
    s.CurrentElectrode = e;
    s.MarkOrigin = AutomaticOrigin;
    const int type = s.CurrentMarkType[static_cast<size_t>(activePanel(s))];
    const int32_t w = s.Prefs.SearchWidth[1] / 2;
    int32_t found = SearchDownstroke(ctx, e, type, time - w, time + w);
    found = AvoidDoubleMark(s, e, type, found);
    if (found != Missing)
        AddMarkRecord(s, found, static_cast<int16_t>(s.CurrentMarkType[1]), static_cast<int16_t>(s.CurrentMarkNr));
    return found;
}

}  // namespace

void PropagateMark(Ctx& ctx) {
    SessionState& s = ctx.s;
    constexpr int Max = 50;
    const int columns = std::clamp(s.NrColumns, 0, Max), rows = std::clamp(s.NrRows, 0, Max);
    enum State : uint8_t { Unvisited, Found, NotFound };
    std::array<std::array<State, Max + 2>, Max + 2> state{};
    std::array<std::array<int32_t, Max + 2>, Max + 2> time{};
    std::array<std::array<int32_t, Max + 2>, Max + 2> electrode{};
    for (auto& column : electrode) column.fill(Missing);
    for (int e = 1; e <= MaxChannels; ++e) {
        const int c = s.ElectrodeCol[static_cast<size_t>(e)], r = s.ElectrodeRow[static_cast<size_t>(e)];
        if (c >= 1 && c <= columns && r >= 1 && r <= rows) electrode[static_cast<size_t>(c)][static_cast<size_t>(r)] = e;
    }
    const int32_t start = s.CurrentElectrode;
    if (!onElectrode(s)) {
        ctx.host.beep();  // nothing to spread from
        return;
    }
    const int sc = s.ElectrodeCol[static_cast<size_t>(start)], sr = s.ElectrodeRow[static_cast<size_t>(start)];
    const int32_t seed = searchOne(ctx, start, s.CursorTime);
    // Without a seed there is nothing to spread from.
    if (seed == Missing || sc < 1 || sc > columns || sr < 1 || sr > rows) {
        UpdateDisplay(ctx);
        return;
    }
    state[static_cast<size_t>(sc)][static_cast<size_t>(sr)] = Found;
    time[static_cast<size_t>(sc)][static_cast<size_t>(sr)] = seed;
    int searches = 0, remembered = 0, quietRounds = 0;
    const int dc[4] = {1, 0, -1, 0}, dr[4] = {0, 1, 0, -1};
    while (quietRounds < 11) {
        for (int c = 1; c <= columns; ++c) {
            for (int r = 1; r <= rows; ++r) {
                const auto cu = static_cast<size_t>(c), ru = static_cast<size_t>(r);
                if (state[cu][ru] != Unvisited || electrode[cu][ru] == Missing) continue;
                // The first found neighbour, in the order right, down, left, up.
                for (int n = 0; n < 4; ++n) {
                    const int nc = c + dc[n], nr = r + dr[n];
                    if (nc < 1 || nc > columns || nr < 1 || nr > rows) continue;
                    if (state[static_cast<size_t>(nc)][static_cast<size_t>(nr)] != Found) continue;
                    const int32_t found = searchOne(ctx, electrode[cu][ru], time[static_cast<size_t>(nc)][static_cast<size_t>(nr)]);
                    ++searches;
                    state[cu][ru] = found == Missing ? NotFound : Found;
                    time[cu][ru] = found;
                    break;
                }
            }
        }
        if (searches != remembered) {
            remembered = searches;
        } else {
            ++quietRounds;
        }
    }
    UpdateDisplay(ctx);
}

void StepMarkNr(Ctx& ctx, int panel, bool up) {
    SessionState& s = ctx.s;
    int32_t& nr = panel == 2 ? s.MarkNrB : s.MarkNrA;
    nr = std::clamp(nr + (up ? 1 : -1), 0, 65535);  // what a mark record can hold
    s.CurrentMarkNr = nr;
    ctx.host.displayUpdated();
}

}  // namespace vk
