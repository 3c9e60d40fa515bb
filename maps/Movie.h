// The propagation movie: the activation spreading over the electrode array,
// one frame per time step.
//
// Frame k shows the time t(k) = begin + k * step. A placed electrode's cell
// takes the band colour of the time map for the latest mark of the movie's
// type reached by t(k) that is less than `trail` ms old; every other cell is
// white. The bands are those of the time map of the whole movie window (the
// base from its earliest time, IsochroneWidth wide), so a cell keeps one
// colour for as long as its mark shows. The time is written above the grid.
//
// Everything a frame needs is read from the session once, when the movie is
// made: playing or saving it reads the marks no more and changes nothing in
// the session.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "session/Canvas.h"
#include "session/SessionState.h"

namespace vk {

struct MovieSettings {
    int32_t begin = 0;
    int32_t window = 0;  // ms after begin; the last frame lies at or before begin + window
    int32_t step = 50;
    int32_t trail = 1000;
    int markType = SlowWave;
};

inline constexpr int64_t MaxMovieFrames = 20000;
// Where the time label stands above the grid.
inline constexpr int MovieLabelTop = 4;
inline constexpr int MovieLabelGap = 4;

// floor(window / step) + 1, or 0 when the window or the step is below 1.
int64_t MovieFrameCount(const MovieSettings& settings);

class Movie {
public:
    // Lays the movie out on a paint box of width x height pixels (text
    // measured on `measure`) from the matrix, marks, RefTime, IsochroneWidth
    // and MapLeft of `s`. Needs a matrix and a frame count of 1 or more;
    // `s` is left as it was.
    Movie(SessionState& s, const MovieSettings& settings, int width, int height, Canvas& measure);

    const MovieSettings& settings() const { return settings_; }
    int frames() const { return frames_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int64_t frameTime(int k) const { return int64_t{settings_.begin} + int64_t{k} * settings_.step; }
    // The band base (ms relative to RefTime) and the geometry of the grid.
    int32_t base() const { return base_; }
    int cellWidth() const { return cellWidth_; }
    int mapLeft() const { return mapLeft_; }
    int mapTop() const { return mapTop_; }

    // One placed electrode: where its cell lies and its marks in the window,
    // earliest first, each with the colour it gives the cell.
    struct Cell {
        int electrode = 0, column = 0, row = 0;
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;              // the filled area
        int left = 0, top = 0, right = 0, bottom = 0;    // the grid outline
        std::vector<int32_t> times;                      // absolute ms
        std::vector<Colour> colours;
    };
    const std::vector<Cell>& cells() const { return cells_; }
    // The colour of cells()[i] in frame k; white without a mark in its trail.
    Colour cellColour(size_t i, int k) const;
    std::string label(int k) const;

    // Draws frame k over the whole paint box. When the canvas holds frame
    // `shown` of this movie (drawn by this function), only the label and the
    // cells whose colour differs are drawn again: the same pixels, sooner.
    void drawFrame(Canvas& canvas, int k, int shown = -1) const;

    // Every colour a frame is drawn with: white, black, the band colours and
    // the grey beyond them. Text is drawn in black on white.
    static std::vector<Colour> palette();

private:
    MovieSettings settings_;
    int frames_ = 0, width_ = 0, height_ = 0;
    int32_t base_ = 0;
    int cellWidth_ = 0, mapLeft_ = 0, mapTop_ = 0;
    std::vector<Cell> cells_;
    // For each cell, the first cell at its grid position (electrodes that
    // share a position are drawn again together).
    std::vector<size_t> spot_;
    mutable std::vector<char> redraw_;
};

}  // namespace vk

namespace vk {

// The frame a player shows `elapsedMs` of real time after it started at
// frame `from`, playing `speed` times faster than real time (one frame per
// `step` ms of movie time). Past the last frame it starts again at the
// first when looping, else it stays on the last.
int PlaybackFrame(int frames, int32_t step, int from, double elapsedMs, double speed, bool loop);

}  // namespace vk
