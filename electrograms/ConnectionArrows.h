// The connections over the traces: each record that starts on a row is drawn
// as a magenta arrow from its first mark to its second, pointing the way the
// wave went.
#pragma once

#include <vector>

#include "layout/TraceLayout.h"
#include "session/Context.h"

namespace vk {

// Draws the records that start on electrode e of row k as arrows to the row
// of their second electrode; `electrodes` holds the electrode of every row.
void DrawConnectionsOfRow(Ctx& ctx, const TraceGeometry& g, int k, int32_t e, const std::vector<int32_t>& electrodes);

}  // namespace vk
