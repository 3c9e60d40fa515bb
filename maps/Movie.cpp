#include "maps/Movie.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "maps/MapBuffer.h"
#include "maps/MapDraw.h"
#include "session/Numbers.h"
#include "session/Restore.h"

namespace vk {

int64_t MovieFrameCount(const MovieSettings& m) {
    if (m.window < 1 || m.step < 1) return 0;
    return int64_t{m.window} / m.step + 1;
}

Movie::Movie(SessionState& s, const MovieSettings& settings, int width, int height, Canvas& measure)
    : settings_(settings),
      frames_(static_cast<int>(std::clamp<int64_t>(MovieFrameCount(settings), 0, MaxMovieFrames))),
      width_(width), height_(height) {
    // The map state the layout borrows is given back as it was.
    const Restore borrowed(s.MapBuf, s.MapBegin, s.MapWindow, s.MapKind, s.MinMapTime, s.MaxMapTime, s.MapTimeCount,
                           s.EarliestTime, s.MapTop, s.CellWidth, s.CellHeight, s.MapRight, s.MapBottom,
                           s.ShowSWsAndSpikes);

    // The grid starts below the time label, whatever the font.
    measure.setFontSize(PanelTextPixels);
    measure.setFontStyle(FontPlain);
    mapLeft_ = s.MapLeft;
    mapTop_ = MovieLabelTop + measure.textHeight(label(frames_ > 0 ? frames_ - 1 : 0)) + MovieLabelGap;
    s.MapTop = mapTop_;
    SizeCellsInPanel(s, width, height);
    cellWidth_ = s.CellWidth;

    // The bands of the time map of the whole window, of the movie's mark type alone.
    s.MapKind = TimeMapKind;
    s.MapBegin = settings.begin;
    s.MapWindow = settings.window;
    s.ShowSWsAndSpikes = false;
    LoadMap(s, settings.markType);
    base_ = static_cast<int32_t>(truncToward0(static_cast<double>(s.EarliestTime) / std::max(1, s.IsochroneWidth)) *
                                 std::max(1, s.IsochroneWidth));

    std::vector<size_t> cellOf(MaxChannels + 1, SIZE_MAX);
    for (int e = 1; e <= MaxChannels; ++e) {
        if (!IsPlaced(s, e)) continue;
        Cell c;
        c.electrode = e;
        c.column = s.ElectrodeCol[static_cast<size_t>(e)];
        c.row = s.ElectrodeRow[static_cast<size_t>(e)];
        c.x1 = (c.column - 1) * s.CellWidth + s.MapLeft;
        c.y1 = (c.row - 1) * s.CellHeight + s.MapTop;
        c.x2 = c.x1 + s.CellWidth;
        c.y2 = c.y1 + s.CellHeight;
        const CellBox box = CellRect(s, e);
        c.left = box.left;
        c.top = box.top;
        c.right = box.right;
        c.bottom = box.bottom;
        cellOf[static_cast<size_t>(e)] = cells_.size();
        cells_.push_back(std::move(c));
    }

    // The marks that can show: visible, of the type, at or after RefTime, in the window.
    const int64_t low = std::max<int64_t>(s.RefTime, settings.begin);
    const int64_t high = int64_t{settings.begin} + settings.window;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        if (m.Electrode < 1 || m.Electrode > MaxChannels || cellOf[m.Electrode] == SIZE_MAX) continue;
        if (m.Visible != 1 || m.MarkType != settings.markType || m.Time < low || m.Time > high) continue;
        cells_[cellOf[m.Electrode]].times.push_back(m.Time);
    }
    for (size_t i = 0; i < cells_.size(); ++i) {
        size_t first = i;
        while (first > 0 && !(cells_[first - 1].column == cells_[i].column && cells_[first - 1].row == cells_[i].row)) --first;
        spot_.push_back(first > 0 ? spot_[first - 1] : i);
    }
    for (Cell& c : cells_) {
        std::sort(c.times.begin(), c.times.end());
        for (const int32_t t : c.times) c.colours.push_back(MapColour(s, int64_t{t} - s.RefTime));
    }
}

Colour Movie::cellColour(size_t i, int k) const {
    const Cell& c = cells_[i];
    const int64_t now = frameTime(k);
    // The latest mark reached by now, if it is younger than the trail.
    const auto reached = std::upper_bound(c.times.begin(), c.times.end(), now);
    if (reached == c.times.begin()) return clWhite;
    const auto latest = reached - 1;
    if (now - *latest >= settings_.trail) return clWhite;
    return c.colours[static_cast<size_t>(latest - c.times.begin())];
}

std::string Movie::label(int k) const { return "t = " + std::to_string(frameTime(k)) + " ms"; }

void Movie::drawFrame(Canvas& canvas, int k, int shown) const {
    const bool whole = shown < 0 || shown >= frames_;
    canvas.setPenStyle(PenStyle::Solid);
    canvas.setPenMode(PenMode::Copy);
    canvas.setPenWidth(1);
    canvas.setPenColor(clWhite);
    canvas.setBrushStyle(BrushStyle::Solid);
    canvas.setBrushColor(clWhite);
    // Everything, or the band above the grid that holds the label.
    canvas.rectangle(0, 0, width_ + 2, whole ? height_ + 2 : mapTop_);

    canvas.setFontSize(PanelTextPixels);
    canvas.setFontStyle(FontPlain);
    canvas.setBrushStyle(BrushStyle::Clear);
    canvas.textOut(mapLeft_, MovieLabelTop, clBlack, label(k));
    canvas.setBrushStyle(BrushStyle::Solid);

    // The cells drawn again: every one on a white box, else the positions
    // where a cell changed colour, whitened first.
    redraw_.assign(cells_.size(), whole ? 1 : 0);
    if (!whole) {
        for (size_t i = 0; i < cells_.size(); ++i)
            if (cellColour(i, k) != cellColour(i, shown)) redraw_[spot_[i]] = 1;
        for (size_t i = 0; i < cells_.size(); ++i) {
            if (spot_[i] != i || !redraw_[i]) continue;
            const Cell& c = cells_[i];
            canvas.setBrushColor(clWhite);
            canvas.setPenColor(clWhite);
            canvas.rectangle(c.x1, c.y1, c.x2, c.y2);
        }
    }
    for (size_t i = 0; i < cells_.size(); ++i) {
        if (!redraw_[spot_[i]]) continue;
        const Colour colour = cellColour(i, k);
        if (colour == clWhite) continue;
        const Cell& c = cells_[i];
        canvas.setBrushColor(colour);
        canvas.setPenColor(colour);
        canvas.rectangle(c.x1, c.y1, c.x2, c.y2);
    }

    canvas.setPenColor(clBlack);
    canvas.setBrushStyle(BrushStyle::Clear);
    for (size_t i = 0; i < cells_.size(); ++i) {
        if (!redraw_[spot_[i]]) continue;
        const Cell& c = cells_[i];
        canvas.rectangle(c.left, c.top, c.right, c.bottom);
    }
}

std::vector<Colour> Movie::palette() {
    std::vector<Colour> colours{clWhite};
    for (int band = 0; band <= 12; ++band) colours.push_back(BandColour(band));
    colours.push_back(BandColour(-1));
    return colours;
}

}  // namespace vk

namespace vk {

int PlaybackFrame(int frames, int32_t step, int from, double elapsedMs, double speed, bool loop) {
    if (frames < 1) return 0;
    const double advanced = elapsedMs * speed / std::max(1, step);
    const int64_t k = from + static_cast<int64_t>(std::max(0.0, std::min(advanced, 4.0e15)));
    if (k < frames) return static_cast<int>(k);
    return loop ? static_cast<int>(k % frames) : frames - 1;
}

}  // namespace vk
