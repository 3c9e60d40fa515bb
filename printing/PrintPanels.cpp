#include "printing/PrintPanels.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "layout/TraceLayout.h"
#include "maps/MapBuffer.h"
#include "maps/MapDraw.h"
#include "marks/Connections.h"
#include "printing/PrintPage.h"
#include "session/Format.h"
#include "session/SampleTime.h"
#include "waves/WaveDetection.h"
#include "waves/WaveMap.h"
#include "waves/WaveformGrid.h"

namespace vk {

namespace {

int rounded(double v) { return static_cast<int>(std::clamp<int64_t>(roundHalfEven(v), -1000000, 1000000)); }

// A grid of columns x rows cells of cw x ch pixels from (left, top): the
// outline, then either full lines between the cells or ticks of length
// `tick` inward from each edge at every cell boundary, then the column
// numbers under the grid and the row numbers left of it, in italics.
struct PrintGrid {
    int left = 0, top = 0, columns = 0, rows = 0;
    double cw = 0, ch = 0;
    int width() const { return rounded(columns * cw); }
    int height() const { return rounded(rows * ch); }
    int cellCentreX(int column) const { return rounded(left + (column - 1) * cw + cw / 2); }
    int cellCentreY(int row) const { return rounded(top + (row - 1) * ch + ch / 2); }
};

void printGrid(Canvas& page, const PrintGrid& g, bool fullLines, int tick) {
    const int right = g.left + g.width(), bottom = g.top + g.height();
    PrintRectangle(page, g.left, g.top, right, bottom);
    for (int i = 0; i <= g.columns; ++i) {
        const int x = rounded(g.left + i * g.cw);
        if (fullLines) {
            if (i > 0 && i < g.columns) page.line(x, g.top, x, bottom);
            continue;
        }
        page.line(x, g.top, x, g.top + tick);
        page.line(x, bottom, x, bottom - tick);
    }
    for (int j = 0; j <= g.rows; ++j) {
        const int y = rounded(g.top + j * g.ch);
        if (fullLines) {
            if (j > 0 && j < g.rows) page.line(g.left, y, right, y);
            continue;
        }
        page.line(g.left, y, g.left + tick, y);
        page.line(right, y, right - tick, y);
    }
    page.setFontStyle(FontItalic);
    for (int i = 1; i <= g.columns; ++i) {
        const std::string n = std::to_string(i);
        page.textOut(rounded(g.left + (i - 0.5) * g.cw) - page.textWidth(n) / 2, bottom + 10, clBlack, n);
    }
    for (int j = 1; j <= g.rows; ++j) {
        const std::string n = std::to_string(j);
        page.textOut(g.left - page.textWidth(n) - 20, rounded(g.top + (j - 0.5) * g.ch), clBlack, n);
    }
    page.setFontStyle(FontPlain);
}

// Reloads the map buffer as the panel's display loads it.
void reloadMap(Ctx& ctx, int panel) {
    SessionState& s = ctx.s;
    const bool b = panel == 2;
    const int markType = s.CurrentMarkType[b ? 2 : 1];
    if ((b ? s.DisplayTypeB : s.DisplayTypeA) != 2) {
        LoadMap(s, markType);
    } else if (s.WaveMode == 1) {
        if (s.WavesOutdated) CalculateWaves(ctx, markType);
        LoadMapBuf(s, b ? s.WaveNrB : s.WaveNrA);
    } else {
        LoadTim2(s, b ? s.WaveNrB : s.WaveNrA, markType);
    }
}

// The text of a cell for the current MapKind, or "" for none.
std::string cellText(const SessionState& s, const MapCell& c, std::string& measured) {
    auto real = [&](double v) {
        if (v == Missing) return std::string();
        const std::string t = FormatNumber(v, 2, NumberFormat{s.Locale.decimalSeparator, '\0'});
        measured = t;
        return t;
    };
    int64_t value = c.Time;
    switch (s.MapKind) {
        case CountMapKind: value = c.Count; break;
        case ElectrodeMapKind: value = c.Electrode; break;
        case AmplitudeMapKind: return real(c.Amplitude);
        case SlopeMapKind: return real(c.Slope);
        case VelocityMapKind: return real(c.Velocity);
        default: break;
    }
    if (value == Missing || value == Excluded) return {};
    measured = std::to_string(value);
    return TimeDigits(value, s.Prefs.TimeDigitFormat, s.Locale.decimalSeparator);
}

// Isochrone lines between the cell centres. A corner counts when it has a
// time and, on a time map, that time lies in the panel's window (the cells
// hold times relative to RefTime); a wave map is drawn whole.
void printIsoLines(Canvas& page, const SessionState& s, const PrintGrid& g, bool wave) {
    const int64_t width = s.IsochroneWidth;
    if (width < 1) return;
    page.setPenWidth(3);
    int64_t smallest = 30000, largest = -30000;
    for (int c = 1; c <= g.columns; ++c)
        for (int r = 1; r <= g.rows; ++r) {
            const int32_t t = s.MapBuf.at(c, r).Time;
            if (t == Missing || t == Excluded) continue;
            smallest = std::min<int64_t>(smallest, t);
            largest = std::max<int64_t>(largest, t);
        }
    auto valid = [&](int64_t t) {
        if (t == Missing || t == Excluded) return false;
        return wave || (t + s.RefTime >= s.MapBegin && t + s.RefTime <= int64_t{s.MapBegin} + s.MapWindow);
    };
    const double distance = g.cw;
    for (int64_t n = smallest / width + 1; n <= largest / width + 1; ++n) {
        const int64_t level = width * n;
        for (int c = 1; c < g.columns; ++c)
            for (int r = 1; r < g.rows; ++r) {
                // Corners clockwise from (c, r); the fifth closes the square.
                const int cols[5] = {c, c + 1, c + 1, c, c}, rws[5] = {r, r, r + 1, r + 1, r};
                int64_t t[5];
                bool ok = true;
                for (int k = 0; k < 5; ++k) {
                    t[k] = s.MapBuf.at(cols[k], rws[k]).Time;
                    ok = ok && valid(t[k]);
                }
                if (!ok || std::min({t[0], t[1], t[2], t[3]}) >= level || std::max({t[0], t[1], t[2], t[3]}) < level)
                    continue;
                std::vector<Point> found;
                for (int k = 0; k < 4; ++k) {
                    const int64_t a = t[k], b = t[k + 1];
                    if (!((a < level && b >= level) || (b < level && a >= level))) continue;
                    const int d = rounded(static_cast<double>(std::llabs(level - a)) * distance / std::llabs(a - b));
                    const int x = g.cellCentreX(cols[k]), y = g.cellCentreY(rws[k]);
                    const Point p[4] = {{x + d, y}, {x, y + d}, {x - d, y}, {x, y - d}};
                    found.push_back(p[k]);
                }
                for (size_t k = 0; k + 1 < found.size(); ++k) page.line(found[k].x, found[k].y, found[k + 1].x, found[k + 1].y);
            }
    }
    page.setPenWidth(1);
}

// Pixel of a signal value: baseline minus the value's distance from the mean.
int signalY(const SessionState& s, int baseline, int32_t value, double mean) {
    return rounded(baseline - static_cast<double>(roundHalfEven((value - mean) * s.Amplification * 5)));
}

void printMarks(Canvas& page, const SessionState& s, const PrintTraceGeometry& g, int k, int32_t e) {
    const int y = g.baseline(k);
    const int a = rounded(g.spacing / 10);
    const int top = rounded(y - g.spacing / 2 + a), bottom = rounded(y + g.spacing / 2 - a);
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Electrode != e || m.Time == Missing || m.MarkType == DeletedType) continue;
        // Every mark whose sample row lies in first..last, the last included.
        const int64_t index = SampleOfTime(s, m.Time);
        if (index < g.first || index > g.last) continue;
        const int x = g.left + rounded((index - g.first) * g.px);
        if (m.Origin == ManualOrigin) page.setPenWidth(9);
        if (m.Origin == AutomaticOrigin) page.setPenWidth(2);
        if (s.ShowElgMarks) {
            page.line(x, top, x, bottom);
            if (m.MarkType == 4) page.ellipse(x - 4, top + 4, x + 4, top + 12);
        }
        if (s.ShowElgTimes) page.textOut(x + 15, top, clBlack, std::to_string(int64_t{m.Time} - s.RefTime));
        if (s.PlotMarkNr) page.textOut(x + 15, bottom - 20, clBlack, std::to_string(m.MarkNr));
        const int32_t interval = s.MarkMeasures[static_cast<size_t>(i)].Interval;
        if ((s.ShowElgIntervals || s.ShowSpikeIntervals) && interval != Missing) {
            const std::string t = std::to_string(interval);
            page.textOut(x - 50 - page.textWidth(t), bottom - 20 - page.textHeight(t), clBlack, t);
        }
        page.setPenWidth(2);
    }
}

void printElgGrid(Canvas& page, const SessionState& s, const PrintTraceGeometry& g, int contentWidth) {
    const int bottom = g.top + g.plotHeight;
    PrintRectangle(page, g.left, g.top, g.left + contentWidth, bottom);
    const int32_t w = s.WindowTime;
    const int step = w <= 100 ? 10 : w <= 500 ? 50 : w <= 1000 ? 100 : w <= 2000 ? 200 : w <= 10000 ? 1000 : 2000;
    // A tick every `step` ms, that is every SampleOfTime(step) rows.
    const int32_t rows = std::max(1, SampleOfTime(s, step));
    int x = g.left;
    for (int64_t v = g.first; x < g.left + g.plotWidth + 5; v += rows) {
        const std::string label = std::to_string(TimeOfSample(s, v));
        page.textOut(x - page.textWidth(label) / 2, bottom + 50, clBlack, label);
        page.line(x, bottom, x, bottom + 20);
        x = rounded(x + rows * g.px);
    }
    int lastLabel = -1000000;
    for (int k = 1; k <= s.NrTraces; ++k) {
        const int32_t e = ElectrodeOfRow(s, k);
        const int y = g.baseline(k);
        if (e == Missing || std::abs(y - lastLabel) <= 50) continue;
        const std::string label = std::to_string(e);
        page.textOut(g.left - page.textWidth(label) - 10, y, clBlack, label);
        lastLabel = y;
    }
}

}  // namespace

void PrintRectangle(Canvas& page, int x1, int y1, int x2, int y2) {
    page.line(x1, y1, x2, y1);
    page.line(x2, y1, x2, y2);
    page.line(x2, y2, x1, y2);
    page.line(x1, y2, x1, y1);
}

void PrintCross(Canvas& page, int x, int y, int half) {
    page.line(x - half, y, x + half, y);
    page.line(x, y - half, x, y + half);
}

void PrintMapPanel(Ctx& ctx, Canvas& page, const PrintBox& box, int panel, bool circles) {
    SessionState& s = ctx.s;
    if (s.NrColumns < 1 || s.NrRows < 1) return;
    PrintGrid g{box.left, box.top, std::min(s.NrColumns, MapGridSize), std::min(s.NrRows, MapGridSize)};
    g.cw = g.ch = std::min(roundHalfEven(static_cast<double>(box.width) / s.NrColumns),
                           roundHalfEven(static_cast<double>(box.height - PrintMapReserve) / s.NrRows));
    const int tick = rounded(g.cw / 5);
    printGrid(page, g, false, tick);
    if (circles) {
        const int radius = rounded(g.cw / 2);
        for (int k = 1; k <= s.NrTraces; ++k) {
            const int32_t e = ElectrodeOfRow(s, k);
            if (e < 17 || e > MaxChannels || !IsPlaced(s, e)) continue;
            const int x = g.cellCentreX(s.ElectrodeCol[static_cast<size_t>(e)]);
            const int y = g.cellCentreY(s.ElectrodeRow[static_cast<size_t>(e)]);
            page.ellipse(x - radius, y - radius, x + radius, y + radius);
        }
    }
    reloadMap(ctx, panel);
    for (int c = 1; c <= g.columns; ++c)
        for (int r = 1; r <= g.rows; ++r) {
            int32_t e = Missing;
            PositionToElectrode(s, c, r, e);
            if (e == Missing) {
                PrintCross(page, g.cellCentreX(c), g.cellCentreY(r), tick / 4);
                continue;
            }
            std::string measured;
            const std::string text = cellText(s, s.MapBuf.at(c, r), measured);
            if (!s.ShowMapDigits || text.empty()) continue;
            const int left = rounded(box.left + (c - 1) * g.cw), top = rounded(box.top + (r - 1) * g.cw);
            page.textOut(rounded(left + g.cw / 2 - page.textWidth(measured) / 2.0),
                         rounded(top + g.cw / 2 - page.textHeight(measured) / 2.0), clBlack, text);
        }
    if (s.PlotIsochrones) printIsoLines(page, s, g, (panel == 2 ? s.DisplayTypeB : s.DisplayTypeA) == 2);
}

int PrintTraceGeometry::baseline(int k) const { return top + rounded(spacing / 2) + rounded((k - 1) * spacing); }

PrintTraceGeometry CalcPrintElgSize(const SessionState& s, const PrintBox& box) {
    PrintTraceGeometry g;
    const int64_t begin = s.BeginTime, windowMs = std::max(1, s.WindowTime);
    // Sample rows, as the traces on screen take them; never past the rows
    // this recording loaded.
    const int32_t window = std::max(1, SampleOfTime(s, windowMs));
    g.first = std::max(0, SampleOfTime(s, begin));
    g.last = std::min(SampleOfTime(s, begin + windowMs), RecordingRows(s));
    g.px = static_cast<double>(box.width) / window;
    g.spacing = static_cast<double>(box.height - PrintMapReserve) / std::max(1, s.NrTraces);
    g.left = box.left;
    g.top = box.top;
    g.plotWidth = rounded(window * g.px);
    g.plotHeight = rounded(std::max(1, s.NrTraces) * g.spacing);
    return g;
}

void PrintElectrogramPanel(Ctx& ctx, Canvas& page, const PrintBox& box) {
    SessionState& s = ctx.s;
    const PrintTraceGeometry g = CalcPrintElgSize(s, box);
    printElgGrid(page, s, g, box.width);
    std::vector<Point>& points = s.TracePoints;
    for (int k = 1; k <= s.NrTraces; ++k) {
        const int32_t e = ElectrodeOfRow(s, k);
        if (e == Missing) continue;
        const int y = g.baseline(k);
        if (!s.PrintOnlyMarks && g.last > g.first) {
            int64_t sum = 0;
            for (int32_t i = g.first + 1; i <= g.last; ++i) sum += s.Signals.at(i, e);
            const double mean = static_cast<double>(sum) / (g.last - g.first);
            points.clear();
            for (int32_t i = g.first + 1; i <= g.last; ++i)
                points.push_back({g.left + rounded((i - g.first + 1) * g.px), signalY(s, y, s.Signals.at(i, e), mean)});
            page.setPenWidth(1);
            page.polyline(points);
        }
        page.setPenWidth(2);
        printMarks(page, s, g, k, e);
        if (s.ShowElgConnections) PrintConnections(ctx, page, g, k, e);
    }
}

void PrintConnections(Ctx& ctx, Canvas& page, const PrintTraceGeometry& g, int k, int32_t e) {
    const SessionState& s = ctx.s;
    std::vector<int32_t> electrodes;
    for (int row = 1; row <= s.NrTraces; ++row) electrodes.push_back(ElectrodeOfRow(s, row));
    // Times become sample rows exactly as the marks do, so a connection
    // ends on the marks it joins at every sampling rate.
    auto x = [&](int32_t time) { return g.left + rounded((int64_t{SampleOfTime(s, time)} - g.first) * g.px); };
    for (int i = 1; i <= s.ConnCount; ++i) {
        const Connection& c = s.Connections[static_cast<size_t>(i)];
        if (c.Electrode1 != e || !IsLiveConnection(c)) continue;
        const int64_t row2 = ConnectionSecondRow(k, e, c.Electrode2, electrodes);
        const int x1 = x(c.Time1), y1 = g.baseline(k);
        const int x2 = x(c.Time2), y2 = g.baseline(static_cast<int>(row2));
        page.line(x1, y1, x2, y2);
        page.ellipse(x2 - 10, y2 - 10, x2 + 10, y2 + 10);
    }
}

void PrintMatrixElectrograms(Ctx& ctx, Canvas& page, const PrintBox& box) {
    SessionState& s = ctx.s;
    if (s.NrColumns < 1 || s.NrRows < 1) return;
    PrintGrid g{box.left, box.top, std::min(s.NrColumns, MaxGrid), std::min(s.NrRows, MaxGrid)};
    g.cw = static_cast<double>(roundHalfEven(static_cast<double>(box.width) / s.NrColumns));
    // The rows leave the map's reserve free under the grid for the column
    // numbers, which would otherwise print over the next panel's bar.
    g.ch = static_cast<double>(roundHalfEven(static_cast<double>(box.height - PrintMapReserve) / s.NrRows));
    printGrid(page, g, s.ShowGrid, rounded(g.cw / 5));
    s.WaveSignalLength = std::max(1, s.WindowA);
    const int32_t length = std::max(1, SampleOfTime(s, s.WaveSignalLength));
    // The segment fills the width of its cell.
    const double px = g.cw / length;
    if (s.WaveMarkAlign) {
        SetMapWindowOfPanel(s, 1);
        s.MapKind = TimeMapKind;
        LoadMap(s, s.CurrentMarkType[1]);
    }
    std::vector<Point>& points = s.TracePoints;
    for (int c = 1; c <= g.columns; ++c)
        for (int r = 1; r <= g.rows; ++r) {
            const int32_t e = ElectrodeAt(s, c, r);
            if (e < 17 || e > MaxChannels) continue;
            const int left = rounded(box.left + (c - 1) * g.cw);
            const int y = rounded(box.top + g.ch / 2 + (r - 1) * g.ch);
            if (s.WavePlotElgNr) page.textOut(left + 1, rounded(box.top + (r - 1) * g.ch) + 1, clBlack, std::to_string(e));
            const int32_t start = WaveSegmentOf(s, s.WaveMarkAlign ? s.MapBuf.at(c, r).Time : Missing);
            if (s.PrintOnlyMarks || start == Missing) continue;
            const int32_t first = std::max(start + 1, 1);
            const int32_t last = static_cast<int32_t>(std::min<int64_t>(int64_t{start} + length, RecordingRows(s)));
            if (first > last) continue;
            int64_t sum = 0;
            for (int32_t i = first; i <= last; ++i) sum += s.Signals.at(i, e);
            const double mean = static_cast<double>(sum) / (last - first + 1);
            points.clear();
            for (int32_t i = first; i <= last; ++i)
                points.push_back({left + rounded((int64_t{i} - start) * px), signalY(s, y, s.Signals.at(i, e), mean)});
            page.polyline(points);
        }
}

}  // namespace vk
