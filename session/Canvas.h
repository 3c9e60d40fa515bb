// A drawing surface: the primitives that panels and printed pages are drawn
// with. Colours are 32-bit $00BBGGRR values throughout the core; an
// implementation converts them to its own colour type.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace vk {

using Colour = uint32_t;  // $00BBGGRR

inline constexpr Colour clBlack = 0x00000000;
inline constexpr Colour clWhite = 0x00FFFFFF;
inline constexpr Colour clRed = 0x000000FF;
inline constexpr Colour clBlue = 0x00FF0000;
inline constexpr Colour clFuchsia = 0x00FF00FF;
// The electrode numbers and time labels of the electrogram views.
inline constexpr Colour DarkGreen = 0x00008000;

enum class PenStyle { Solid, Dash, Dot, Clear };
enum class PenMode { Copy, Xor, Not };
enum class BrushStyle { Solid, Clear };

enum FontStyle : unsigned { FontPlain = 0, FontBold = 1, FontItalic = 2, FontUnderline = 4 };

// Keeps pixel coordinates of absurd amplifications within what a canvas takes.
inline int clampPixel(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -1000000, 1000000)); }

struct Point {
    int x = 0;
    int y = 0;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;

    // A redraw is bracketed by these; what was drawn stays until the next one.
    virtual void beginDraw() {}
    virtual void endDraw() {}

    virtual void setPenColor(Colour c) = 0;
    virtual void setPenWidth(int w) = 0;
    virtual void setPenStyle(PenStyle s) = 0;
    virtual void setPenMode(PenMode m) = 0;
    virtual void setBrushColor(Colour c) = 0;
    virtual void setBrushStyle(BrushStyle s) = 0;
    virtual void setFontStyle(unsigned styles) = 0;
    virtual void setFontSize(int pixels) = 0;

    virtual void line(int x1, int y1, int x2, int y2) = 0;
    virtual void polyline(const std::vector<Point>& points) = 0;
    virtual void rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void ellipse(int x1, int y1, int x2, int y2) = 0;
    virtual void textOut(int x, int y, Colour fontColour, const std::string& text) = 0;
    virtual int textWidth(const std::string& text) = 0;
    virtual int textHeight(const std::string& text) = 0;
};

}  // namespace vk
