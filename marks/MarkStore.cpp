#include "marks/MarkStore.h"

#include <algorithm>

#include "marks/Measures.h"
#include "session/Draw.h"

namespace vk {

void AddMarkRecord(SessionState& s, int32_t time, int16_t markType, int16_t markNr) {
    if (s.MarkCount >= MaxMarks) return;
    // A mark belongs to an electrode; one without would damage the mark file.
    if (s.CurrentElectrode < 1 || s.CurrentElectrode > MaxChannels) return;
    s.MarkCount += 1;
    MarkRecord& m = s.MarkTable[static_cast<size_t>(s.MarkCount)];
    m.Electrode = static_cast<uint16_t>(s.CurrentElectrode);
    m.MarkType = markType;
    m.Time = time;
    m.Aux1 = 0;
    m.Aux2 = 0;
    m.Origin = static_cast<uint16_t>(s.MarkOrigin);
    m.MarkNr = static_cast<uint16_t>(markNr);
    m.SeqNr = static_cast<uint16_t>(s.MarkCount);
    m.Visible = 1;
    // A new mark has no connections, whatever the slot held before.
    m.Connected = 0;
    s.MarksChanged = true;
    s.WavesOutdated = true;
}

int32_t RemoveTime(SessionState& s, int32_t electrode, int32_t markType, int32_t high, int32_t low,
                   const std::function<void(const UndoEntry&)>& deleted) {
    int32_t found = Missing;
    for (int i = 1; i <= s.MarkCount; ++i) {
        MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Electrode != electrode || m.Time < low || m.Time > high) continue;
        if (m.MarkType == 0 || m.MarkType == Reference || m.MarkType == markType) {
            found = m.Time;
            if (deleted) deleted(UndoEntry{m.Electrode, m.Time, m.MarkType});
            m.MarkType = DeletedType;
            m.Time = Missing;
            s.MarksChanged = true;
        }
    }
    return found;
}

int RemoveAutomaticMarks(SessionState& s, int32_t electrode, int32_t markType, int32_t low, int32_t high) {
    int removed = 0;
    for (int i = 1; i <= s.MarkCount; ++i) {
        MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Electrode != electrode || m.MarkType != markType || m.Origin != AutomaticOrigin || IsDeleted(m)) continue;
        if (m.Time < low || m.Time > high) continue;
        m.MarkType = DeletedType;
        m.Time = Missing;
        s.MarksChanged = true;
        ++removed;
    }
    return removed;
}

int32_t SwitchAttribute(SessionState& s, int32_t electrode, int32_t low, int32_t high) {
    int32_t found = Missing;
    for (int i = 1; i <= s.MarkCount; ++i) {
        MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Electrode != electrode || m.Time < low || m.Time > high) continue;
        if (m.MarkType == SlowWave || m.MarkType == Spike) {
            m.MarkType = m.MarkType == SlowWave ? Spike : SlowWave;
            found = m.Time;
            s.MarksChanged = true;
        }
    }
    return found;
}

void StoreUndo(SessionState& s, int32_t time, int32_t markType, int32_t electrode) {
    std::copy_backward(s.UndoStore.begin(), s.UndoStore.end() - 1, s.UndoStore.end());
    s.UndoStore[0] = UndoEntry{electrode, time, markType};
    if (s.UndoCount < UndoCapacity) s.UndoCount += 1;
}

bool UndoLastDeletion(SessionState& s) {
    if (s.UndoCount == 0) return false;
    const UndoEntry e = s.UndoStore[0];
    std::copy(s.UndoStore.begin() + 1, s.UndoStore.end(), s.UndoStore.begin());
    s.UndoStore.back() = UndoEntry{};
    s.CurrentElectrode = e.Electrode;
    AddMarkRecord(s, e.Time, static_cast<int16_t>(e.MarkType), static_cast<int16_t>(s.CurrentMarkNr));
    s.UndoCount -= 1;
    return true;
}

void KillMarks(SessionState& s) {
    if (s.CurrentElectrode < 1 || s.CurrentElectrode > MaxChannels) return;  // no electrode under the mouse
    RemoveTime(s, s.CurrentElectrode, SlowWave, s.SignalLength, 0);
    s.MarksChanged = true;
}

void ClearMarks(SessionState& s) {
    s.MarkCount = 0;
    ClearMeasures(s);
    s.UndoCount = 0;
    s.UndoStore.fill(UndoEntry{});
    s.UnhideEnabled = false;
    s.WavesOutdated = true;
}

void HideMarks(SessionState& s, int32_t electrode, int32_t relativeTime) {
    for (int i = 1; i <= s.MarkCount; ++i) {
        MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Electrode == electrode && !IsDeleted(m) && m.Time - s.RefTime == relativeTime) m.Visible = 0;
    }
    s.UnhideEnabled = true;
}

void UnhideElectrode(SessionState& s, int32_t electrode) {
    for (int i = 1; i <= s.MarkCount; ++i)
        if (s.MarkTable[static_cast<size_t>(i)].Electrode == electrode) s.MarkTable[static_cast<size_t>(i)].Visible = 1;
}

void UnhideAll(SessionState& s) {
    for (int i = 1; i <= s.MarkCount; ++i) s.MarkTable[static_cast<size_t>(i)].Visible = 1;
    s.UnhideEnabled = false;
}

MarkStatistics CalcMarkStatistics(const SessionState& s) {
    MarkStatistics st;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Time == Missing) continue;
        switch (m.MarkType) {
            case Reference: ++st.references; break;
            case SlowWave:
                ++st.slowWaves;
                if (m.Origin == ManualOrigin) ++st.manualSlowWaves;
                if (m.Origin == AutomaticOrigin) ++st.automaticSlowWaves;
                break;
            case Spike:
                ++st.spikes;
                if (m.Origin == ManualOrigin) ++st.manualSpikes;
                if (m.Origin == AutomaticOrigin) ++st.automaticSpikes;
                break;
            case Type3: ++st.type3; break;
            default: break;
        }
    }
    return st;
}

std::array<std::array<std::string, 4>, 5> MarkStatisticsGrid(const MarkStatistics& m) {
    auto n = [](int v) { return std::to_string(v); };
    return {{{"", "# marks", "# manual", "# automatic"},
             {"References", n(m.references), "", ""},
             {"Slow Waves", n(m.slowWaves), n(m.manualSlowWaves), n(m.automaticSlowWaves)},
             {"Spikes", n(m.spikes), n(m.manualSpikes), n(m.automaticSpikes)},
             {"Type 3", n(m.type3), "", ""}}};
}

void UndoDeletedMarks1Click(Ctx& ctx) {
    if (!UndoLastDeletion(ctx.s)) {
        ctx.host.displayUpdated();  // the menu item shows that there is nothing to undo
        return;
    }
    UpdateDisplay(ctx);
}

void UnhideMarks1Click(Ctx& ctx) {
    UnhideAll(ctx.s);
    UpdateDisplay(ctx);
}

void ShowMarkStatistics1Click(Ctx& ctx) {
    ctx.s.MarkStatisticsShown = !ctx.s.MarkStatisticsShown;
    ctx.host.showOverlay(Overlay::MarkStatistics, ctx.s.MarkStatisticsShown);
}

void MarkStatisticsOkClick(Ctx& ctx) {
    ctx.s.MarkStatisticsShown = false;
    ctx.host.showOverlay(Overlay::MarkStatistics, false);
    UpdateDisplay(ctx);
}

const std::vector<int32_t>& SortMarksByElectrode(const SessionState& s, std::vector<int32_t>& order,
                                                 std::optional<int> markType) {
    order.clear();
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (IsDeleted(m) || m.Electrode < 1 || m.Electrode > MaxChannels) continue;
        if (!markType || m.MarkType == *markType) order.push_back(i);
    }
    std::sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
        const MarkRecord& x = s.MarkTable[static_cast<size_t>(a)];
        const MarkRecord& y = s.MarkTable[static_cast<size_t>(b)];
        return x.Electrode != y.Electrode ? x.Electrode < y.Electrode : x.Time < y.Time;
    });
    return order;
}

Colour MarkColour(int markType) {
    switch (markType) {
        case SlowWave: return clRed;
        case Spike: return clBlue;
        case Type3: return clFuchsia;
        default: return clBlack;
    }
}

}  // namespace vk
