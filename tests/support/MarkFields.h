// The seven fields a mark record keeps on disk, to compare records whole.
#pragma once

#include <tuple>

#include "session/MarkRecord.h"

namespace vk::test {

inline auto fields(const MarkRecord& m) {
    return std::tuple(m.Electrode, m.MarkType, m.Time, m.Aux1, m.Aux2, m.Origin, m.MarkNr);
}

}  // namespace vk::test
