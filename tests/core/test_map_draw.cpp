// The map panel through the recording canvas: colour bands, digits, grid,
// crossed cells, trace outlines, isochrones; the Map menu commands, the
// mouse and the keys over a map, and the live caption.
#include <gtest/gtest.h>

#include <algorithm>

#include "maps/MapBuffer.h"
#include "maps/MapCommands.h"
#include "maps/MapDraw.h"
#include "marks/Measures.h"
#include "shell/Commands.h"
#include "shell/Display.h"
#include "support/GridSession.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"

namespace vk {
namespace {

using test::addMark;

// The Visible flags of the marks in slot order, as digits.
std::string visible(const SessionState& s) {
    std::string v;
    for (int i = 1; i <= s.MarkCount; ++i) v += std::to_string(s.MarkTable[static_cast<size_t>(i)].Visible);
    return v;
}

struct MapPanel {
    std::unique_ptr<SessionState> s;
    test::ScriptedHost host;
    test::RecordingCanvas a, b;
    Ctx ctx;

    MapPanel(int columns, int rows, int width, int height)
        : s(test::gridSession(columns, rows)), a(width, height), b(width, height), ctx{*s, host, RedrawPanels, &a, &b} {
        s->FileLoaded = s->SignalsLoaded = true;
        s->DisplayTypeA = 0;
        s->BeginTimeA = 0;
        s->WindowA = 10000;
    }
    const std::vector<std::string>& draw() {
        UpdateDisplayA(ctx);
        return a.ops;
    }
    static std::vector<std::string> lines(const std::vector<std::string>& ops) {
        std::vector<std::string> out;
        std::copy_if(ops.begin(), ops.end(), std::back_inserter(out), [](const std::string& o) { return o.rfind("line", 0) == 0; });
        return out;
    }
};

TEST(MapColours, BandsFromTheEarliestTimeRepeatingAfterTen) {
    auto s = test::gridSession(1, 1);
    s->EarliestTime = 1234;
    s->IsochroneWidth = 500;
    // Time maps count from the base 1000, the value kinds have none.
    const std::tuple<int, int64_t, int> bands[] = {
        {TimeMapKind, 1234, 1},   {TimeMapKind, 1500, 2},     {TimeMapKind, 5999, 10},
        {TimeMapKind, 6000, 1},   {TimeMapKind, 27100, 3},    {IntervalMapKind, 700, 2},
        {IntervalMapKind, -1, 1}, {IntervalMapKind, -500, 0}, {IntervalMapKind, -1000, -1},
        {CountMapKind, 3, 1},     {AmplitudeMapKind, 2, 1},   {SlopeMapKind, -501, 0}};
    for (auto [kind, value, band] : bands) {
        s->MapKind = kind;
        EXPECT_EQ(ValueToBand(*s, value), band) << kind << " " << value;
    }
    const std::pair<int, unsigned> colours[] = {{-1, 0x00808080u}, {0, 0x00000000u},  {1, 0x000000FFu},
                                                {10, 0x001E3BFFu}, {12, 0x0048003Fu}, {13, 0x00808080u}};
    for (auto [band, colour] : colours) EXPECT_EQ(BandColour(band), colour) << band;
}

TEST(MapDigits, TimeFormatsAreExactOnTheMilliseconds) {
    // 1225 halves up whatever the binary form of 1.225; 123456789 keeps 7 significant digits.
    const std::tuple<int, int, char, const char*> cases[] = {{1234, 2, '.', "1.23"}, {1225, 2, '.', "1.23"},
                                                             {1234, 1, '.', "1.234"}, {2500, 4, '.', "3"},
                                                             {45, 2, ',', "0,05"},    {123456789, 1, '.', "123456.800"},
                                                             {1234, 7, '.', "1234"}};
    for (auto [ms, format, point, text] : cases) EXPECT_EQ(TimeDigits(ms, format, point), text) << ms << " " << format;
    // Real values: the digit format's decimals; none rounds halves to even.
    auto s = test::gridSession(1, 1);
    EXPECT_EQ(std::tuple(CellValueText(*s, 3, 3.14159, true), CellValueText(*s, 2, 2.5, true)), std::tuple("3.14", "2.50"));
    s->Prefs.ValueDigitFormat = 0;
    EXPECT_EQ(CellValueText(*s, 2, 2.5, true), "2");
}

TEST(MapDisplay, CellsGridCrossesAndTheSwitchesOfTheMapMenu) {
    MapPanel p(8, 4, 300, 200);  // cells of 36 pixels
    addMark(*p.s, 1, 1234);
    addMark(*p.s, 32, 1600);      // column 8, row 4: band 2
    p.s->MapBuf.at(2, 1).Time = Excluded;
    auto ops = p.draw();
    // Cell 1 red with its digits centred (text 28 x 14 pixels); cell 32 in band 2; the grid
    // outlines every placed electrode; the crossed cell is crossed.
    EXPECT_EQ(test::notDrawn(ops, {"rect 0 0 300 200", "rect 10 10 46 46", "text 14 21 1234", "brush 4491519",
                                   "rect 262 118 298 154", "rect 262 118 299 155", "line 46 10 83 47", "line 83 10 46 47"}),
              test::Ops{});
    const auto red = std::find(ops.begin(), ops.end(), "rect 10 10 46 46");
    EXPECT_EQ(std::vector<std::string>(red - 2, red), (std::vector<std::string>{"brush 255", "pen 255"}));
    EXPECT_EQ(p.s->MapBuf.at(2, 1).Time, Excluded);

    for (auto [option, caption] : {std::pair{MapOption::Colors, "show map colors"},
                                   {MapOption::Digits, "show map digits"}, {MapOption::Grid, "show Grid"}}) {
        ToggleMapOption(p.ctx, option);
        EXPECT_EQ(MapOptionCaption(*p.s, option), caption);
    }
    EXPECT_EQ(test::drawn(p.a.ops, {"rect 10 10 46 46", "text 14 21 1234", "rect 262 118 299 155"}), test::Ops{});
    EXPECT_EQ(test::notDrawn(p.a.ops, {"line 46 10 83 47"}), test::Ops{});

    // Beside electrograms the cells of the traces are outlined.
    p.s->Tiled = true;
    p.s->DisplayTypeB = p.s->FirstChannel = 1;
    p.s->TraceOrder = 0;
    p.s->NrTraces = 2;
    ops = p.draw();
    const auto wide = std::find(ops.begin(), ops.end(), "width 2");
    ASSERT_NE(wide, ops.end());
    EXPECT_EQ(std::vector<std::string>(wide + 1, wide + 4),
              (std::vector<std::string>{"rect 10 10 47 47", "rect 46 10 83 47", "width 1"}));
    p.s->DisplayTypeB = 0;  // two maps: no outlines
    EXPECT_EQ(test::drawn(p.draw(), {"width 2"}), test::Ops{});
}

TEST(MapDisplay, MarkNumberAndRealKindsShowTheirOwnDigits) {
    MapPanel p(2, 1, 90, 90);  // cells of 39 pixels from (10, 10)
    p.s->MapKindA = MarkNrMapKind;
    addMark(*p.s, 1, 1234, SlowWave, 7);
    addMark(*p.s, 2, 1300, SlowWave, 0);  // no number: the time
    auto ops = p.draw();
    EXPECT_EQ(test::notDrawn(ops, {"text 26 22 7", "text 54 22 1300"}), test::Ops{});
    // Amplitudes (here kept by expansion) without a digit format: rounded,
    // halves to the even neighbour.
    p.s->MapKindA = AmplitudeMapKind;
    p.s->Prefs.ValueDigitFormat = 0;
    for (const auto& [column, amplitude] : {std::pair{1, 2.5}, {2, 3.5}}) {
        p.s->MapBuf.at(column, 1).Expanded = 1;
        p.s->MapBuf.at(column, 1).Amplitude = amplitude;
    }
    EXPECT_EQ(test::notDrawn(p.draw(), {"text 26 22 2", "text 65 22 4"}), test::Ops{});
}

TEST(MapDisplay, ValueDigitFormatsOfTheAmplitudeSlopeAndVelocityKinds) {
    MapPanel p(3, 1, 131, 60);
    SessionState& s = *p.s;
    s.SignalLength = s.NrOfFrames = 4000;
    s.Signals.at(1000, 1) = 1000;  // 1000 / 747 mV high; a fall of 1000 over 24 samples
    addMark(s, 1, 1000);
    MeasureAllMarks(s);
    s.VelocityBuf.at(2, 1).Speed = 12.6789;
    auto texts = [&] {
        std::vector<std::string> out;
        for (const std::string& op : p.draw())
            if (op.rfind("text ", 0) == 0) out.push_back(op.substr(op.find(' ', op.find(' ', 5) + 1) + 1));
        return out;
    };
    const std::tuple<int, int, const char*> cases[] = {
        {AmplitudeMapKind, 1, "1.339"}, {AmplitudeMapKind, 3, "1.3"}, {AmplitudeMapKind, 4, "1"},
        {SlopeMapKind, 1, "53.548"},    {SlopeMapKind, 3, "53.5"},    {SlopeMapKind, 4, "54"},
        {VelocityMapKind, 1, "12.679"}, {VelocityMapKind, 3, "12.7"}, {VelocityMapKind, 4, "13"}};
    for (auto [kind, format, text] : cases) {
        std::tie(s.MapKindA, s.Prefs.ValueDigitFormat) = std::tuple(kind, format);
        EXPECT_EQ(texts(), std::vector<std::string>{text}) << kind << " " << format;
    }
}

TEST(MapIsochrones, LinesBetweenCellCentres) {
    MapPanel p(2, 2, 90, 90);  // cells of 40 pixels; centres x 29, 69 and y 30, 70
    SizeMapCells(*p.s, 90, 90);
    p.s->MapBegin = 0;
    p.s->MapWindow = 2000;
    auto isochrones = [&](int c1, int c2, int c3, int c4) {
        p.s->MapBuf.at(1, 1).Time = c1;
        p.s->MapBuf.at(2, 1).Time = c2;
        p.s->MapBuf.at(2, 2).Time = c3;
        p.s->MapBuf.at(1, 2).Time = c4;
        p.a.beginDraw();
        DrawIsochrones(p.ctx, 0);
        return MapPanel::lines(p.a.ops);
    };
    // Crossed on edges 1 and 3: one segment through the middle.
    EXPECT_EQ(isochrones(400, 600, 600, 400), std::vector<std::string>{"line 49 30 49 70"});
    // Crossed on all four edges: three segments.
    EXPECT_EQ(isochrones(400, 600, 400, 600),
              (std::vector<std::string>{"line 49 30 69 50", "line 69 50 49 70", "line 49 70 29 50"}));
    // Crossing points are rounded, halves to the even neighbour, on every
    // edge: 4000 / 270 = 14.8 gives 15, 12000 / 320 = 37.5 gives 38, 800 / 320 = 2.5 gives 2.
    EXPECT_EQ(isochrones(400, 670, 670, 400), std::vector<std::string>{"line 44 30 44 70"});
    EXPECT_EQ(isochrones(670, 400, 400, 670), std::vector<std::string>{"line 54 30 54 70"});
    EXPECT_EQ(isochrones(200, 200, 520, 520), std::vector<std::string>{"line 69 68 29 68"});
    EXPECT_EQ(isochrones(720, 720, 400, 400), std::vector<std::string>{"line 69 58 29 58"});
    // A level at the highest corner still crosses the square.
    EXPECT_EQ(isochrones(400, 500, 500, 400), std::vector<std::string>{"line 69 30 69 70"});
    // Levels 500 and 1000 over one square, in that order.
    EXPECT_EQ(isochrones(400, 1100, 1100, 400), (std::vector<std::string>{"line 35 30 35 70", "line 63 30 63 70"}));
    // A corner without a time, or outside the panel's window, leaves the square out.
    EXPECT_EQ(isochrones(400, Missing, 600, 400).size() + isochrones(Missing, Missing, Missing, Missing).size(), 0u);
    p.s->MapWindow = 550;
    EXPECT_EQ(isochrones(400, 600, 600, 400).size(), 0u);

    // Through the whole draw, with a reference time: the cells are relative
    // to it, the window is not, and the lines are still drawn.
    MapPanel q(2, 2, 91, 91);  // the same cells, with room for the grid's last line
    q.s->PlotIsochrones = true;
    q.s->RefTime = 1000;
    q.s->BeginTimeA = 1000;
    q.s->WindowA = 1000;
    for (int e = 1; e <= 4; ++e) addMark(*q.s, e, e % 2 ? 1400 : 1600);
    EXPECT_EQ(test::notDrawn(q.draw(), {"line 49 30 49 70"}), test::Ops{});
    // No valued cell: nothing.
    q.s->BeginTimeA = 5000;
    EXPECT_TRUE(MapPanel::lines(q.draw()).empty());
}

TEST(MapCommands, IsochroneWidthAndReferenceTimeQuestions) {
    MapPanel p(2, 2, 90, 90);
    p.host.inputs = {std::string("0"), std::string("-5"), std::string("250")};
    EXPECT_TRUE(runCommand(p.ctx, [&] { ChangeIsochrones1Click(p.ctx); }));
    EXPECT_EQ(std::tuple(p.s->IsochroneWidth, p.host.beeps), std::tuple(250, 2));
    EXPECT_EQ(std::tuple(p.host.messages, p.host.questions.front()),
              std::tuple(std::vector<std::string>(2, "The isochrone width must be at least 1 msec !"), "Change isochones|Give new isochrone value:"));
    p.host.inputs = {std::string("12a")};
    EXPECT_FALSE(runCommand(p.ctx, [&] { ChangeIsochrones1Click(p.ctx); }));
    EXPECT_EQ(std::tuple(p.s->IsochroneWidth, p.host.errors.size()), std::tuple(250, size_t{1}));

    p.host.questions.clear();
    p.host.inputs = {std::string("-1"), std::string("300")};
    const int redraws = p.host.redraws;
    EXPECT_TRUE(runCommand(p.ctx, [&] { ReferenceTime1Click(p.ctx); }));
    EXPECT_EQ(std::tuple(p.s->RefTime, p.host.beeps, p.host.redraws, p.host.questions.front()),
              std::tuple(300, 3, redraws + 1, "Change RefTime|Give new RefTime:"));

    const std::string arrows = MapOptionCaption(*p.s, MapOption::Arrows);
    for (MapOption o : {MapOption::Isochrones, MapOption::SWsAndSpikes, MapOption::Arrows}) ToggleMapOption(p.ctx, o);
    EXPECT_EQ(std::tuple(p.s->PlotIsochrones, MapOptionCaption(*p.s, MapOption::Isochrones), UpdateChecks(*p.s).swsAndSpikes,
                         arrows, MapOptionCaption(*p.s, MapOption::Arrows)),
              std::tuple(true, "hide Isochrones", true, "plot Arrows", "hide Arrows"));
}

TEST(MapMouse, CaptionKeysAndClicksOverTheCells) {
    MapPanel p(2, 1, 91, 91);  // cell 1 at x 10..49, cell 2 at 50..89, the grid to 90
    addMark(*p.s, 2, 500);
    addMark(*p.s, 2, 500, Spike);
    addMark(*p.s, 2, 800);
    p.draw();
    MouseMoved(*p.s, 1, 69, 30);
    EXPECT_EQ(p.s->CaptionA, "Slow Wave (0-10000) 2x1 (Cell = 2) ( t = 500)");
    MouseMoved(*p.s, 1, 20, 30);
    EXPECT_EQ(p.s->CaptionA, "Slow Wave (0-10000) 1x1 (Cell = 1) ( t =  )");

    // H hides both marks at the cell's time; the cell then shows the next one.
    MouseMoved(*p.s, 1, 69, 30);
    MapKey(p.ctx, 1, 'h');
    EXPECT_EQ(std::tuple(p.host.beeps, visible(*p.s), UpdateChecks(*p.s).unhideEnabled, p.s->CaptionA),
              std::tuple(1, "001", true, "Slow Wave (0-10000) 2x1 (Cell = 2) ( t = 800)"));
    MapKey(p.ctx, 1, 'U');
    EXPECT_EQ(std::tuple(p.host.beeps, visible(*p.s), p.s->CaptionA), std::tuple(2, "111", "Slow Wave (0-10000) 2x1 (Cell = 2) ( t = 500)"));
    MapKey(p.ctx, 1, 'x');
    EXPECT_EQ(p.host.beeps, 2);

    // Two maps side by side: each caption, and H, follow the panel's own map.
    p.s->Tiled = true;
    p.s->DisplayTypeB = 0;
    std::tie(p.s->BeginTimeB, p.s->WindowB) = std::tuple(700, 1000);
    UpdateDisplay(p.ctx);
    MouseMoved(*p.s, 1, 69, 30);
    EXPECT_EQ(p.s->CaptionA, "Slow Wave (0-10000) 2x1 (Cell = 2) ( t = 500)");
    MouseMoved(*p.s, 2, 69, 30);
    EXPECT_EQ(p.s->CaptionB, "Slow Wave (700-1700) 2x1 (Cell = 2) ( t = 800)");
    MouseMoved(*p.s, 1, 69, 30);
    MapKey(p.ctx, 1, 'H');
    EXPECT_EQ(visible(*p.s), "001");
    UnhideAll(*p.s);

    // A click makes the cell's electrode the first trace; in free order it
    // goes into the list and out again.
    p.s->Tiled = false;
    MapClick(p.ctx, 1, 69, 30);
    EXPECT_EQ(std::tuple(p.s->FirstChannel, p.s->StartCol, p.s->StartRow), std::tuple(2, 2, 1));
    p.s->TraceOrder = 3;
    MapClick(p.ctx, 1, 69, 30);
    EXPECT_EQ(std::tuple(p.s->FreeTraceCount, p.s->FreeTraceList[1]), std::tuple(1, 2));
    MapClick(p.ctx, 1, 69, 30);
    MapClick(p.ctx, 1, 5, 30);  // left of the map: nothing
    EXPECT_EQ(p.s->FreeTraceCount, 0);

    // A double click crosses the cell on the panel clicked.
    FocusDisplayA(*p.s);
    p.b.ops.clear();
    MapDoubleClick(p.ctx, 2, 69, 30);
    EXPECT_EQ(MapPanel::lines(p.b.ops), (std::vector<std::string>{"line 50 10 91 51", "line 91 10 50 51"}));
    EXPECT_EQ(std::tuple(p.s->DrawOnA, p.s->DrawOnB), std::tuple(true, false));
}

TEST(MapMouse, ACellFilledByKeyEIsDrawnInItsColourAtOnce) {
    MapPanel p(3, 1, 131, 60);  // cells of 40 pixels: cell 2 at x 50..89
    addMark(*p.s, 1, 100);
    addMark(*p.s, 3, 1900);
    p.s->Prefs.ExpandNeighbours = 2;
    p.draw();
    MouseMoved(*p.s, 1, 69, 30);
    MapKey(p.ctx, 1, 'E');
    const auto& ops = p.a.ops;
    const auto cell = std::find(ops.begin(), ops.end(), "rect 50 10 90 50");
    ASSERT_NE(cell, ops.end());
    EXPECT_EQ(std::vector<std::string>(cell - 2, cell), (std::vector<std::string>{"brush 65535", "pen 65535"}));
}

TEST(MapDigits, ShrinkUntilTheyFitANarrowCell) {
    MapPanel p(2, 1, 71, 200);  // cells of 30 pixels: 28 for the digits
    p.s->WindowA = 30000;
    addMark(*p.s, 1, 23039);  // 35 pixels at 14, 27 at 11
    addMark(*p.s, 2, 1234);   // 28 pixels: fits as it is
    const auto& ops = p.draw();
    const auto text = std::find(ops.begin(), ops.end(), "text 12 18 23039");
    ASSERT_NE(text, ops.end());
    EXPECT_EQ(std::vector<std::string>(text - 3, text + 2),
              (std::vector<std::string>{"font 13", "font 12", "font 11", "text 12 18 23039", "font 14"}));
    EXPECT_EQ(std::tuple(test::notDrawn(ops, {"text 41 18 1234"}), std::count_if(ops.begin(), ops.end(), [](const std::string& o) { return o.rfind("font", 0) == 0; })),
              std::tuple(test::Ops{}, 4));
}

TEST(MapDisplay, TheGridsClosingLinesStayOnThePanel) {
    // 2 x 2 cells on 210 x 210 pixels: the last grid line at most at 208
    // for the map (10-pixel margins) and the wave map (no top margin).
    MapPanel p(2, 2, 210, 210);
    auto ops = p.draw();
    EXPECT_EQ(std::tuple(p.s->CellWidth, test::notDrawn(ops, {"rect 109 109 209 209"})), std::tuple(99, test::Ops{}));
    p.s->DisplayTypeA = p.s->WaveMode = 2;
    ops = p.draw();
    EXPECT_EQ(std::tuple(p.s->MapTop, ops.back()), std::tuple(0, std::string("rect 109 99 209 199")));
}

TEST(MapDisplay, TraceTimeLabelsTakeTheColourOfTheMapBeside) {
    MapPanel p(2, 1, 1000, 525);
    SessionState& s = *p.s;
    s.PanelAWidth = 1070;
    s.PanelAHeight = 550;
    s.SignalLength = s.NrOfFrames = 60000;
    s.DisplayTypeA = s.FirstChannel = 1;
    s.TraceOrder = s.DisplayTypeB = s.BeginTimeA = s.BeginTimeB = 0;
    s.NrTraces = 2;
    s.WindowA = 4000;
    s.WindowB = 10000;
    s.Tiled = true;
    addMark(s, 1, 2100);
    addMark(s, 1, 1234);  // the cell's time: earliest, so red
    auto brushBefore = [&](const std::string& label) {
        const auto& ops = p.a.ops;
        const auto text = std::find_if(ops.begin(), ops.end(), [&](const std::string& o) {
            return o.rfind("text ", 0) == 0 && o.size() > label.size() && o.compare(o.size() - label.size() - 1, std::string::npos, " " + label) == 0;
        });
        return text == ops.end() || text == ops.begin() ? std::string() : *(text - 1);
    };
    // Panel A is drawn before panel B: the map is what B is about to show.
    UpdateDisplayA(p.ctx);
    EXPECT_EQ(brushBefore("1234"), "brush 255");
    EXPECT_NE(brushBefore("2100").rfind("brush", 0), 0u);
    s.ShowBackgroundColor = false;
    UpdateDisplayA(p.ctx);
    EXPECT_NE(brushBefore("1234").rfind("brush", 0), 0u);
    // Once panel B shows no map (electrograms, a wave map, or after another
    // recording was opened), the map buffer still holds its cells but the
    // labels stand on the panel's own white.
    s.ShowBackgroundColor = true;
    for (int other : {1, 2}) {
        s.DisplayTypeB = other;
        UpdateDisplayA(p.ctx);
        EXPECT_EQ(s.MapBuf.at(1, 1).Time, 1234);
        EXPECT_NE(brushBefore("1234").rfind("brush", 0), 0u) << other;
    }
    // Every redraw, whatever it shows, sets the white brush before it
    // writes or fills anything.
    for (const auto& [type, view] : {std::pair{1, 0}, {1, 1}, {0, 0}, {2, 0}}) {
        s.DisplayTypeA = type;
        s.ElgViewMode = view;
        UpdateDisplayA(p.ctx);
        const auto& ops = p.a.ops;
        const auto first = std::find_if(ops.begin(), ops.end(), [](const std::string& o) {
            return o.rfind("brush", 0) == 0 || o.rfind("text", 0) == 0 || o.rfind("rect", 0) == 0;
        });
        ASSERT_NE(first, ops.end());
        EXPECT_EQ(*first, "brush " + std::to_string(clWhite)) << type << view;
    }
}

}  // namespace
}  // namespace vk
