#include "waves/WaveDetection.h"

#include <algorithm>
#include <cstdlib>

#include "session/Draw.h"
#include "session/Format.h"
#include "session/Ask.h"

namespace vk {

namespace {

constexpr int DirDX[9] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
constexpr int DirDY[9] = {0, -1, -1, 0, 1, 1, 1, 0, -1};

size_t cell(int e, int k) { return static_cast<size_t>(e) * (MaxWaves + 1) + static_cast<size_t>(k); }

// The working state of one calculation.
struct Grower {
    SessionState& s;
    int markType;
    int columns, rows;
    std::array<std::array<int32_t, MaxGrid + 2>, MaxGrid + 2> at{};  // electrode at each position
    std::array<int32_t, MaxChannels + 1> active{};
    int activeCount = 0;
    bool done = false;
    int curCol = 0, curRow = 0;
    int32_t curTime = NoTime;

    int32_t& freeTime(int e, int k) { return s.FreeTimes[cell(e, k)]; }
    int32_t& waveTime(int e, int w) { return s.WaveTimes[cell(e, w)]; }

    Grower(SessionState& state, int type) : s(state), markType(type) {
        columns = std::clamp(s.NrColumns, 0, MaxGrid);
        rows = std::clamp(s.NrRows, 0, MaxGrid);
        for (auto& column : at) column.fill(Missing);
        for (int c = 1; c <= columns; ++c)
            for (int r = 1; r <= rows; ++r) at[static_cast<size_t>(c)][static_cast<size_t>(r)] = ElectrodeAt(s, c, r);
        active.fill(Missing);
        std::fill(s.WaveTimes.begin(), s.WaveTimes.end(), Missing);
        s.WaveCount = 0;
    }

    int32_t electrode(int c, int r) const {
        if (c < 1 || c > columns || r < 1 || r > rows) return Missing;
        return at[static_cast<size_t>(c)][static_cast<size_t>(r)];
    }

    // The free marks of each electrode, in store order, relative to RefTime.
    void loadTimes() {
        std::fill(s.FreeTimes.begin(), s.FreeTimes.end(), Missing);
        std::array<int, MaxChannels + 1> count{};
        for (int i = 1; i <= s.MarkCount; ++i) {
            const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
            if (m.Electrode < 1 || m.Electrode > MaxChannels || m.Time == Missing || m.Time < s.RefTime ||
                m.MarkType != markType)
                continue;
            int& n = count[m.Electrode];
            if (n + 1 < MaxWaveSlots) {
                ++n;
                freeTime(m.Electrode, n) = m.Time - s.RefTime;
            }
        }
    }

    void take(int w, int c, int r, int slot) {
        const int32_t e = electrode(c, r);
        const int32_t t = freeTime(e, slot);
        active[static_cast<size_t>(e)] = t;
        waveTime(e, w) = t;
        freeTime(e, slot) = Missing;
        ++activeCount;
    }

    void findEarliest(int w) {
        curTime = NoTime;
        int slot = 0;
        for (int c = 1; c <= columns; ++c)
            for (int r = 1; r <= rows; ++r) {
                const int32_t e = electrode(c, r);
                if (e == Missing) continue;
                for (int k = 1; k <= MaxWaveSlots; ++k) {
                    const int32_t t = freeTime(e, k);
                    if (t != Missing && t < curTime) {
                        curCol = c;
                        curRow = r;
                        slot = k;
                        curTime = t;
                    }
                }
            }
        if (curTime != NoTime) {
            take(w, curCol, curRow, slot);
        } else {
            done = true;
        }
    }

    void findNext(int w, int d) {
        const int c = curCol + DirDX[d], r = curRow + DirDY[d];
        const int32_t e = electrode(c, r);
        if (e == Missing || waveTime(e, w) != Missing) return;
        const int32_t diff = s.WaveDifference[static_cast<size_t>(std::clamp(markType, 1, 3))];
        const int64_t lo = std::max<int64_t>(0, int64_t{curTime} - diff), hi = int64_t{curTime} + diff;
        int64_t best = NoTime;
        int bestSlot = 0;
        for (int k = 1; k <= MaxWaveSlots; ++k) {
            const int32_t t = freeTime(e, k);
            if (t == Missing || !(lo < t && t < hi)) continue;
            const int64_t distance = std::llabs(int64_t{curTime} - t);
            if (bestSlot == 0 || distance < best) {
                best = distance;
                bestSlot = k;
            }
        }
        if (bestSlot != 0) take(w, c, r, bestSlot);
    }

    void updateActive() {
        active[static_cast<size_t>(electrode(curCol, curRow))] = Missing;
        --activeCount;
        curTime = NoTime;
        for (int c = 1; c <= columns; ++c)
            for (int r = 1; r <= rows; ++r) {
                const int32_t e = electrode(c, r);
                if (e == Missing) continue;
                const int32_t t = active[static_cast<size_t>(e)];
                if (t != Missing && t < curTime) {
                    curCol = c;
                    curRow = r;
                    curTime = t;
                }
            }
    }

    void findWave(int w) {
        while (activeCount != 0) {
            for (int d = 1; d <= 8; ++d) findNext(w, d);
            updateActive();
        }
    }
};

}  // namespace

int32_t WaveTimeAt(const SessionState& s, int e, int w) {
    if (e < 1 || e > MaxChannels || w < 1 || w > MaxWaves) return Missing;
    return s.WaveTimes[cell(e, w)];
}

int32_t ElectrodeAt(const SessionState& s, int col, int row) {
    for (int e = 1; e <= MaxChannels; ++e)
        if (s.ElectrodeCol[static_cast<size_t>(e)] == col && s.ElectrodeRow[static_cast<size_t>(e)] == row) return e;
    return Missing;
}

void CalculateWaves(Ctx& ctx, int markType) {
    Grower g(ctx.s, markType);
    g.loadTimes();
    GrowWaves(ctx, markType);
}

void GrowWaves(Ctx& ctx, int markType) {
    SessionState& s = ctx.s;
    ctx.host.showProgress("Calculating Wave maps .....", "", "", MaxWaves - 1);
    Grower g(s, markType);
    int w = 0;
    do {
        if (w + 1 >= MaxWaves) {
            g.done = true;
            break;
        }
        ++w;
        s.WaveCount = w;
        ctx.host.setProgressDetail(std::to_string(w));
        ctx.host.stepProgress();
        ctx.host.processMessages();
        g.findEarliest(w);
        g.findWave(w);
    } while (!g.done);
    ctx.host.beep();
    s.WavesOutdated = false;
    ctx.host.hideProgress();
    s.WaveCount -= 1;  // the last wave number tried found no seed
}

WaveStatistics CalcWaveStats(const SessionState& s, const std::function<int32_t(int, int)>& timeAt) {
    WaveStatistics st;
    int minC = MaxGrid + 1, maxC = 0, minR = MaxGrid + 1, maxR = 0;
    for (int c = 1; c <= std::min(s.NrColumns, MaxGrid); ++c)
        for (int r = 1; r <= std::min(s.NrRows, MaxGrid); ++r) {
            if (timeAt(c, r) == Missing) continue;
            ++st.sites;
            minC = std::min(minC, c);
            maxC = std::max(maxC, c);
            minR = std::min(minR, r);
            maxR = std::max(maxR, r);
        }
    if (st.sites > 0) {
        st.any = true;
        st.xSize = maxC - minC + 1;
        st.ySize = maxR - minR + 1;
        st.centreCol = (minC + maxC) / 2;
        st.centreRow = (minR + maxR) / 2;
    }
    return st;
}

std::array<std::string, 3> WaveStatsTexts(const SessionState& s, const WaveStatistics& w) {
    const double d = s.ElectrodeDistance;
    auto mm = [&](double v) { return FormatNumber(v, 1, s.Locale, 7); };
    return {"Area = " + std::to_string(w.sites) + " (" + mm(w.sites * d * d) + " mm2)",
            "X-size = " + std::to_string(w.xSize) + " (" + mm(w.xSize * d) + " mm)",
            "Y-size = " + std::to_string(w.ySize) + " (" + mm(w.ySize * d) + " mm)"};
}

void SetWaveMode(Ctx& ctx, int mode) {
    ctx.s.WaveMode = mode;
    ctx.host.displayUpdated();  // the submenu caption and check marks
}

std::string WaveModeCaption(const SessionState& s) { return "Wave mode (" + std::to_string(s.WaveMode) + ")"; }

void ChangeWaveDifference(Ctx& ctx) {
    SessionState& s = ctx.s;
    const int m = std::clamp(s.CurrentMarkType[s.ActiveDisplay == 2 ? 2 : 1], 1, 3);
    int32_t& diff = s.WaveDifference[static_cast<size_t>(m)];
    diff = GetNewInteger(ctx, "Minimum differente in time for type " + std::to_string(m) + " wave separation",
                         "Give new wave time difference for type" + std::to_string(m), 1, INT32_MAX, diff);
    s.WavesOutdated = true;
    UpdateDisplay(ctx);
}

void CalculateWaves1Click(Ctx& ctx) {
    ctx.s.WavesOutdated = true;
    UpdateDisplay(ctx);
}

void GotoWaveNr(Ctx& ctx) {
    ctx.s.WaveNrA = GetNewInteger(ctx, "Go to wave nr", "Give nr:", 1, INT32_MAX, ctx.s.WaveNrA);
    UpdateDisplay(ctx);
}

void ToggleWaveSwitch(Ctx& ctx, WaveSwitch which) {
    SessionState& s = ctx.s;
    bool& flag = which == WaveSwitch::Statistics   ? s.ShowWaveStatistics
                 : which == WaveSwitch::LocalTimes ? s.PlotLocalTimes
                                                   : s.AutoPositioning;
    flag = !flag;
    ctx.host.displayUpdated();  // the check marks
}

void StepWave(Ctx& ctx, int panel, bool up) {
    int32_t& wave = panel == 2 ? ctx.s.WaveNrB : ctx.s.WaveNrA;
    if (up) {
        if (wave < ctx.s.WaveCount) ++wave;
    } else {
        wave = std::max(1, wave - 1);
    }
    UpdateDisplay(ctx);
}

void GotoNextWave(Ctx& ctx) { StepWave(ctx, 1, true); }
void GotoPreviousWave(Ctx& ctx) { StepWave(ctx, 1, false); }

}  // namespace vk
