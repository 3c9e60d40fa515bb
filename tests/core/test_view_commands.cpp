// The view commands: their dialogs, bounds, beeps and which panels they redraw.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "shell/Display.h"
#include "session/Errors.h"
#include "session/Format.h"
#include "shell/ViewCommands.h"
#include "waves/WaveDetection.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"

namespace vk {
namespace {

// Counts the redraws of each panel.
class CountingCanvas : public test::RecordingCanvas {
public:
    int draws = 0;
    void beginDraw() override {
        ++draws;
        ops.clear();
    }
};

struct View {
    std::unique_ptr<SessionState> s = std::make_unique<SessionState>();
    test::ScriptedHost host;
    CountingCanvas a, b;
    Ctx ctx{*s, host, RedrawPanels, &a, &b};
    View() {
        s->SignalsLoaded = s->FileLoaded = true;
        s->SignalLength = s->NrOfFrames = 4000;
        s->WindowA = s->WindowB = s->WindowAll = 1000;
        s->Tiled = true;
    }
    void answer(std::initializer_list<const char*> texts) { host.inputs.insert(host.inputs.end(), texts.begin(), texts.end()); }
};

TEST(ViewCommands, BeginAndWindowDialogs) {
    View v;
    v.answer({"-5", "250"});
    BeginTimeCommand(v.ctx, 1, false);
    EXPECT_EQ(v.host.questions[0], "Begin Time Display A|Give new begin time:");
    // Begin time, beeps, and the draws of A and B: the menu item redraws its own panel only.
    EXPECT_EQ(std::tuple(v.s->BeginTimeA, v.host.beeps, v.a.draws, v.b.draws), std::tuple(250, 1, 1, 0));

    v.answer({"600"});
    BeginTimeCommand(v.ctx, 2, true);  // the title-bar button redraws all
    EXPECT_EQ(std::tuple(v.s->BeginTimeB, v.a.draws, v.b.draws), std::tuple(600, 2, 1));

    v.answer({"9", "4001", "2000"});
    WindowCommand(v.ctx, 1, false);
    EXPECT_EQ(std::tuple(v.s->WindowA, v.s->WindowAll, v.host.beeps), std::tuple(2000, 2000, 3));
    v.answer({"3000"});
    WindowCommand(v.ctx, 0, false);
    EXPECT_EQ(std::tuple(v.host.questions.back(), v.s->WindowB), std::tuple("Window Time ALL Displays|Give new window time:", 3000));
    // Cancel keeps the value; text that is not a number stops the command.
    WindowCommand(v.ctx, 2, true);
    v.answer({"12a"});
    EXPECT_THROW(WindowCommand(v.ctx, 2, true), ConversionError);
    EXPECT_EQ(v.s->WindowB, 3000);
}

TEST(ViewCommands, PagingNextPreviousAndStep) {
    View v;
    // 2500 + 1000 < 4000; then at the end begin = length - window; then a beep.
    v.s->BeginTimeA = 2500;
    for (auto [next, begin, beeps] : {std::tuple{true, 3500, 0}, {true, 3000, 0}, {true, 3000, 1}, {false, 2000, 1}}) {
        PageCommand(v.ctx, 1, next);
        EXPECT_EQ(std::tuple(v.s->BeginTimeA, v.host.beeps), std::tuple(begin, beeps)) << begin;
    }
    v.s->BeginTimeA = 300;
    PageCommand(v.ctx, 1, false);
    PageCommand(v.ctx, 1, false);
    EXPECT_EQ(std::tuple(v.s->BeginTimeA, v.host.beeps), std::tuple(0, 2));

    v.s->BeginTimeAll = 3950;
    NextPrevious(v.ctx, true);
    EXPECT_EQ(std::tuple(v.s->BeginTimeAll, v.s->BeginTimeB), std::tuple(3900, 3900));
    v.s->BeginTimeAll = 50;
    NextPrevious(v.ctx, false);
    v.answer({"-1", "0"});
    StepIncrementCommand(v.ctx);
    EXPECT_EQ(std::tuple(v.s->BeginTimeA, v.s->StepIncrement), std::tuple(0, 0));
}

// Typed real numbers follow the system's format: its decimal separator, and
// its thousands separator only between groups of three digits before it.
TEST(ViewCommands, TypedRealsFollowTheSystemsNumberFormat) {
    const NumberFormat dot{'.', ','}, comma{',', '.'}, ungrouped{',', '\0'};
    struct Case {
        const NumberFormat& fmt;
        const char* text;
        double value;
    };
    const Case accepted[] = {
        {dot, "0.5", 0.5},       {dot, " 0.5 ", 0.5},   {dot, "1,234.5", 1234.5},  {dot, "12,345,678", 12345678},
        {dot, "1234.5", 1234.5}, {dot, "-1,000", -1000}, {dot, "+2", 2},            {dot, ".5", 0.5},
        {dot, "5.", 5},          {dot, "1e3", 1000},     {dot, "1,500.25E-2", 15.0025}, {comma, "0,5", 0.5},
        {comma, "1.234,5", 1234.5}, {comma, "12.345.678", 12345678}, {comma, ",5", 0.5}, {comma, "-2,25", -2.25},
        {ungrouped, "1234,5", 1234.5}};
    for (const Case& c : accepted) EXPECT_DOUBLE_EQ(ParseUserReal(c.text, c.fmt), c.value) << c.text;
    struct Rejected {
        const NumberFormat& fmt;
        std::vector<const char*> texts;
    };
    const Rejected rejected[] = {
        {dot, {"0,5",   "1,2,3",   ",5",    "1,23", "1,2345", "1234,567", "1,234,56", "1,",
               "1.2.3", "1.234,5", "1.5,0", "",     "  ",     "abc",      "1.5x",     "--1",
               "e5",    "1e",      "inf",   "nan",  "0x10",   ".",        "-",        "1 000"}},
        {comma, {"0.5", "1.2.3", ".5", "1.23", "1,2,3", "1,234.5"}},
        {ungrouped, {"1.234"}}};
    for (const auto& [fmt, texts] : rejected)
        for (const char* text : texts) {
            try {
                ParseUserReal(text, fmt);
                ADD_FAILURE() << "'" << text << "' with '" << fmt.decimalSeparator << "' was taken as a number";
            } catch (const ConversionError& e) {
                EXPECT_EQ(std::string(e.what()), std::string("'") + text + "' is not a valid floating point value");
            }
        }
    // The amplification entry: a text that is not a number changes nothing.
    View v;
    v.answer({"0,5"});
    EXPECT_THROW(AmplificationCommand(v.ctx), ConversionError);
    const double before = v.s->Amplification;
    v.s->Locale = comma;
    v.answer({"0,5"});
    AmplificationCommand(v.ctx);
    EXPECT_EQ(std::pair(before, v.s->Amplification), std::pair(0.01, 0.5));
}

TEST(ViewCommands, ZoomAmplificationTracesAndChannels) {
    View v;
    v.s->ActiveDisplay = 2;
    v.s->WindowB = 15;
    v.s->CursorTime = 100;
    Zoom(v.ctx, true);
    EXPECT_EQ(std::tuple(v.s->WindowB, v.s->BeginTimeB), std::tuple(10, 95));
    v.s->WindowB = 3000;
    Zoom(v.ctx, false);
    EXPECT_EQ(std::tuple(v.s->WindowB, v.s->BeginTimeB, v.host.beeps), std::tuple(4000, 0, 2));

    v.answer({"0", "0.5"});
    AmplificationCommand(v.ctx);
    EXPECT_EQ(std::tuple(v.s->Amplification, v.host.questions.back()),
              std::tuple(0.5, std::string("Amplification Electrograms |Give new value:")));
    ScaleAmplification(v.ctx, true);
    EXPECT_DOUBLE_EQ(v.s->Amplification, 1.0);

    v.answer({"0", "257", "256"});
    GotoChannelCommand(v.ctx);
    EXPECT_EQ(std::tuple(v.s->FirstChannel, v.host.beeps), std::tuple(256, 2 + 1 + 2));
    v.answer({"0", "300", "12"});
    NumberOfTracesCommand(v.ctx);
    EXPECT_EQ(v.s->NrTraces, 12);
}

TEST(ViewCommands, DisplayTypesMarkTypesAndWaves) {
    View v;
    SetDisplayType(v.ctx, 2, 0);
    EXPECT_EQ(std::tuple(v.s->DisplayTypeB, v.b.draws, v.a.draws), std::tuple(0, 1, 0));
    ChooseMapKind(v.ctx, 1, 0);
    ChooseMapKind(v.ctx, 2, 3);
    EXPECT_EQ(std::tuple(v.s->DisplayTypeA, v.s->MapKindB), std::tuple(0, 3));
    ChooseElectrograms(v.ctx, 1);
    ChooseAnalyse(v.ctx);
    EXPECT_EQ(std::tuple(v.s->DisplayTypeA, v.s->AnalyseChecked, v.s->ElgViewMode), std::tuple(1, true, 1));
    SetPanelMarkType(v.ctx, 2, Spike);
    EXPECT_EQ(std::tuple(v.s->CurrentMarkType[1], v.s->CurrentMarkType[2]), std::tuple(SlowWave, Spike));
    SetAllMarkTypes(v.ctx, Type3);
    EXPECT_EQ(v.s->CurrentMarkType, (decltype(v.s->CurrentMarkType){0, Type3, Type3}));
    v.s->WaveCount = 2;
    for (auto [forward, wave] : {std::pair{true, 2}, {true, 2}, {false, 1}, {false, 1}}) {
        StepWave(v.ctx, 1, forward);
        EXPECT_EQ(v.s->WaveNrA, wave);
    }
}

TEST(ViewCommands, SamplingFrequencyAndTiling) {
    View v;
    v.s->NrOfFrames = 60000;
    v.answer({"0", "2000"});
    SamplingFrequencyCommand(v.ctx);
    // 0 would divide by zero: refused with a beep.
    EXPECT_EQ(std::tuple(v.host.beeps, v.s->SignalLength, v.s->HighRateMode, v.s->WindowA),
              std::tuple(1, 30000, true, 30000));
    EXPECT_EQ(SamplingFrequencyCaption(*v.s), "Sampling Frequency (2000 Hz)");
    v.answer({"2000"});  // the same rate again: the length stays
    SamplingFrequencyCommand(v.ctx);
    EXPECT_EQ(v.s->SignalLength, 30000);
    v.s->Tiled = false;
    SetPanelTile(v.ctx);
    EXPECT_EQ(std::tuple(v.s->Tiled, TileItemCaption(*v.s)), std::tuple(true, std::string("Tile off")));
    SetTileType(v.ctx, false);
    EXPECT_EQ(std::tuple(v.s->Tiled, v.s->TileRectangle), std::tuple(true, false));
    SetPanelTile(v.ctx);
    SetTileType(v.ctx, true);  // while untiled: B stays hidden
    EXPECT_FALSE(v.s->Tiled);
}

}  // namespace
}  // namespace vk
