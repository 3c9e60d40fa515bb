// Animated GIF files through giflib, with exact colours.
//
// Frames come in as 32-bit pixels (0x??RRGGBB, the layout of a 32-bit RGB
// image, row after row) and are stored as indices into one global palette
// of the exact colours given: nothing is quantised or dithered. A pixel of
// a colour the palette lacks (the soft edge of antialiased text) becomes
// black when it is darker than mid-grey and white otherwise, so the file
// depends on nothing but the pixels.
//
// Each frame after the first is stored as the smallest rectangle that holds
// every pixel that differs from the frame before, left in place under the
// next one; a viewer shows exactly the frames given.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "session/Canvas.h"

namespace vk {

// Up to 256 colours ($00BBGGRR); the file's palette is padded with black.
struct GifPalette {
    explicit GifPalette(std::vector<Colour> colours);
    // The palette index of a pixel 0x??RRGGBB.
    uint8_t indexOf(uint32_t pixel) const;

    std::vector<Colour> colours;

private:
    std::vector<uint32_t> rgb_;  // 0x00RRGGBB of each colour
    mutable uint32_t lastPixel_ = 0xFFFFFFFF;
    mutable uint8_t lastIndex_ = 0;
};

struct GifRect {
    int left = 0, top = 0, width = 0, height = 0;
};

// The rectangle of pixels where `now` differs from `before` (both width x
// height); an empty one (width 0) when they are equal.
GifRect ChangedRect(const uint32_t* before, const uint32_t* now, int width, int height);

// The frame delay in hundredths of a second for `fps` frames per second:
// 100 / fps rounded, halves to even, at least 1.
int GifDelayFor(int fps);

// Writes an animation of `frames` frames of width x height pixels, frame k
// given by frame(k) (valid until the next call), each shown for
// `delayCentiseconds`, looping for ever. The file is written whole through
// a temporary file or not at all; throws IoError.
void WriteAnimatedGif(const std::string& path, int width, int height, const GifPalette& palette, int frames,
                      int delayCentiseconds, const std::function<const uint32_t*(int)>& frame);

}  // namespace vk
