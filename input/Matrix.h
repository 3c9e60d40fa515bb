// Electrode matrix files: where each channel lies on the electrode array.
//
// Two text formats exist. The old one lists a column and row per electrode;
// the new one (first line -2) lists the grid row by row with the electrode
// number at each position. A file is parsed completely before anything in
// the session changes, so a damaged file never leaves half a matrix behind.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "session/Context.h"

namespace vk {

// A matrix file lists at most 256 electrodes; anything far larger is not one.
inline constexpr size_t MaxMatrixFileBytes = 4u << 20;

struct MatrixData {
    bool hasDimensions = true;  // false: a new-format file without the -2 mark
    bool hasGrid = false;       // new format: MatrixGrid is filled
    int32_t NrElectrodes = 0;
    int32_t NrColumns = 0;
    int32_t NrRows = 0;
    double ElectrodeDistance = 1.0;
    std::array<int32_t, MaxChannels + 1> ElectrodeCol{};
    std::array<int32_t, MaxChannels + 1> ElectrodeRow{};
    std::array<std::array<int32_t, MaxGrid + 1>, MaxGrid + 1> MatrixGrid{};
};

// Parse the text of a matrix file. Throw IoError (with the path) for a
// layout the program cannot hold and ConversionError for a token that is not
// a number.
MatrixData ParseOldMatrix(std::string_view text, const std::string& path);
MatrixData ParseNewMatrix(std::string_view text, const std::string& path);

// A full grid of columns x rows electrodes numbered row by row from `first`
// (as the demo recording, tests and benchmarks use).
MatrixData RowByRowMatrix(int columns, int rows, int first, double distance);

// Put a parsed matrix into the session and run the common ending: a distance
// outside 0..100 becomes 1.0, the tile layout follows the matrix shape and
// the number of traces becomes the number of columns.
void ApplyMatrix(SessionState& s, const MatrixData& m);

// Read MatrixFileName in the old or the new format into the session.
void LoadMatrix(SessionState& s);
void LoadNewMatrix(SessionState& s);

// After the mark file of an opened recording was read: loads the matrix in
// use, asking for one when its file is missing.
void LoadMatrixInUse(Ctx& ctx);

}  // namespace vk
