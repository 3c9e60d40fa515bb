#include "printing/PrimitiveLog.h"

#include <cstdio>

namespace vk {

namespace {

std::string colour(Colour c) {
    char text[16];
    std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(c));
    return text;
}

}  // namespace

std::string EscapePrimitiveText(const std::string& text) {
    std::string out;
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (ch == '\\' || ch == '"') {
            out += '\\';
            out += ch;
        } else if (byte < 32 || byte == 127) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        } else {
            out += ch;
        }
    }
    return out;
}

void PrimitiveLog::beginDraw() {
    out_ << "begin " << inner_.width() << ' ' << inner_.height() << '\n';
    inner_.beginDraw();
}

void PrimitiveLog::endDraw() {
    inner_.endDraw();
    out_ << "end\n";
}

void PrimitiveLog::setPenColor(Colour c) {
    out_ << "pencolor " << colour(c) << '\n';
    inner_.setPenColor(c);
}
void PrimitiveLog::setPenWidth(int w) {
    out_ << "penwidth " << w << '\n';
    inner_.setPenWidth(w);
}
void PrimitiveLog::setPenStyle(PenStyle s) {
    static const char* const names[] = {"solid", "dash", "dot", "clear"};
    out_ << "penstyle " << names[static_cast<int>(s)] << '\n';
    inner_.setPenStyle(s);
}
void PrimitiveLog::setPenMode(PenMode m) {
    static const char* const names[] = {"copy", "xor", "not"};
    out_ << "penmode " << names[static_cast<int>(m)] << '\n';
    inner_.setPenMode(m);
}
void PrimitiveLog::setBrushColor(Colour c) {
    out_ << "brushcolor " << colour(c) << '\n';
    inner_.setBrushColor(c);
}
void PrimitiveLog::setBrushStyle(BrushStyle s) {
    out_ << "brushstyle " << (s == BrushStyle::Solid ? "solid" : "clear") << '\n';
    inner_.setBrushStyle(s);
}
void PrimitiveLog::setFontStyle(unsigned styles) {
    out_ << "fontstyle " << styles << '\n';
    inner_.setFontStyle(styles);
}
void PrimitiveLog::setFontSize(int pixels) {
    out_ << "fontsize " << pixels << '\n';
    inner_.setFontSize(pixels);
}

void PrimitiveLog::four(const char* name, int a, int b, int c, int d) {
    out_ << name << ' ' << a << ' ' << b << ' ' << c << ' ' << d << '\n';
}

void PrimitiveLog::line(int x1, int y1, int x2, int y2) {
    four("line", x1, y1, x2, y2);
    inner_.line(x1, y1, x2, y2);
}
void PrimitiveLog::rectangle(int x1, int y1, int x2, int y2) {
    four("rect", x1, y1, x2, y2);
    inner_.rectangle(x1, y1, x2, y2);
}
void PrimitiveLog::ellipse(int x1, int y1, int x2, int y2) {
    four("ellipse", x1, y1, x2, y2);
    inner_.ellipse(x1, y1, x2, y2);
}

void PrimitiveLog::polyline(const std::vector<Point>& points) {
    std::string line = "polyline " + std::to_string(points.size());
    for (const Point& p : points) line += ' ' + std::to_string(p.x) + ' ' + std::to_string(p.y);
    out_ << line << '\n';
    inner_.polyline(points);
}

void PrimitiveLog::textOut(int x, int y, Colour fontColour, const std::string& text) {
    out_ << "text " << x << ' ' << y << ' ' << colour(fontColour) << ' ' << inner_.textWidth(text) << ' '
         << inner_.textHeight(text) << " \"" << EscapePrimitiveText(text) << "\"\n";
    inner_.textOut(x, y, fontColour, text);
}

}  // namespace vk
