// A Canvas that keeps the list of primitives drawn on it, for tests of the
// drawing code without a window.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "session/Canvas.h"

namespace vk::test {

class RecordingCanvas : public Canvas {
public:
    RecordingCanvas(int w = 800, int h = 600) : w_(w), h_(h) {}
    std::vector<std::string> ops;
    // The points of every polyline, in the order drawn.
    std::vector<std::vector<Point>> polylines;

    int width() const override { return w_; }
    int height() const override { return h_; }
    void beginDraw() override {
        ops.clear();
        polylines.clear();
        clearTexts.clear();
    }
    void setPenColor(Colour c) override { ops.push_back("pen " + std::to_string(c)); }
    void setPenWidth(int w) override { ops.push_back("width " + std::to_string(w)); }
    void setPenStyle(PenStyle) override {}
    void setPenMode(PenMode) override {}
    void setBrushColor(Colour c) override { ops.push_back("brush " + std::to_string(c)); }
    void setBrushStyle(BrushStyle b) override { brushStyle_ = b; }
    void setFontStyle(unsigned) override {}
    void setFontSize(int pixels) override {
        fontSize_ = pixels;
        ops.push_back("font " + std::to_string(pixels));
    }
    void line(int x1, int y1, int x2, int y2) override { ops.push_back(fmt("line", x1, y1, x2, y2)); }
    void polyline(const std::vector<Point>& p) override {
        ops.push_back("polyline " + std::to_string(p.size()));
        polylines.push_back(p);
    }
    void rectangle(int x1, int y1, int x2, int y2) override { ops.push_back(fmt("rect", x1, y1, x2, y2)); }
    void ellipse(int x1, int y1, int x2, int y2) override { ops.push_back(fmt("ellipse", x1, y1, x2, y2)); }
    void textOut(int x, int y, Colour, const std::string& t) override {
        ops.push_back("text " + std::to_string(x) + " " + std::to_string(y) + " " + t);
        if (brushStyle_ == BrushStyle::Clear) clearTexts.push_back(t);
    }
    // The texts written with a clear brush (no box behind them).
    std::vector<std::string> clearTexts;
    // Half the font size per character: 7 pixels at the panels' 14.
    int textWidth(const std::string& t) override { return fontSize_ * static_cast<int>(t.size()) / 2; }
    int textHeight(const std::string&) override { return 14; }

private:
    static std::string fmt(const char* n, int a, int b, int c, int d) {
        return std::string(n) + " " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + " " +
               std::to_string(d);
    }
    int w_, h_;
    int fontSize_ = 14;
    BrushStyle brushStyle_ = BrushStyle::Solid;
};

using Ops = std::vector<std::string>;

// Those of `wanted` that are (drawn = true) or are not among the ops: one
// EXPECT_EQ against Ops{} checks a whole list and names what differs.
inline Ops among(const Ops& ops, std::initializer_list<std::string> wanted, bool drawn) {
    Ops out;
    for (const auto& w : wanted)
        if ((std::find(ops.begin(), ops.end(), w) != ops.end()) == drawn) out.push_back(w);
    return out;
}
inline Ops notDrawn(const Ops& ops, std::initializer_list<std::string> wanted) { return among(ops, wanted, false); }
inline Ops drawn(const Ops& ops, std::initializer_list<std::string> wanted) { return among(ops, wanted, true); }

// The points of a polyline as "x,y x,y ...", for exact comparisons.
inline std::string pointsOf(const std::vector<Point>& p) {
    std::string out;
    for (const Point& q : p) out += (out.empty() ? "" : " ") + std::to_string(q.x) + "," + std::to_string(q.y);
    return out;
}

}  // namespace vk::test
