// The analysis view of panel A: one electrogram with a tick wherever the
// automatic slow-wave marker would place a mark, its marks, its sample
// difference below it and the marker's threshold, so that the user can
// judge the threshold before running the marker on the whole recording.
#pragma once

#include "session/Context.h"

namespace vk {

// Paints the view for BeginTime / WindowTime on the panel(s) named by
// DrawOnA / DrawOnB. The panel gets five rows (NrTraces becomes 5); the
// electrode is that of row 1 in the current trace order. Appends the
// electrode's noise line to the memo, as the marker does.
void PaintAnalysisView(Ctx& ctx);

}  // namespace vk
