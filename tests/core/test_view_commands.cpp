// The view commands: their dialogs, bounds, beeps and which panels they redraw.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

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
    void answer(std::initializer_list<const char*> texts) {
        for (const char* t : texts) host.inputs.push_back(std::string(t));
    }
};

TEST(ViewCommands, BeginAndWindowDialogs) {
    View v;
    v.answer({"-5", "250"});
    BeginTimeCommand(v.ctx, 1, false);
    EXPECT_EQ(v.s->BeginTimeA, 250);
    EXPECT_EQ(v.host.beeps, 1);
    EXPECT_EQ(v.host.questions[0], "Begin Time Display A|Give new begin time:");
    EXPECT_EQ(v.a.draws, 1);  // the menu item redraws its own panel only
    EXPECT_EQ(v.b.draws, 0);

    v.answer({"600"});
    BeginTimeCommand(v.ctx, 2, true);  // the title-bar button redraws all
    EXPECT_EQ(v.s->BeginTimeB, 600);
    EXPECT_EQ(v.a.draws, 2);
    EXPECT_EQ(v.b.draws, 1);

    v.answer({"9", "4001", "2000"});
    WindowCommand(v.ctx, 1, false);
    EXPECT_EQ(v.s->WindowA, 2000);
    EXPECT_EQ(v.s->WindowAll, 2000);
    EXPECT_EQ(v.host.beeps, 3);
    v.answer({"3000"});
    WindowCommand(v.ctx, 0, false);
    EXPECT_EQ(v.host.questions.back(), "Window Time ALL Displays|Give new window time:");
    EXPECT_EQ(v.s->WindowB, 3000);

    // Cancel keeps the value; text that is not a number stops the command.
    WindowCommand(v.ctx, 2, true);
    EXPECT_EQ(v.s->WindowB, 3000);
    v.answer({"12a"});
    EXPECT_THROW(WindowCommand(v.ctx, 2, true), ConversionError);
    EXPECT_EQ(v.s->WindowB, 3000);
}

TEST(ViewCommands, PagingNextPreviousAndStep) {
    View v;
    v.s->BeginTimeA = 2500;
    PageCommand(v.ctx, 1, true);  // 2500 + 1000 < 4000
    EXPECT_EQ(v.s->BeginTimeA, 3500);
    PageCommand(v.ctx, 1, true);  // at the end: begin = length - window
    EXPECT_EQ(v.s->BeginTimeA, 3000);
    EXPECT_EQ(v.host.beeps, 0);
    PageCommand(v.ctx, 1, true);
    EXPECT_EQ(v.host.beeps, 1);
    v.s->BeginTimeA = 300;
    PageCommand(v.ctx, 1, false);
    EXPECT_EQ(v.s->BeginTimeA, 0);
    PageCommand(v.ctx, 1, false);
    EXPECT_EQ(v.host.beeps, 2);

    v.s->BeginTimeAll = 3950;
    NextPrevious(v.ctx, true);
    EXPECT_EQ(v.s->BeginTimeAll, 3900);
    EXPECT_EQ(v.s->BeginTimeB, 3900);
    v.s->BeginTimeAll = 50;
    NextPrevious(v.ctx, false);
    EXPECT_EQ(v.s->BeginTimeA, 0);
    v.answer({"-1", "0"});
    StepIncrementCommand(v.ctx);
    EXPECT_EQ(v.s->StepIncrement, 0);
}

// Typed real numbers follow the system's format: its decimal separator, and
// its thousands separator only between groups of three digits before it.
TEST(ViewCommands, TypedRealsFollowTheSystemsNumberFormat) {
    const NumberFormat dot{'.', ','}, comma{',', '.'}, ungrouped{',', '\0'};
    struct Case {
        const NumberFormat& fmt;
        const char* text;
        std::optional<double> value;  // none: not a number
    };
    const Case cases[] = {
        {dot, "0.5", 0.5},         {dot, " 0.5 ", 0.5},      {dot, "1,234.5", 1234.5},
        {dot, "12,345,678", 12345678}, {dot, "1234.5", 1234.5}, {dot, "-1,000", -1000},
        {dot, "+2", 2},            {dot, ".5", 0.5},         {dot, "5.", 5},
        {dot, "1e3", 1000},        {dot, "1,500.25E-2", 15.0025},
        {dot, "0,5", {}},          {dot, "1,2,3", {}},       {dot, ",5", {}},
        {dot, "1,23", {}},         {dot, "1,2345", {}},      {dot, "1234,567", {}},
        {dot, "1,234,56", {}},     {dot, "1,", {}},          {dot, "1.2.3", {}},
        {dot, "1.234,5", {}},      {dot, "1.5,0", {}},       {dot, "", {}},
        {dot, "  ", {}},           {dot, "abc", {}},         {dot, "1.5x", {}},
        {dot, "--1", {}},          {dot, "e5", {}},          {dot, "1e", {}},
        {dot, "inf", {}},          {dot, "nan", {}},         {dot, "0x10", {}},
        {dot, ".", {}},            {dot, "-", {}},           {dot, "1 000", {}},
        {comma, "0,5", 0.5},       {comma, "1.234,5", 1234.5}, {comma, "12.345.678", 12345678},
        {comma, ",5", 0.5},        {comma, "-2,25", -2.25},
        {comma, "0.5", {}},        {comma, "1.2.3", {}},     {comma, ".5", {}},
        {comma, "1.23", {}},       {comma, "1,2,3", {}},     {comma, "1,234.5", {}},
        {ungrouped, "1234,5", 1234.5}, {ungrouped, "1.234", {}},
    };
    for (const Case& c : cases) {
        const std::string where = std::string("'") + c.text + "' with '" + c.fmt.decimalSeparator + "'";
        if (c.value) {
            EXPECT_DOUBLE_EQ(ParseUserReal(c.text, c.fmt), *c.value) << where;
        } else {
            try {
                ParseUserReal(c.text, c.fmt);
                ADD_FAILURE() << where << " was taken as a number";
            } catch (const ConversionError& e) {
                EXPECT_EQ(std::string(e.what()), std::string("'") + c.text + "' is not a valid floating point value");
            }
        }
    }
    // The amplification entry: a text that is not a number changes nothing.
    View v;
    v.answer({"0,5"});
    EXPECT_THROW(AmplificationCommand(v.ctx), ConversionError);
    EXPECT_DOUBLE_EQ(v.s->Amplification, 0.01);
    v.s->Locale = comma;
    v.answer({"0,5"});
    AmplificationCommand(v.ctx);
    EXPECT_DOUBLE_EQ(v.s->Amplification, 0.5);
}

TEST(ViewCommands, ZoomAmplificationTracesAndChannels) {
    View v;
    v.s->ActiveDisplay = 2;
    v.s->WindowB = 15;
    v.s->CursorTime = 100;
    Zoom(v.ctx, true);
    EXPECT_EQ(v.s->WindowB, 10);
    EXPECT_EQ(v.s->BeginTimeB, 95);
    v.s->WindowB = 3000;
    Zoom(v.ctx, false);
    EXPECT_EQ(v.s->WindowB, 4000);
    EXPECT_EQ(v.s->BeginTimeB, 0);
    EXPECT_EQ(v.host.beeps, 2);

    v.answer({"0", "0.5"});
    AmplificationCommand(v.ctx);
    EXPECT_DOUBLE_EQ(v.s->Amplification, 0.5);
    EXPECT_EQ(v.host.questions.back(), "Amplification Electrograms |Give new value:");
    ScaleAmplification(v.ctx, true);
    EXPECT_DOUBLE_EQ(v.s->Amplification, 1.0);

    v.answer({"0", "257", "256"});
    GotoChannelCommand(v.ctx);
    EXPECT_EQ(v.s->FirstChannel, 256);
    EXPECT_EQ(v.host.beeps, 2 + 1 + 2);
    v.answer({"0", "300", "12"});
    NumberOfTracesCommand(v.ctx);
    EXPECT_EQ(v.s->NrTraces, 12);
}

TEST(ViewCommands, DisplayTypesMarkTypesAndWaves) {
    View v;
    SetDisplayType(v.ctx, 2, 0);
    EXPECT_EQ(v.s->DisplayTypeB, 0);
    EXPECT_EQ(v.b.draws, 1);
    EXPECT_EQ(v.a.draws, 0);
    ChooseMapKind(v.ctx, 1, 0);
    EXPECT_EQ(v.s->DisplayTypeA, 0);
    ChooseMapKind(v.ctx, 2, 3);
    EXPECT_EQ(v.s->MapKindB, 3);
    ChooseElectrograms(v.ctx, 1);
    EXPECT_EQ(v.s->DisplayTypeA, 1);
    ChooseAnalyse(v.ctx);
    EXPECT_TRUE(v.s->AnalyseChecked);
    EXPECT_EQ(v.s->ElgViewMode, 1);
    SetPanelMarkType(v.ctx, 2, Spike);
    EXPECT_EQ(v.s->CurrentMarkType[2], Spike);
    EXPECT_EQ(v.s->CurrentMarkType[1], SlowWave);
    SetAllMarkTypes(v.ctx, Type3);
    EXPECT_EQ(v.s->CurrentMarkType[1], Type3);
    v.s->WaveCount = 2;
    StepWave(v.ctx, 1, true);
    StepWave(v.ctx, 1, true);
    EXPECT_EQ(v.s->WaveNrA, 2);
    StepWave(v.ctx, 1, false);
    StepWave(v.ctx, 1, false);
    EXPECT_EQ(v.s->WaveNrA, 1);
}

TEST(ViewCommands, SamplingFrequencyAndTiling) {
    View v;
    v.s->NrOfFrames = 60000;
    v.answer({"0", "2000"});
    SamplingFrequencyCommand(v.ctx);
    EXPECT_EQ(v.host.beeps, 1);  // 0 would divide by zero: refused
    EXPECT_EQ(v.s->SignalLength, 30000);
    EXPECT_TRUE(v.s->HighRateMode);
    EXPECT_EQ(v.s->WindowA, 30000);
    EXPECT_EQ(SamplingFrequencyCaption(*v.s), "Sampling Frequency (2000 Hz)");
    v.answer({"2000"});
    SamplingFrequencyCommand(v.ctx);
    EXPECT_EQ(v.s->SignalLength, 30000);

    v.s->Tiled = false;
    SetPanelTile(v.ctx);
    EXPECT_TRUE(v.s->Tiled);
    EXPECT_EQ(TileItemCaption(*v.s), "Tile off");
    SetTileType(v.ctx, false);
    EXPECT_TRUE(v.s->Tiled);
    EXPECT_FALSE(v.s->TileRectangle);
    SetPanelTile(v.ctx);
    SetTileType(v.ctx, true);  // while untiled: B stays hidden
    EXPECT_FALSE(v.s->Tiled);
}

}  // namespace
}  // namespace vk
