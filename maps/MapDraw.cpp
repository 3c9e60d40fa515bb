#include "maps/MapDraw.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "layout/TraceLayout.h"
#include "maps/MapBuffer.h"
#include "maps/MapExpand.h"
#include "maps/MapStatistics.h"
#include "maps/Velocity.h"
#include "session/Draw.h"
#include "session/Format.h"

namespace vk {

namespace {

constexpr std::array<Colour, 13> BandColours = {
    0x00000000,  // black
    0x000000FF,  // red
    0x004488FF,  // orange
    0x0000FFFF,  // yellow
    0x0088FF88,  // light green
    0x0000DF00,  // green
    0x0000AA00,  // dark green
    0x00FFFF88,  // light cyan
    0x00FF8888,  // light blue
    0x00DE7700,  // blue
    0x001E3BFF,  // red-orange
    0x00C184FF,  // pink
    0x0048003F,  // dark purple
};
constexpr Colour Grey = 0x00808080;

int64_t powerOf10(int n) {
    int64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

int digitCount(uint64_t v) {
    int n = 1;
    while (v >= 10) {
        v /= 10;
        ++n;
    }
    return n;
}

// Rounded to the nearest integer, halves to the even neighbour; a value that
// is no number counts as no value.
int64_t roundedValue(double v) { return std::isfinite(v) ? roundHalfEven(v) : Missing; }

// The canvas of the panel being drawn.
Canvas* targetCanvas(Ctx& ctx) { return ctx.s.DrawOnB && !ctx.s.DrawOnA ? ctx.canvasB : ctx.canvasA; }

// The text size on the panel(s) being drawn.
void setTextSize(Ctx& ctx, int pixels) {
    if (ctx.s.DrawOnA && ctx.canvasA) ctx.canvasA->setFontSize(pixels);
    if (ctx.s.DrawOnB && ctx.canvasB) ctx.canvasB->setFontSize(pixels);
}

// Floor division for a positive divisor.
int64_t floorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

void drawCells(Ctx& ctx) {
    SessionState& s = ctx.s;
    for (int e = 1; e <= MaxChannels; ++e) {
        if (!IsPlaced(s, e)) continue;
        const int column = s.ElectrodeCol[static_cast<size_t>(e)], row = s.ElectrodeRow[static_cast<size_t>(e)];
        const int x1 = (column - 1) * s.CellWidth + s.MapLeft, x2 = x1 + s.CellWidth;
        const int y1 = (row - 1) * s.CellHeight + s.MapTop, y2 = y1 + s.CellHeight;
        s.CellElectrode = GridElectrode(s, column, row);
        const MapCell& c = s.MapBuf.at(column, row);
        int64_t value = c.Time;
        double real = 0.0;
        bool realKind = false;
        switch (s.MapKind) {
            case CountMapKind: value = c.Count; break;
            case ElectrodeMapKind: value = c.Electrode; break;
            case IntervalMapKind: value = c.Interval; break;
            case AmplitudeMapKind: real = c.Amplitude; realKind = true; break;
            case SlopeMapKind: real = c.Slope; realKind = true; break;
            case VelocityMapKind: real = c.Velocity; realKind = true; break;
            case MarkNrMapKind: value = c.MarkNr > 0 ? c.MarkNr : c.Time; break;
            default: break;
        }
        if (realKind) value = roundedValue(real);
        if (value == Excluded) {
            const CellBox r = CellRect(s, e);
            SetPenColor(ctx, clBlack);
            Line(ctx, r.left, r.top, r.right, r.bottom);
            Line(ctx, r.right, r.top, r.left, r.bottom);
        } else if (value != Missing) {
            const Colour colour = MapColour(s, value);
            SetBrushColor(ctx, colour);
            SetPenColor(ctx, colour);
            if (s.ShowMapColors) Rectangle(ctx, x1, y1, x2, y2);
            SetFontStyle(ctx, c.Expanded == 1 ? FontItalic : FontPlain);
            if (s.ShowMapDigits) DrawCellValue(ctx, x1, y1, value, real, realKind);
        }
    }
    // Later text on this panel is upright again.
    SetFontStyle(ctx, FontPlain);
}

void drawGridImpl(Ctx& ctx) {
    SessionState& s = ctx.s;
    SetPenColor(ctx, clBlack);
    SetBrushStyle(ctx, BrushStyle::Clear);
    for (int e = 1; e <= MaxChannels; ++e) {
        if (!IsPlaced(s, e)) continue;
        const CellBox r = CellRect(s, e);
        Rectangle(ctx, r.left, r.top, r.right, r.bottom);
    }
}

// The cells of the electrodes that the electrogram panel shows as traces.
void drawTraceOutlinesImpl(Ctx& ctx) {
    SessionState& s = ctx.s;
    SetPenColor(ctx, clBlack);
    SetPenWidth(ctx, 2);
    // Outlines only: the cells stay visible whatever brush the cells left.
    SetBrushStyle(ctx, BrushStyle::Clear);
    for (int k = 1; k <= s.NrTraces; ++k) {
        const int32_t e = ElectrodeOfRow(s, k);
        if (!IsPlaced(s, e)) continue;
        const CellBox r = CellRect(s, e);
        Rectangle(ctx, r.left, r.top, r.right, r.bottom);
    }
    SetPenWidth(ctx, 1);
}

}  // namespace

int32_t ValueToBand(const SessionState& s, int64_t value) {
    const int64_t width = std::max(1, s.IsochroneWidth);
    int64_t base = 0;
    if (s.MapKind == TimeMapKind) base = truncToward0(static_cast<double>(s.EarliestTime) / width) * width;
    int64_t v = value - base;
    const int64_t span = ColourCount * width;
    if (v >= span) v %= span;
    // Far below the base every band is grey; keep the number small.
    return static_cast<int32_t>(std::max<int64_t>(v / width + 1, -1));
}

Colour BandColour(int32_t band) {
    return band >= 0 && band < static_cast<int32_t>(BandColours.size()) ? BandColours[static_cast<size_t>(band)] : Grey;
}

std::string TimeDigits(int64_t value, int format, char decimalSeparator) {
    if (format < 1 || format > 4) return std::to_string(value);
    // Seconds with 3, 2, 1 or 0 decimals and at most 7 significant digits,
    // computed on the milliseconds themselves so that a value such as
    // 1.125 s is never at the mercy of its binary form; halves round up.
    const int decimals = 4 - format;
    const int64_t unit = powerOf10(3 - decimals);  // ms per last written digit
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    const int digits = digitCount(magnitude);
    const int64_t step = std::max(unit, powerOf10(std::max(0, digits - 7)));
    const uint64_t units = (magnitude + static_cast<uint64_t>(step) / 2) / static_cast<uint64_t>(step) *
                           static_cast<uint64_t>(step / unit);
    const auto scale = static_cast<uint64_t>(powerOf10(decimals));
    std::string text = (value < 0 && units != 0) ? "-" : "";
    text += std::to_string(units / scale);
    if (decimals > 0) {
        std::string fraction = std::to_string(units % scale);
        text += decimalSeparator + std::string(static_cast<size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    return text;
}

std::string CellValueText(const SessionState& s, int64_t value, double realValue, bool realKind) {
    if (!realKind) return TimeDigits(value, s.Prefs.TimeDigitFormat, s.Locale.decimalSeparator);
    const int format = s.Prefs.ValueDigitFormat;
    if (format < 1 || format > 4) return std::to_string(value);
    // Fixed notation: the decimal separator of the system, no thousands separators.
    const NumberFormat fixed{s.Locale.decimalSeparator, '\0'};
    return FormatNumber(realValue, 4 - format, fixed, 7);
}

void DrawCellValue(Ctx& ctx, int x1, int y1, int64_t value, double realValue, bool realKind) {
    const SessionState& s = ctx.s;
    const std::string text = CellValueText(s, value, realValue, realKind);
    // Digits wider than a small cell are written smaller, so that they show whole.
    int size = PanelTextPixels;
    while (size > MinDigitPixels && TextWidth(ctx, text) > s.CellWidth - 2) setTextSize(ctx, --size);
    const int x = x1 + s.CellWidth / 2 - TextWidth(ctx, text) / 2;
    const int y = y1 + s.CellHeight / 2 - TextHeight(ctx, text) / 2;
    SetBrushStyle(ctx, BrushStyle::Clear);
    TextOut(ctx, x, y, clBlack, text);
    if (size != PanelTextPixels) setTextSize(ctx, PanelTextPixels);
}

void SizeCellsInPanel(SessionState& s, int width, int height) { SizeMapCells(s, width - 1, height - 1); }

void ClearMapPanel(Ctx& ctx, int width, int height) {
    SetBrushColor(ctx, clWhite);
    Rectangle(ctx, 0, 0, width, height);
}

void CrossCell(Ctx& ctx, int e) {
    if (!IsPlaced(ctx.s, e)) return;
    const CellBox r = CellRect(ctx.s, e);
    SetPenColor(ctx, clBlack);
    Line(ctx, r.left, r.top, r.right, r.bottom);
    Line(ctx, r.right, r.top, r.left, r.bottom);
}

void DrawIsochrones(Ctx& ctx, int32_t timeOffset) {
    SessionState& s = ctx.s;
    const int64_t width = s.IsochroneWidth;
    if (width < 1) return;
    SetPenColor(ctx, clBlack);
    const int columns = std::min(s.NrColumns, MapGridSize), rows = std::min(s.NrRows, MapGridSize);

    // The levels run over the multiples of the width from the smallest to
    // the largest cell time.
    int64_t smallest = 30000, largest = -30000;
    for (int column = 1; column <= columns; ++column)
        for (int row = 1; row <= rows; ++row) {
            const int32_t t = s.MapBuf.at(column, row).Time;
            if (t == Missing) continue;
            smallest = std::min<int64_t>(smallest, t);
            largest = std::max<int64_t>(largest, t);
        }
    const int64_t kmin = smallest / width + 1, kmax = largest / width + 1;
    if (kmax < kmin) return;

    // Squares of four neighbouring cells, row by row. A corner without a
    // time, or with one outside the panel's window, leaves the square out.
    const int64_t windowLow = s.MapBegin, windowHigh = int64_t{s.MapBegin} + s.MapWindow;
    auto cornerTime = [&](int column, int row, int64_t& t) {
        t = s.MapBuf.at(column, row).Time;
        if (t == Missing || t == Excluded) return false;
        return t + timeOffset >= windowLow && t + timeOffset <= windowHigh;
    };
    std::vector<MapScratch::Square>& squares = s.MapWork.squares;
    squares.clear();
    int64_t lowAll = std::numeric_limits<int64_t>::max(), highAll = std::numeric_limits<int64_t>::min();
    for (int j = 1; j < rows; ++j)
        for (int i = 1; i < columns; ++i) {
            int64_t c[4];
            bool valid = cornerTime(i, j, c[0]);
            valid = cornerTime(i + 1, j, c[1]) && valid;
            valid = cornerTime(i + 1, j + 1, c[2]) && valid;
            valid = cornerTime(i, j + 1, c[3]) && valid;
            const int64_t low = std::min({c[0], c[1], c[2], c[3]}), high = std::max({c[0], c[1], c[2], c[3]});
            squares.push_back({static_cast<int32_t>(low), static_cast<int32_t>(high), valid});
            if (valid) {
                lowAll = std::min(lowAll, low);
                highAll = std::max(highAll, high);
            }
        }
    if (lowAll > highAll) return;
    // Only a level above some square's lowest corner and at or below its
    // highest crosses anything: the others are not visited.
    const int64_t kFirst = std::max(kmin, floorDiv(lowAll, width) + 1);
    const int64_t kLast = std::min(kmax, floorDiv(highAll, width));

    for (int64_t k = kFirst; k <= kLast; ++k) {
        const int64_t level = k * width;
        size_t index = 0;
        for (int j = 1; j < rows; ++j)
            for (int i = 1; i < columns; ++i) {
                const MapScratch::Square& sq = squares[index++];
                if (!sq.valid || !(sq.low < level && level <= sq.high)) continue;
                // Corners 1..4 clockwise from the top left; corner 5 closes the square.
                const int cols[5] = {i, i + 1, i + 1, i, i};
                const int rws[5] = {j, j, j + 1, j + 1, j};
                int64_t t[5];
                Point p[5];
                for (int n = 0; n < 5; ++n) {
                    t[n] = s.MapBuf.at(cols[n], rws[n]).Time;
                    p[n] = CellCentre(s, cols[n], rws[n]);
                }
                Point found[4];
                int count = 0;
                for (int edge = 0; edge < 4; ++edge) {
                    const int64_t a = t[edge], b = t[edge + 1];
                    if (!((a < level && b >= level) || (b < level && a >= level))) continue;
                    // The crossing lies where the level falls between the
                    // two centres, by linear interpolation.
                    const bool sameRow = edge == 0 || edge == 2;
                    const int64_t span = sameRow ? std::abs(p[edge].x - p[edge + 1].x) : std::abs(p[edge].y - p[edge + 1].y);
                    const int64_t product = std::abs(level - a) * span;
                    const auto d = static_cast<int>(
                        std::llabs(roundHalfEven(static_cast<double>(product) / static_cast<double>(std::llabs(a - b)))));
                    switch (edge) {
                        case 0: found[count++] = {p[0].x + d, p[0].y}; break;
                        case 1: found[count++] = {p[1].x, p[1].y + d}; break;
                        case 2: found[count++] = {p[2].x - d, p[3].y}; break;
                        default: found[count++] = {p[4].x, p[3].y - d}; break;
                    }
                }
                for (int n = 0; n + 1 < count; ++n) Line(ctx, found[n].x, found[n].y, found[n + 1].x, found[n + 1].y);
            }
    }
}

void DisplayMap(Ctx& ctx) {
    SessionState& s = ctx.s;
    const int panel = s.ActiveDisplay == 2 ? 2 : 1;
    Canvas* canvas = targetCanvas(ctx);
    const int width = canvas ? canvas->width() : s.PanelAWidth;
    const int height = canvas ? canvas->height() : s.PanelAHeight;
    if (s.NrColumns < 1 || s.NrRows < 1) {
        // No matrix: no cells, and no map area for the mouse.
        s.CellWidth = s.CellHeight = 0;
        s.MapRight = s.MapLeft;
        s.MapBottom = s.MapTop;
        ClearMapPanel(ctx, width, height);
        return;
    }
    SizeCellsInPanel(s, width, height);
    LoadMap(s, s.CurrentMarkType[static_cast<size_t>(panel)]);
    // An empty velocity map says why (the arrows below say it themselves).
    if (s.MapKind == VelocityMapKind && !s.PlotArrows) NoteWhetherVelocities(s);
    if (s.ExpandMap) ExpandMapCells(s);
    ClearMapPanel(ctx, width, height);
    drawCells(ctx);
    if (s.ShowGrid) DrawMapGrid(ctx);
    if (s.Tiled && !(s.DisplayTypeA == 0 && s.DisplayTypeB == 0)) DrawTraceOutlines(ctx);
    if (s.PlotIsochrones) DrawIsochrones(ctx, s.RefTime);
    if (s.PlotArrows) DrawVelocities(ctx);
    if (s.ShowMapStatistics) CalcMapStats(s);
    RememberPanelMap(s, panel);
}

void DrawMapGrid(Ctx& ctx) { drawGridImpl(ctx); }
void DrawTraceOutlines(Ctx& ctx) { drawTraceOutlinesImpl(ctx); }

bool MapLabelColour(const SessionState& s, int e, int64_t relativeTime, Colour& colour) {
    if (!IsPlaced(s, e)) return false;
    const int32_t t = s.MapBuf.at(s.ElectrodeCol[static_cast<size_t>(e)], s.ElectrodeRow[static_cast<size_t>(e)]).Time;
    if (t == Missing || t == Excluded || t != relativeTime) return false;
    colour = MapColour(s, t);
    return true;
}

}  // namespace vk
