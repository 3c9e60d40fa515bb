// The propagation movie: which colour a cell has in which frame, its layout
// and drawing, the player's frame, and the animated GIF read back through
// giflib's decoder.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "exchange/GifWriter.h"
#include "maps/MapDraw.h"
#include "maps/Movie.h"
#include "session/Errors.h"
#include "support/GridSession.h"
#include "support/RecordingCanvas.h"
#include "support/TempDir.h"
#include "waves/MovieSpan.h"

namespace vk {
namespace {

using test::addMark;

constexpr Colour Red = 0x000000FF, Orange = 0x004488FF, Yellow = 0x0000FFFF;

// A 4 x 2 array: electrode 1 has slow waves at 1200 and 1600, electrode 2 a
// hidden one at 1300, electrode 3 a spike at 1300, electrode 4 a slow wave
// at 2700 (after the movie). The movie runs 1000..3000 ms in 100 ms steps
// with a 500 ms trail, on a 200 x 100 paint box.
struct MovieCase {
    std::unique_ptr<SessionState> s = test::gridSession(4, 2);
    test::RecordingCanvas canvas{200, 100};

    MovieCase() {
        addMark(*s, 1, 1200);
        addMark(*s, 1, 1600);
        addMark(*s, 2, 1300);
        s->MarkTable[static_cast<size_t>(s->MarkCount)].Visible = 0;
        addMark(*s, 3, 1300, Spike);
        addMark(*s, 4, 3100);
    }
    Movie movie(int type = SlowWave) { return Movie(*s, {1000, 2000, 100, 500, type}, 200, 100, canvas); }
};

TEST(Movie, CellColoursFollowTheLatestMarkWithinItsTrail) {
    MovieCase c;
    const Movie m = c.movie();
    // Base 1000 (the earliest time 1200 rounded down to the 500 ms width).
    EXPECT_EQ(std::tuple(m.frames(), m.base(), m.cellWidth(), m.mapLeft(), m.mapTop()), std::tuple(21, 1000, 38, 10, 22));
    struct Case {
        int frame;
        Colour e1, e2, e3;
    };
    const Case cases[] = {
        {1, clWhite, clWhite, clWhite},  // 1100: before the first mark
        {2, Red, clWhite, clWhite},      // 1200: at it (band of 200)
        {5, Red, clWhite, clWhite},      // 1500: within its trail; the hidden mark and the spike take no part
        {6, Orange, clWhite, clWhite},   // 1600: both in their trail, the latest reached (600) wins
        {10, Orange, clWhite, clWhite},  // 2000: 400 ms after it
        {11, clWhite, clWhite, clWhite}, // 2100: exactly the trail after it
        {20, clWhite, clWhite, clWhite},
    };
    for (const Case& k : cases)
        EXPECT_EQ(std::tuple(m.cellColour(0, k.frame), m.cellColour(1, k.frame), m.cellColour(2, k.frame)),
                  std::tuple(k.e1, k.e2, k.e3))
            << "frame " << k.frame;
    // The mark after the window never shows.
    EXPECT_TRUE(m.cells()[3].times.empty());
    // Spikes alone: electrode 3 from 1300 on, in the band of its own window's earliest.
    const Movie spikes = c.movie(Spike);
    EXPECT_EQ(std::tuple(spikes.cellColour(2, 3), spikes.cellColour(0, 3), spikes.base()), std::tuple(Red, clWhite, 1000));

    // A reference time of 1250: the mark at 1200 is gone, the bands count from RefTime.
    c.s->RefTime = 1250;
    c.s->IsochroneWidth = 200;
    const Movie ref = c.movie();
    EXPECT_EQ(std::tuple(ref.base(), ref.cellColour(0, 4), ref.cellColour(0, 6)), std::tuple(200, clWhite, Red));
}

TEST(Movie, FrameIsDrawnOverTheWholeBoxAndLeavesTheSessionAsItWas) {
    MovieCase c;
    SessionState& s = *c.s;
    s.MapBuf.at(2, 1).Time = 77;
    s.EarliestTime = 5;
    s.MapTop = 10;
    s.CellWidth = s.CellHeight = 3;
    const Movie m = c.movie();
    EXPECT_EQ(std::tuple(s.MapBuf.at(2, 1).Time, s.EarliestTime, s.MapTop, s.CellWidth, s.MapKind),
              std::tuple(77, 5, 10, 3, 0));

    m.drawFrame(c.canvas, 6);
    const std::string orange = std::to_string(Orange);
    // White box, the label, electrode 1's cell in orange, the grid (cells 38 wide from 10, 22).
    EXPECT_EQ(test::drawn(c.canvas.ops, {"rect 0 0 202 102", "text 10 4 t = 1600 ms", "brush " + orange,
                                         "rect 10 22 48 60", "rect 10 22 49 61", "rect 124 60 163 99"}),
              (test::Ops{"rect 0 0 202 102", "text 10 4 t = 1600 ms", "brush " + orange, "rect 10 22 48 60",
                         "rect 10 22 49 61", "rect 124 60 163 99"}));
    // No other cell is filled, and no digits are written.
    EXPECT_EQ(std::count_if(c.canvas.ops.begin(), c.canvas.ops.end(), [](const std::string& op) { return op.rfind("brush", 0) == 0; }), 2);
    EXPECT_EQ(std::count_if(c.canvas.ops.begin(), c.canvas.ops.end(), [](const std::string& op) { return op.rfind("text", 0) == 0; }), 1);
}

TEST(Movie, FramesPlayersAndSpans) {
    EXPECT_EQ(MovieFrameCount({0, 60000, 50, 1000}), 1201);
    EXPECT_EQ(MovieFrameCount({0, 19999, 1, 1000}), 20000);
    EXPECT_EQ(MovieFrameCount({0, 10, 0, 1000}), 0);
    // frames, step, from, elapsed ms, speed, loop -> frame
    EXPECT_EQ(PlaybackFrame(10, 50, 2, 100, 1.0, true), 4);
    EXPECT_EQ(PlaybackFrame(10, 50, 2, 400, 0.25, true), 4);
    EXPECT_EQ(PlaybackFrame(10, 50, 2, 49, 8.0, true), 9);
    EXPECT_EQ(PlaybackFrame(10, 50, 8, 150, 1.0, true), 1);
    EXPECT_EQ(PlaybackFrame(10, 50, 8, 150, 1.0, false), 9);

    // Panel A's window, or the span of the wave it shows in wave mode 1.
    auto s = test::gridSession(2, 1);
    s->BeginTimeA = 100;
    s->WindowA = 4000;
    s->RefTime = 1000;
    s->WaveTimes.assign(static_cast<size_t>(MaxChannels + 1) * 201, Missing);
    s->WaveTimes[1 * 201 + 3] = 500;
    s->WaveTimes[2 * 201 + 3] = 1400;
    s->DisplayTypeA = 2;
    s->WaveMode = 1;
    s->WaveNrA = 3;
    s->WavesOutdated = false;
    EXPECT_EQ(std::tuple(MovieSpanOfPanelA(*s).begin, MovieSpanOfPanelA(*s).window), std::tuple(1500, 900));
    s->WaveMode = 2;
    EXPECT_EQ(std::tuple(MovieSpanOfPanelA(*s).begin, MovieSpanOfPanelA(*s).window), std::tuple(100, 4000));
}

// 0x00RRGGBB pixels of 8 x 4 frames.
constexpr uint32_t W = 0xFFFFFF, R = 0xFF0000, B = 0x0077DE;

TEST(GifWriter, DecodedFramesHaveTheirDelayAndExactColours) {
    test::TempDir dir;
    const GifPalette palette({clWhite, clBlack, Red, 0x00DE7700});
    std::vector<std::vector<uint32_t>> frames(3, std::vector<uint32_t>(32, W));
    frames[0][0] = R;
    frames[0][9] = 0x404040;  // a soft text edge: black
    frames[0][10] = 0xC0C0C0; // white
    frames[1] = frames[0];
    frames[1][2 * 8 + 5] = B;
    frames[1][3 * 8 + 6] = R;
    frames[2] = frames[1];
    const std::string path = dir.file("m.gif");
    WriteAnimatedGif(path, 8, 4, palette, 3, GifDelayFor(20),
                     [&](int k) { return frames[static_cast<size_t>(k)].data(); });

    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    EXPECT_EQ(std::tuple(gif->SWidth, gif->SHeight, gif->ImageCount), std::tuple(8, 4, 3));
    const GifColorType* c = gif->SColorMap->Colors;
    EXPECT_EQ(std::tuple(c[2].Red, c[2].Green, c[2].Blue, c[3].Red, c[3].Green, c[3].Blue),
              std::tuple(255, 0, 0, 0, 0x77, 0xDE));
    // Each frame over the one before, in its rectangle: frame 1 only the two
    // changed pixels' box, frame 2 (unchanged) one pixel.
    std::vector<uint32_t> screen(32, 0);
    for (int k = 0; k < 3; ++k) {
        const SavedImage& image = gif->SavedImages[k];
        GraphicsControlBlock gcb;
        DGifSavedExtensionToGCB(gif, k, &gcb);
        EXPECT_EQ(std::tuple(gcb.DelayTime, gcb.DisposalMode), std::tuple(5, DISPOSE_DO_NOT));
        const GifImageDesc& d = image.ImageDesc;
        const std::tuple<int, int, int, int> boxes[] = {{0, 0, 8, 4}, {5, 2, 2, 2}, {0, 0, 1, 1}};
        EXPECT_EQ(std::tuple(d.Left, d.Top, d.Width, d.Height), boxes[k]);
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const GifColorType& p = c[image.RasterBits[y * d.Width + x]];
                screen[static_cast<size_t>((d.Top + y) * 8 + d.Left + x)] = (uint32_t{p.Red} << 16) | (p.Green << 8) | p.Blue;
            }
        auto want = frames[static_cast<size_t>(k)];
        want[9] = 0;
        want[10] = W;
        EXPECT_EQ(screen, want) << "frame " << k;
    }
    DGifCloseFile(gif, &error);

    EXPECT_EQ(std::tuple(GifDelayFor(30), GifDelayFor(40), GifDelayFor(100), GifDelayFor(1)), std::tuple(3, 2, 1, 100));
    // A folder that does not exist: an error, and nothing written anywhere.
    EXPECT_THROW(WriteAnimatedGif(dir.file("no/m.gif"), 8, 4, palette, 3, 5, [&](int k) { return frames[static_cast<size_t>(k)].data(); }),
                 IoError);
    // A frame that cannot be drawn stops the writing (and its encoding thread) the same way.
    EXPECT_THROW(WriteAnimatedGif(dir.file("x.gif"), 8, 4, palette, 3, 5,
                                  [&](int k) -> const uint32_t* {
                                      if (k == 2) throw IoError("x", "no frame");
                                      return frames[static_cast<size_t>(k)].data();
                                  }),
                 IoError);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace vk
