// The drawing file for the Mac and the RealBasic mark file.
//
// The drawing file rebuilds on another computer what panel A shows: the map
// with its digits or arrows, the traces with their marks, or small
// electrograms in matrix order. It is a count of blocks, then each block as
// "kind n" followed by its n data lines, all numbers whole and separated by
// single blanks:
//   6 line segment x1 y1 x2 y2      1 text x y value
//   5 arrow x1 y1 x2 y2 hx1 hy1 hx2 hy2 (shaft and the two head strokes)
//   2 one trace value per line      4 mark tick x 50 -50 label
//   8 electrode column row, then one point x y per line
// The RealBasic file holds the reference marks of electrode 4 and the mark
// times of electrodes 65 to 96 as blank-separated lines.
#pragma once

#include <string>
#include <vector>

#include "session/Context.h"

namespace vk {

struct DrawingBlock {
    int kind = 0;
    std::vector<std::string> lines;
};

// "Copy Map": the frame, and when digits are shown the digits (kind 1) or,
// with arrows, the arrows (kind 5) followed by the digits in a kind-1 block of
// their own. Throws IoError when no map has been laid out yet.
std::vector<DrawingBlock> CopyMapBlocks(const SessionState& s);
// "Copy Electrograms": per trace a block of values, and a block of marks
// when the trace has marks in the window. Positions without an electrode
// give no blocks.
std::vector<DrawingBlock> CopySignalsBlocks(const SessionState& s);
// "Copy EleMap": per matrix position with an electrode, its samples in the
// window around their mean. Notes the window in the memo lines.
std::vector<DrawingBlock> CopyEleMapBlocks(SessionState& s);
// The file's lines: the block count, then each block.
std::vector<std::string> DrawingFileLines(const std::vector<DrawingBlock>& blocks);

// The lines of the RealBasic file, for the mark type of the active display.
std::vector<std::string> RealBasicLines(const SessionState& s);

// The choices of the "CopyToMac" window, in its order.
enum class MacCopy { Map = 0, Electrograms = 1, EleMap = 2 };
inline const char* const MacCopyItems[] = {"Copy Map", "Copy Electrograms", "Copy EleMap"};
// The blocks of one choice.
std::vector<DrawingBlock> MacBlocks(SessionState& s, MacCopy what);

// OK of the "CopyToMac" window: asks for the file (proposing FileName with
// ".TXT") and writes the chosen copy; redraws either way.
void MacOkClick(Ctx& ctx, MacCopy what);
// File > Export > "to RealBasic".
void SavetoRealBasic1Click(Ctx& ctx);

}  // namespace vk
