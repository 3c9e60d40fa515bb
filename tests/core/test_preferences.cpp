// The preferences: their defaults in dialog order, the round trip through
// the dialog's texts and the stop at a field that cannot be taken.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "shell/Display.h"
#include "shell/Preferences.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"

namespace vk {
namespace {

struct Prefs {
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    test::ScriptedHost host;
    test::RecordingCanvas a, b;
    Ctx ctx{*s, host, RedrawPanels, &a, &b};

    static size_t at(const std::string& control) {
        const auto& f = PreferenceFields();
        return std::find_if(f.begin(), f.end(), [&](const PrefField& p) { return p.control == control; }) - f.begin();
    }
    std::string all() {
        std::string joined;
        const auto texts = PreferenceTexts(*s);
        for (size_t i = 0; i < texts.size(); ++i) joined += std::string(PreferenceFields()[i].control) + "=" + texts[i] + " ";
        return joined;
    }
};

const char* const Defaults =
    "MinDiffValEdit1=-100 WidthEdit1=300 DiffDistEdit1=100 MinDiffValEdit2=-200 WidthEdit2=100 DiffDistEdit2=10 "
    "MinDiffValEdit3=-1 WidthEdit3=300 DiffDistEdit3=50 SearchCriteria1=1 AvoidTwice1=1 DoubleWidth1=5 "
    "PlotOnlyPoints1=0 SmoothElectrograms1=1 IntervalRange1=1 MinIntervalRange1=2000 maxIntervalRange1=6000 "
    "EditDigitType=0 NrExpCyclesEdit=10 NrNeighbours1=3 MaxCondVelCheckBox1=0 MaxCondVelEdit=20 "
    "EditArrowSize=5000 EditIncVel=1 StepTimeEdit=100 begSimEdit=0 SWDurationEdit=2000 EndSimEdit= "
    "CheckLimitIntervals=0 EditMaxIntervalVal=6000 ";

TEST(Preferences, DefaultsAfterInitialisationAndAnUneditedOkChangesNothing) {
    Prefs p;
    p.s->Prefs.MaxVelocity = 99;
    p.s->SmoothOnLoad = false;
    InitSession(*p.s);
    EXPECT_EQ(p.all(), Defaults);
    EXPECT_EQ(std::tuple(ApplyPreferences(p.ctx, PreferenceTexts(*p.s)), p.all(), p.host.redraws, p.host.beeps),
              std::tuple(-1, std::string(Defaults), 1, 0));
}

TEST(Preferences, EveryFieldIsReadBackAndTheReadingStopsAtABadField) {
    Prefs p;
    auto texts = PreferenceTexts(*p.s);
    // Every field takes a new value: integers one more, checks flipped, the other radio item.
    for (size_t i = 0; i < texts.size(); ++i) {
        if (texts[i].empty()) texts[i] = " -12344";  // "EndTime": no value shows as an empty field
        else if (PreferenceFields()[i].kind == PrefKind::Integer) texts[i] = " " + std::to_string(std::stoi(texts[i]) + 1);
        else texts[i] = texts[i] == "1" ? "0" : "1";
    }
    texts[p.at("AvoidTwice1")] = "1";  // keeps the avoidance width read
    ASSERT_EQ(ApplyPreferences(p.ctx, texts), -1);
    for (auto& t : texts) t.erase(0, t.find_first_not_of(' '));
    EXPECT_EQ(PreferenceTexts(*p.s), texts);
    EXPECT_EQ(std::tuple(p.s->PlotOnlyDots, p.s->SmoothOnLoad, p.s->Prefs.SearchWidth[2], p.s->Prefs.AnimEndTime),
              std::tuple(true, false, 101, Missing + 1));

    // A bad integer stops at its field: the fields before it are taken, the
    // ones after it are not, and there is no redraw.
    Prefs q;
    auto bad = PreferenceTexts(*q.s);
    bad[q.at("WidthEdit1")] = "250";
    bad[q.at("WidthEdit2")] = "12a";
    bad[q.at("DiffDistEdit2")] = "11";
    EXPECT_EQ(ApplyPreferences(q.ctx, bad), static_cast<int>(q.at("WidthEdit2")));
    EXPECT_EQ(std::tuple(q.s->Prefs.SearchWidth[1], q.s->Prefs.SearchWidth[2], q.s->Prefs.DiffDist[2], q.host.redraws),
              std::tuple(250, 100, 10, 0));
    EXPECT_EQ(q.host.errors, std::vector<std::string>{"Spikes: Search Width (msec): '12a' is not a valid integer value"});

    // Unchecked, the avoidance width is not read, whatever it holds; 0
    // neighbours is refused with a beep.
    bad = PreferenceTexts(*q.s);
    bad[q.at("AvoidTwice1")] = "0";
    bad[q.at("DoubleWidth1")] = "x";
    bad[q.at("NrNeighbours1")] = "0";
    EXPECT_EQ(ApplyPreferences(q.ctx, bad), static_cast<int>(q.at("NrNeighbours1")));
    EXPECT_EQ(std::tuple(q.s->Prefs.AvoidDoubleMarks, q.s->Prefs.DoubleWidth, q.s->Prefs.ExpandNeighbours, q.host.beeps,
                         q.host.errors.size()),
              std::tuple(false, 5, 3, 1, size_t{1}));
    EXPECT_EQ(q.host.messages, std::vector<std::string>{"Nr of Neighbours required must not be 0 !"});

    // The first field stops the reading as any other; an empty "EndTime"
    // is no value, any other empty field is refused.
    bad = PreferenceTexts(*q.s);
    bad[0] = "";
    bad[q.at("EndSimEdit")] = "100";
    EXPECT_EQ(ApplyPreferences(q.ctx, bad), 0);
    EXPECT_EQ(q.host.errors.back(), "Slow Waves: Minimal Differentiated level: '' is not a valid integer value");
    bad[0] = "-90";
    EXPECT_EQ(ApplyPreferences(q.ctx, bad), -1);
    EXPECT_EQ(std::tuple(q.s->Prefs.MinDiffLevel[1], q.s->Prefs.AnimEndTime), std::tuple(-90, 100));
    bad[q.at("EndSimEdit")] = "  ";
    EXPECT_EQ(ApplyPreferences(q.ctx, bad), -1);
    EXPECT_EQ(q.s->Prefs.AnimEndTime, Missing);
    // Every field a message can name, by its label in the dialog.
    std::string names;
    for (const PrefField& f : PreferenceFields())
        if (f.kind == PrefKind::Integer) names += PreferenceFieldName(f) + "|";
    EXPECT_EQ(names,
              "Slow Waves: Minimal Differentiated level|Slow Waves: Search Width (msec)|Slow Waves: Diff Dist (samples)|"
              "Spikes: Minimal Differentiated level|Spikes: Search Width (msec)|Spikes: Diff Dist (samples)|"
              "Type 3: Minimal Differentiated level|Type 3: Search Width (msec)|Type 3: Diff Dist (samples)|"
              "Avoidance width|Expected Interval Range (from)|Expected Interval Range (to)|Digit Display|"
              "Nr of Expand Cycles|Nr of Neighbours required|Maximum Conduction Velocity allowed (cm/sec)|"
              "Arrow size for plotting|Calc to next electrode|Step Time|BegTime|SW duration|EndTime|"
              "Maximal Interval Value|");
}

}  // namespace
}  // namespace vk
