// A propagation movie saved as an animated GIF, its frames drawn by the Qt
// canvas (the time label is text): shared by the Animate window and
// "vorelkant-cli animate".
#pragma once

#include <string>

#include "desktop/QtCanvas.h"
#include "exchange/GifWriter.h"
#include "maps/Movie.h"

namespace vk {

// Writes every frame of `movie`, each shown for `delayCentiseconds`; throws
// IoError and leaves nothing behind when the file cannot be written.
inline void WriteMovieGif(const Movie& movie, const std::string& path, int delayCentiseconds) {
    QtCanvas canvas;
    canvas.resize(movie.width(), movie.height());
    const GifPalette palette(Movie::palette());
    WriteAnimatedGif(path, movie.width(), movie.height(), palette, movie.frames(), delayCentiseconds, [&](int k) {
        canvas.beginDraw();
        // The canvas holds the frame before: only what changed is drawn.
        movie.drawFrame(canvas, k, k - 1);
        canvas.endDraw();
        // 32-bit rows without padding: the layout the writer takes.
        return reinterpret_cast<const uint32_t*>(canvas.image().constBits());
    });
}

}  // namespace vk
