// The mark record and the fixed-size stores that hold marks in memory.
#pragma once

#include <array>
#include <cstdint>

#include "session/Numbers.h"

namespace vk {

inline constexpr int MaxMarks = 32767;     // slots 1..32767; slot 0 is never used
inline constexpr int UndoCapacity = 100;
inline constexpr int MarkRecordDiskSize = 16;
inline constexpr int MarkHeaderSize = 4096;

// Mark types.
inline constexpr int SlowWave = 1;
inline constexpr int Spike = 2;
inline constexpr int Type3 = 3;
inline constexpr int Reference = -1;
// A deleted slot holds the low 16 bits of Missing as its type.
inline constexpr int16_t DeletedType = static_cast<int16_t>(-12345);

// Origins.
inline constexpr int ManualOrigin = 1;
inline constexpr int AutomaticOrigin = 2;

// One mark, 32 bytes in memory; the first 16 bytes are the record of the
// mark file, the rest is session state.
struct MarkRecord {
    uint16_t Electrode = 0;
    int16_t MarkType = 0;
    int32_t Time = 0;
    int16_t Aux1 = 0;
    int16_t Aux2 = 0;
    uint16_t Origin = 0;
    uint16_t MarkNr = 0;
    uint16_t SeqNr = 0;
    uint16_t unused1 = 0;
    uint16_t Visible = 1;
    uint8_t unused2[8] = {};
    uint16_t Connected = 0;
};
static_assert(sizeof(MarkRecord) == 32, "the mark record is 32 bytes");

// One deleted mark, kept so that the D key can be undone.
struct UndoEntry {
    int32_t Electrode = 0;
    int32_t Time = 0;
    int32_t MarkType = 0;
};

// What "Calc Amplitudes + Slopes" measured at the mark of the same slot:
// extremes and steepest downstroke of the signal within half a second of a
// slow wave, and the time since the previous slow wave of its electrode.
struct MeasureRecord {
    int32_t MeasuredElectrode = Missing;  // the slot has no measurement
    int32_t MaxValue = 0;                // signal units
    int32_t MaxSample = 0;               // sample row of MaxValue
    int32_t MinValue = 0;
    int32_t MinSample = 0;
    int32_t SlopeSample = 0;             // row where the steepest downstroke begins
    double Slope = 0.0;                  // mV/s, positive for a falling signal
    int32_t Interval = Missing;          // ms; the interval map rewrites it
};

// One connection between marks of two electrodes: the same wave passed
// both, from Time1 to Time2 (Direction 1) or the other way (-1).
// Electrode1 is 0 in a slot never filled, Missing or -1 once deleted.
inline constexpr int MaxConnections = 3000;
struct Connection {
    int32_t Electrode1 = 0;
    int32_t Time1 = 0;
    int32_t Electrode2 = 0;
    int32_t Time2 = 0;
    int16_t Direction = 0;
    bool operator==(const Connection&) const = default;
};

// One entry of the reference table: a reference mark's electrode and time.
inline constexpr int MaxReferences = 100;  // entries, the no-reference entry 1 included
struct RefEntry {
    int32_t Electrode = 0;
    int32_t Time = 0;
};

}  // namespace vk
