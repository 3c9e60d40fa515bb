// A canvas that passes every call on to another canvas and writes it as one
// line of text: the record of a printed page that scripts and tests compare.
//
//   begin W H | end | pencolor C | brushcolor C | penwidth N | fontstyle N
//   fontsize N | penstyle solid|dash|dot|clear | penmode copy|xor|not
//   brushstyle solid|clear | line X1 Y1 X2 Y2 | rect ... | ellipse ...
//   polyline N X1 Y1 ... XN YN | text X Y C W H "S"
//
// Colours are $ and 8 hex digits ($00BBGGRR); W and H of a text are the
// other canvas's measures of it. Inside S a backslash is \\, a double quote
// \", a byte below 32 or equal to 127 \xHH. Text measures asked for by the
// drawing code are not written.
#pragma once

#include <ostream>
#include <string>

#include "session/Canvas.h"

namespace vk {

// The text between the quotes of a text line.
std::string EscapePrimitiveText(const std::string& text);

class PrimitiveLog : public Canvas {
public:
    PrimitiveLog(Canvas& inner, std::ostream& out) : inner_(inner), out_(out) {}

    int width() const override { return inner_.width(); }
    int height() const override { return inner_.height(); }
    void beginDraw() override;
    void endDraw() override;

    void setPenColor(Colour c) override;
    void setPenWidth(int w) override;
    void setPenStyle(PenStyle s) override;
    void setPenMode(PenMode m) override;
    void setBrushColor(Colour c) override;
    void setBrushStyle(BrushStyle s) override;
    void setFontStyle(unsigned styles) override;
    void setFontSize(int pixels) override;

    void line(int x1, int y1, int x2, int y2) override;
    void polyline(const std::vector<Point>& points) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void ellipse(int x1, int y1, int x2, int y2) override;
    void textOut(int x, int y, Colour fontColour, const std::string& text) override;
    int textWidth(const std::string& text) override { return inner_.textWidth(text); }
    int textHeight(const std::string& text) override { return inner_.textHeight(text); }

private:
    void four(const char* name, int a, int b, int c, int d);

    Canvas& inner_;
    std::ostream& out_;
};

}  // namespace vk
