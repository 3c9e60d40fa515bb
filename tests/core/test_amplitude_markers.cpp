// The measured extremes of a slow wave drawn on its trace ("show amplitude
// + slope"): where the marker lines go at each sampling rate, the label in
// mV on a clear brush, and the pen left 1 pixel wide for what follows.
#include <gtest/gtest.h>

#include <algorithm>

#include "marks/MarkStore.h"
#include "shell/Display.h"
#include "shell/ViewCommands.h"
#include "support/ElectrogramSession.h"
#include "support/RecordingCanvas.h"

namespace vk {
namespace {

using test::notDrawn;
using test::Ops;

TEST(AmplitudeMarkers, PositionsLabelAndPenAtEachRate) {
    // One trace, row centre y 260, 1000 ms over 1000 pixels from x 30; the
    // maximum 2000 units at 250 ms, the minimum -1000 at 400 ms: 3000 units
    // are 4.02 mV at 747 units per mV.
    // The same pixels at every rate: the measures are sample rows.
    const Ops lines = {"line 270 240 290 240", "line 280 270 440 270", "line 280 240 280 270"};
    const std::string label = "text 260 255 4.02";
    for (const int rate : {1000, 2000, 500}) {
        SCOPED_TRACE(rate);
        test::ElectrogramSession p(60000, 1000, 1, 1);
        SetSamplingFrequency(*p.s, rate);
        p.s->WindowA = 1000;
        p.s->AverageOffsetOn = false;
        p.s->Amplification = 0.01;
        p.s->CurrentElectrode = 1;
        AddMarkRecord(*p.s, 300, SlowWave, 1);  // a manual mark: drawn 2 pixels wide
        MeasureRecord& m = p.s->MarkMeasures[1];
        m = MeasureRecord{1, 2000, 250 * rate / 1000, -1000, 400 * rate / 1000, 0, 0.0, Missing};
        p.s->ShowAmplitudes = true;
        UpdateDisplayA(p.ctx);
        const Ops& ops = p.a.ops;
        EXPECT_EQ(notDrawn(ops, {lines[0], lines[1], lines[2], label}), Ops{});
        // The label with no box behind it, then the pen back to 1 pixel.
        EXPECT_EQ(p.a.clearTexts, std::vector<std::string>{"4.02"});
        const auto at = std::find(ops.begin(), ops.end(), label);
        ASSERT_NE(at, ops.end());
        EXPECT_EQ(std::tuple(*(at + 1), *(at - 4)), std::tuple(std::string("width 1"), "pen " + std::to_string(clBlue)));

        // Without times shown the lines stay and the label goes.
        p.s->ShowElgTimes = false;
        UpdateDisplayA(p.ctx);
        EXPECT_EQ(std::tuple(notDrawn(p.a.ops, {lines[0], lines[1], lines[2]}), p.a.clearTexts.size(), test::drawn(p.a.ops, {label})),
                  std::tuple(Ops{}, 0u, Ops{}));
    }
}

}  // namespace
}  // namespace vk
