// Conduction velocities: the local direction and speed of propagation over
// every square block of neighbouring cells, from the cells' activation
// times, and the arrows that show them over a map.
//
// The block whose first cell is (col, row) spans d = VelocityStep cells; the
// time gradient between its corners gives a velocity that points from early
// to late activation. The speeds stay in VelocityBuf until the next run, for
// the velocity map and the statistics.
#pragma once

#include <string>

#include "session/Context.h"

namespace vk {

inline constexpr int ArrowHeadLength = 5;

// Direction of the arrow from start to tip in degrees, counter-clockwise
// from the right on the screen (y grows downward), 0..360; 0 when it has no
// length.
double ArrowAngle(Point start, Point tip);
// The two points the head lines run to from the tip; false for an arrow
// without length.
bool ArrowHead(Point start, Point tip, int length, Point& p1, Point& p2);

// Why the matrix gives no velocities (its electrode distance is 0, so every
// gradient would divide by zero); empty when it gives them.
std::string NoVelocitiesReason(const SessionState& s);
// When there are no velocities, adds "No velocities: " and the reason to
// Memo1 unless that is its last line already (every redraw asks again), and
// returns false.
bool NoteWhetherVelocities(SessionState& s);

// Computes VelocityBuf from the Time values of the map buffer on the cells
// as last sized. Settings from the preferences: step, arrow size, limit.
// Without an electrode distance every Speed stays Missing.
void CalcVelocities(SessionState& s);
// CalcVelocities, then the kept arrows with their heads on the panel being
// drawn; without velocities, the memo line that says why instead.
void DrawVelocities(Ctx& ctx);

}  // namespace vk
