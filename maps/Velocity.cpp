#include "maps/Velocity.h"

#include <algorithm>
#include <cmath>

#include "session/Draw.h"

namespace vk {

namespace {

constexpr double Pi = 3.14159265358979323846;
// The value of pi the arrowheads were always drawn with.
constexpr double HeadPi = 3.1417;

int rounded(double v) { return static_cast<int>(std::clamp<int64_t>(roundHalfEven(v), -1000000000, 1000000000)); }

}  // namespace

double ArrowAngle(Point start, Point tip) {
    const double dx = tip.x - start.x, up = start.y - tip.y;
    if (up == 0) return dx < 0 ? 180.0 : 0.0;
    if (dx == 0) return up > 0 ? 90.0 : 270.0;
    double a = std::atan(up / dx);
    if (dx < 0) a += Pi;
    else if (up < 0) a += 2 * Pi;
    return a * 180.0 / Pi;
}

bool ArrowHead(Point start, Point tip, int length, Point& p1, Point& p2) {
    const int xs = start.x, ys = start.y, xe = tip.x, ye = tip.y, l = length;
    if (xs == xe && ys == ye) return false;
    if (ys == ye) {
        const int back = xs < xe ? -l : l;
        p1 = {xe + back, ye + l};
        p2 = {xe + back, ye - l};
        return true;
    }
    if (xs == xe) {
        const int back = ye > ys ? -l : l;
        p1 = {xe + back, ye + back};
        p2 = {xe - back, ye + back};
        return true;
    }
    // The direction on the screen, from the arctangent of the slope.
    double phi = std::atan(static_cast<double>(ye - ys) / (xe - xs));
    if (xe < xs) phi += HeadPi;
    p1 = {xe - rounded(l * std::cos(phi - 0.5)), ye - rounded(l * std::sin(phi - 0.5))};
    p2 = {xe - rounded(l * std::cos(phi + 0.5)), ye - rounded(l * std::sin(phi + 0.5))};
    if (xe < xs && ye < ys) std::swap(p1, p2);
    return true;
}

std::string NoVelocitiesReason(const SessionState& s) {
    // Not above 0 also catches a distance that is no number.
    return s.ElectrodeDistance > 0 ? std::string() : "the matrix gives an electrode distance of 0";
}

bool NoteWhetherVelocities(SessionState& s) {
    const std::string why = NoVelocitiesReason(s);
    if (why.empty()) return true;
    const std::string line = "No velocities: " + why;
    if (s.Memo1.empty() || s.Memo1.back() != line) s.Memo1.push_back(line);
    return false;
}

void CalcVelocities(SessionState& s) {
    const int columns = std::min(s.NrColumns, MapGridSize), rows = std::min(s.NrRows, MapGridSize);
    for (int column = 1; column <= columns; ++column)
        for (int row = 1; row <= rows; ++row) s.VelocityBuf.at(column, row).Speed = Missing;
    const int d = s.Prefs.VelocityStep;
    if (d < 1 || !NoVelocitiesReason(s).empty()) return;
    const double span = 2.0 * s.ElectrodeDistance * d;
    for (int column = 1; column <= columns - d; ++column)
        for (int row = 1; row <= rows - d; ++row) {
            const double t1 = s.MapBuf.at(column, row + d).Time, t2 = s.MapBuf.at(column + d, row + d).Time;
            const double t3 = s.MapBuf.at(column + d, row).Time, t4 = s.MapBuf.at(column, row).Time;
            if (t1 < 0 || t2 < 0 || t3 < 0 || t4 < 0) continue;  // no time (or crossed out) at a corner
            const double gx = ((t2 + t3) - (t1 + t4)) / span;    // ms per mm, to the right
            const double gy = ((t1 + t2) - (t3 + t4)) / span;    // ms per mm, downward
            const double g2 = gx * gx + gy * gy;
            if (g2 == 0) continue;
            const double vx = gx / g2, vy = gy / g2;  // mm per ms
            const double speed = std::sqrt(vx * vx + vy * vy) * 100;
            if (s.Prefs.LimitVelocity && !(speed < s.Prefs.MaxVelocity)) continue;
            VelocityRec& v = s.VelocityBuf.at(column, row);
            // From the corner the block's first cell shares with the next ones.
            v.X1 = (column - 1) * s.CellWidth + s.MapLeft + s.CellWidth - 1 + rounded((d - 1) * s.CellWidth / 2.0);
            v.Y1 = (row - 1) * s.CellHeight + s.MapTop + s.CellHeight + rounded((d - 1) * s.CellHeight / 2.0);
            v.X2 = v.X1 + rounded(vx * s.Prefs.ArrowScale);
            v.Y2 = v.Y1 + rounded(vy * s.Prefs.ArrowScale);
            v.Speed = speed;
            Point p1{}, p2{};
            if (!ArrowHead({v.X1, v.Y1}, {v.X2, v.Y2}, ArrowHeadLength, p1, p2)) p1 = p2 = {v.X2, v.Y2};
            v.HeadX1 = p1.x;
            v.HeadY1 = p1.y;
            v.HeadX2 = p2.x;
            v.HeadY2 = p2.y;
            v.Angle = ArrowAngle({v.X1, v.Y1}, {v.X2, v.Y2});
        }
}

void DrawVelocities(Ctx& ctx) {
    SessionState& s = ctx.s;
    SetPenColor(ctx, clBlack);
    CalcVelocities(s);
    if (!NoteWhetherVelocities(s)) return;
    const int columns = std::min(s.NrColumns, MapGridSize), rows = std::min(s.NrRows, MapGridSize);
    for (int column = 1; column <= columns; ++column)
        for (int row = 1; row <= rows; ++row) {
            const VelocityRec& v = s.VelocityBuf.at(column, row);
            if (v.Speed == Missing) continue;
            Line(ctx, v.X1, v.Y1, v.X2, v.Y2);
            if (v.X1 == v.X2 && v.Y1 == v.Y2) continue;  // no length, no head
            Line(ctx, v.X2, v.Y2, v.HeadX1, v.HeadY1);
            Line(ctx, v.X2, v.Y2, v.HeadX2, v.HeadY2);
        }
}

}  // namespace vk
