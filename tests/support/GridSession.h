// A session with a plain electrode matrix, for the map tests.
#pragma once

#include <memory>

#include "marks/MarkStore.h"
#include "session/SessionState.h"

namespace vk::test {

// columns x rows positions with electrode 1 + (c-1) + (r-1)*columns at (c, r).
inline std::unique_ptr<SessionState> gridSession(int columns, int rows) {
    auto s = std::make_unique<SessionState>();
    s->NrColumns = columns;
    s->NrRows = rows;
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= columns; ++c) {
            const int e = 1 + (c - 1) + (r - 1) * columns;
            s->ElectrodeCol[static_cast<size_t>(e)] = c;
            s->ElectrodeRow[static_cast<size_t>(e)] = r;
            s->MatrixGrid[static_cast<size_t>(c)][static_cast<size_t>(r)] = e;
        }
    return s;
}

inline void addMark(SessionState& s, int e, int time, int type = SlowWave, int nr = 0) {
    s.CurrentElectrode = e;
    AddMarkRecord(s, time, static_cast<int16_t>(type), static_cast<int16_t>(nr));
}

}  // namespace vk::test
