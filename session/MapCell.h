// The map buffer: one cell per position of the electrode grid, holding what
// the marks of that electrode give inside the time window of the map drawn
// last. Every map kind, the wave maps, the map exports and the printed maps
// read it; every map draw reloads it.
//
// Only the types live here (the session state holds the buffers); loading
// and drawing are in the maps folder.
#pragma once

#include <cstdint>
#include <vector>

#include "session/MarkRecord.h"
#include "session/Numbers.h"

namespace vk {

// Columns and rows of the map buffer: as many as an electrode matrix may
// have, so that no grid position falls outside it.
inline constexpr int MapGridSize = 100;

// Start values of the searches for the earliest and latest map time.
inline constexpr int32_t NoMinMapTime = 3333333;
inline constexpr int32_t NoMaxMapTime = -1;

// The map kinds, as numbered in the Display menus.
enum MapKinds : int {
    TimeMapKind = 0,
    CountMapKind = 1,
    ElectrodeMapKind = 2,
    IntervalMapKind = 3,
    AmplitudeMapKind = 4,
    SlopeMapKind = 5,
    VelocityMapKind = 6,
    MarkNrMapKind = 7,
};

// One cell. The double fields hold Missing as -12345.0.
struct MapCell {
    int32_t Time = Missing;          // activation time, ms relative to RefTime
    double Velocity = Missing;       // conduction velocity, cm/s
    uint8_t Expanded = 0;            // 1 when map expansion filled the value
    double Amplitude = Missing;      // mV
    double Slope = Missing;
    int32_t MarkNr = Missing;        // mark number of the mark that set Time
    int32_t Interval = Missing;      // ms to the next mark
    int32_t Count = 0;               // marks in the window (count map)
    int32_t Electrode = Missing;     // electrode number (electrode map)
};

// A grid of values indexed [column 1..100][row 1..100], allocated once.
template <typename T>
class MapGrid {
public:
    explicit MapGrid(const T& fill = T{}) : data_(static_cast<size_t>(MapGridSize + 1) * (MapGridSize + 1), fill) {}
    T& at(int column, int row) { return data_[index(column, row)]; }
    const T& at(int column, int row) const { return data_[index(column, row)]; }
    void fill(const T& v) { data_.assign(data_.size(), v); }

private:
    static size_t index(int column, int row) {
        return static_cast<size_t>(column) * (MapGridSize + 1) + static_cast<size_t>(row);
    }
    std::vector<T> data_;
};

using MapBuffer = MapGrid<MapCell>;

// The conduction velocity of the block of cells whose first cell is this
// one, and the arrow that shows it.
struct VelocityRec {
    double Speed = Missing;  // cm/s
    double Angle = 0.0;      // degrees counter-clockwise from the right, 0..360
    int32_t X1 = 0, Y1 = 0;  // arrow start (pixels)
    int32_t X2 = 0, Y2 = 0;  // arrow tip
    int32_t HeadX1 = 0, HeadY1 = 0, HeadX2 = 0, HeadY2 = 0;
};

// Working space of the map code, allocated once with the session so that
// a redraw allocates nothing.
struct MapScratch {
    // A taken mark that was earlier than every taken mark of its electrode
    // before it in the table (the only marks that can set a cell).
    struct Record {
        int32_t time;      // relative to RefTime
        int32_t markNr;
        int32_t next;      // next record of the same electrode, or -1
    };
    // One square of four neighbouring cells of the isochrone scan.
    struct Square {
        int32_t low, high;  // smallest and largest corner time
        bool valid;         // all four corners hold a time inside the window
    };
    std::vector<Record> records;
    std::vector<Square> squares;
    MapGrid<uint8_t> occupied;  // grid positions that hold a placed electrode

    MapScratch() {
        records.reserve(MaxMarks + 1);
        squares.reserve(static_cast<size_t>(MapGridSize) * MapGridSize);
    }
};

}  // namespace vk
