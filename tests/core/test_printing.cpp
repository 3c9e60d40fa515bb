// The printed page on a recording canvas: layout, bars, status box, maps and
// electrograms at their printer pixels, and the primitives record; what the
// exports and prints may not overwrite; and the rows they read at every rate.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include "electrograms/SpikeStats.h"
#include "exchange/DataExports.h"
#include "exchange/MacExport.h"
#include "exchange/MarkText.h"
#include "printing/PrimitiveLog.h"
#include "printing/PrintPage.h"
#include "printing/PrintPanels.h"
#include "session/Ask.h"
#include "session/ElectrogramWindow.h"
#include "session/Errors.h"
#include "session/RecordingFiles.h"
#include "shell/Display.h"
#include "support/GridSession.h"
#include "support/RateSession.h"
#include "support/RecordingCanvas.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"
#include "waves/WaveformGrid.h"

namespace vk::test {
namespace {

struct PrintSession {
    std::unique_ptr<SessionState> s;
    ScriptedHost host;
    Ctx ctx;
    RecordingCanvas page;
    explicit PrintSession(std::unique_ptr<SessionState> state) : s(std::move(state)), ctx(*s, host, RedrawPanels) {}
    // The ops of a page of w x h printer pixels.
    Ops print(int w, int h, int panels) {
        page = RecordingCanvas(w, h);
        s->PrintPanels = panels;
        PrintPage(ctx, page);
        return page.ops;
    }
};

Ops rect(int x1, int y1, int x2, int y2) {
    auto l = [](int a, int b, int c, int d) {
        return "line " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + " " + std::to_string(d);
    };
    return {l(x1, y1, x2, y1), l(x2, y1, x2, y2), l(x2, y2, x1, y2), l(x1, y2, x1, y1)};
}

bool contains(const Ops& ops, const Ops& run) { return std::search(ops.begin(), ops.end(), run.begin(), run.end()) != ops.end(); }

TEST(PrintLayout, PanelsBarsAndBoxesTopDown) {
    SessionState s;
    struct Case {
        int panels, height;
        bool stats;
        // bar A, panel A top, height, bar B, panel B top, height, statistics top, status top
        std::array<int, 8> want;
    };
    const Case cases[] = {
        {2, 4800, false, {400, 500, 1900, 2400, 2500, 1900, 4400, 4400}},
        {2, 4800, true, {400, 500, 1850, 2350, 2450, 1850, 4300, 4400}},
        {0, 4800, false, {400, 500, 3800, 4300, 4300, 0, 4300, 4300}},
        {1, 4801, false, {400, 400, 0, 400, 500, 3801, 4301, 4301}},
    };
    for (const Case& c : cases) {
        s.PrintPanels = c.panels;
        s.ShowWaveStatistics = c.stats;
        const PrintPageLayout l = CalcPrintPage(s, 7000, c.height);
        EXPECT_EQ((std::array<int, 8>{l.barATop, l.panelATop, l.panelAHeight, l.barBTop, l.panelBTop, l.panelBHeight,
                                      l.statisticsTop, l.statusTop}),
                  c.want)
            << c.panels << " " << c.height;
        EXPECT_EQ(l.contentWidth, 6600);
    }
}

// A 3 x 2 matrix, electrodes 1..6, without an electrode at (2, 2); marks on 1 and 3.
std::unique_ptr<SessionState> mapSession() {
    auto s = gridSession(3, 2);
    s->ElectrodeCol[5] = s->ElectrodeRow[5] = -1;
    s->MatrixGrid[2][2] = -1;
    s->FileName = "/data/rec.E01";
    s->MatrixFileName = "/m/grid.txt";
    s->SignalLength = 9000;
    s->BeginTimeA = 0;
    s->WindowA = 8000;
    s->DisplayTypeA = 0;
    s->CaptionA = "Slow Wave (0-8000) 2x1 (Cell = 2) ( t = 5252)";  // where the mouse last was
    addMark(*s, 1, 120);
    addMark(*s, 3, 1700);
    return s;
}

TEST(PrintPage, MapPanelWithTitleBarCrossDigitsAndStatusBox) {
    PrintSession p(mapSession());
    p.s->PrintCaption = "Title";
    const Ops ops = p.print(6000, 4800, 0);
    // Bar A and its live caption; the cell size is min(5600 / 3, 3600 / 2) = 1800, ticks 360.
    EXPECT_TRUE(contains(ops, rect(200, 400, 5800, 500)));
    EXPECT_EQ(notDrawn(ops, {"text 250 420 Slow Wave (0-8000)", "line 200 500 200 860", "line 2000 4100 2000 3740",
                          "line 5600 2300 5240 2300", "text 1097 4110 1", "text 4697 4110 3", "text 173 1400 1",
                          "text 173 3200 2", "line 2810 3200 2990 3200", "line 2900 3110 2900 3290",
                          "text 1090 1393 120", "text 4686 1393 1700", "text 250 4360 Time Map: rec.E01",
                          "text 250 4440 grid.txt", "text 1000 4440 Begin Time:  0 msec",
                          "text 1000 4520 End   Time:  8000 msec", "text 4000 4520 Amplf:  0.01"}),
              Ops{});
    EXPECT_TRUE(contains(ops, rect(200, 500, 5600, 4100)) && contains(ops, rect(200, 4340, 5800, 4600)));
    EXPECT_EQ(ops.back(), "text 2983 200 Title");  // centred: 200 + 5600 div 2 - 35 div 2
    // Isochrones in width 3, set back to 1: the 500 ms level crosses the
    // square of corners 120, 400, 900, 600 on its second and fourth edge;
    // the square beside it lacks a corner. Digits hidden.
    p.s->PlotIsochrones = true;
    p.s->ShowMapDigits = false;
    p.s->PrintCaption.clear();
    p.s->MatrixGrid[2][2] = 5;
    p.s->ElectrodeCol[5] = p.s->ElectrodeRow[5] = 2;
    addMark(*p.s, 2, 400);
    addMark(*p.s, 4, 600);
    addMark(*p.s, 5, 900);
    auto isochrones = [&] {
        const Ops iso = p.print(6000, 4800, 0);
        const auto from = std::find(iso.begin(), iso.end(), "width 3");
        return from == iso.end() ? Ops{} : Ops(from, from + 3);
    };
    EXPECT_EQ(isochrones(), (Ops{"width 3", "line 2900 1760 1100 2825", "width 1"}));
    EXPECT_EQ(drawn(p.page.ops, {"text 1090 1393 120", "text 4686 1393 1700"}), Ops{});
    // Every time 1000 ms later and the reference at 1000: the cells hold the
    // same relative times, and the window of 1000..9000 holds all of them.
    for (int i = 1; i <= p.s->MarkCount; ++i) p.s->MarkTable[static_cast<size_t>(i)].Time += 1000;
    std::tie(p.s->RefTime, p.s->BeginTimeA) = std::tuple(1000, 1000);
    EXPECT_EQ(isochrones(), (Ops{"width 3", "line 2900 1760 1100 2825", "width 1"}));
    EXPECT_EQ(notDrawn(p.page.ops, {"text 1000 4440 Begin Time:  1000 msec", "text 2700 4440 Ref  Time:  1000 msec"}), Ops{});
}

TEST(PrintPage, BarsStatusBoxAndNIRecording) {
    PrintSession p(mapSession());
    std::tie(p.s->Tiled, p.s->DisplayTypeB, p.s->BeginTimeB, p.s->WindowB) = std::tuple(true, 0, 1000, 2000);
    p.s->CaptionB = "Slow Wave (1000-3000) 1x1 (Cell = 1) ( t = 120)";
    std::tie(p.s->ImportedFile, p.s->FileType, p.s->NIFileName) = std::tuple(true, 3, std::string("/ni/run7.txt"));
    const Ops both = p.print(6000, 4800, 2);
    // Bars without the cursor's part; Begin and End of panel A, which the caption describes.
    EXPECT_EQ(notDrawn(both, {"text 250 420 Slow Wave (0-8000)", "text 250 2420 Slow Wave (1000-3000)",
                              "text 250 4460 Time Map: run7.txt", "text 1000 4540 Begin Time:  0 msec",
                              "text 1000 4620 End   Time:  8000 msec"}),
              Ops{});
    EXPECT_EQ(std::count_if(both.begin(), both.end(), [](const std::string& o) { return o.find("Cell =") != std::string::npos; }), 0);
    const Ops onlyB = p.print(6000, 4800, 1);
    EXPECT_EQ(notDrawn(onlyB, {"text 1000 4440 Begin Time:  1000 msec", "text 1000 4520 End   Time:  3000 msec"}), Ops{});
    p.s->ImportedFile = false;  // an electrogram file opened since
    EXPECT_EQ(notDrawn(p.print(6000, 4800, 1), {"text 250 4360 Time Map: rec.E01"}), Ops{});
}

TEST(PrintPage, MatrixOrderedElectrogramsKeepTheirNumbersAboveTheNextBar) {
    // Panel A of 1900 pixels from y = 500 holds the 3 x 2 matrix: cells of
    // 333 x 850 leave 200 under the grid for the column numbers, above bar B at 2400.
    PrintSession p(mapSession());
    std::tie(p.s->DisplayTypeA, p.s->ElgViewMode, p.s->DisplayTypeB, p.s->Tiled) = std::tuple(1, 2, 1, true);
    const Ops ops = p.print(1400, 4800, 2);
    EXPECT_EQ(notDrawn(ops, {"text 363 2210 1", "text 697 2210 2", "text 1029 2210 3", "text 173 925 1", "text 173 1775 2",
                             "line 1199 2200 200 2200"}),
              Ops{});
    for (const std::string& o : ops) EXPECT_EQ(o.find(" 2410 "), std::string::npos) << o;
}

TEST(PrintPage, OnlyOrientationOneIsPortrait) {
    for (auto [given, kept, portrait] : {std::tuple(0, 0, false), {1, 1, true}, {2, 0, false}, {-1, 0, false}, {7, 0, false}}) {
        SessionState s;
        EXPECT_EQ(ApplyPrintChoice(s, {0, given, false, ""}), portrait) << given;
        EXPECT_EQ(s.PrintOrientation, kept) << given;
    }
}

TEST(PrintPage, OnlyTheBottomPanelSitsUnderTheTitleAndNamesItsDisplay) {
    PrintSession p(mapSession());
    p.s->DisplayTypeA = 1;
    p.s->DisplayTypeB = 2;
    p.s->MapKindB = 1;
    p.s->WaveNrB = 3;
    p.s->WaveMode = 2;
    p.s->CaptionB = "live B";
    p.s->PrintCaption.clear();
    const Ops ops = p.print(6000, 4800, 1);
    EXPECT_TRUE(contains(ops, rect(200, 400, 5800, 500)));
    EXPECT_EQ(notDrawn(ops, {"text 250 420 Wave Map nr: 3 of 0    (Slow Wave)",
                             "text 250 4360 Count Wave Map[3]:  T = 500rec.E01"}),
              Ops{});
    EXPECT_EQ(drawn(ops, {"text 250 420 live B", "text 250 420 (0-8000)"}), Ops{});
    // An empty caption writes no title: the status box's last text ends the page.
    EXPECT_EQ(ops.back(), "text 4000 4520 Amplf:  0.01");
}

// Electrograms over 1000 ms at 1000 Hz on a content width of 1000: one pixel per sample.
std::unique_ptr<SessionState> traceSession(int traces) {
    auto s = std::make_unique<SessionState>();
    s->SignalsLoaded = s->FileLoaded = true;
    s->SignalLength = s->NrOfFrames = 2000;
    s->TraceOrder = 0;
    s->FirstChannel = 17;
    s->NrTraces = traces;
    s->WindowA = 1000;
    for (int i = 1; i <= 2000; ++i) s->Signals.at(i, 17) = (i % 2) * 200;
    return s;
}

TEST(PrintPage, TraceLabelsKeepFiftyPixelsApart) {
    struct Case {
        int traces, pageHeight;
        std::vector<int> labelled;  // trace positions with a label
        int firstBaseline;
    };
    // 70 traces 25 pixels apart (every third labelled); 10 traces 40 apart (every second).
    const Case cases[] = {{70, 2950, {}, 512}, {10, 1600, {1, 3, 5, 7, 9}, 520}};
    for (const Case& c : cases) {
        PrintSession p(traceSession(c.traces));
        const Ops ops = p.print(1400, c.pageHeight, 0);
        std::vector<int> want = c.labelled;
        if (want.empty())
            for (int k = 1; k <= c.traces; k += 3) want.push_back(k);
        Ops labels, expected;
        for (const std::string& o : ops)
            if (o.rfind("text 176 ", 0) == 0) labels.push_back(o);
        const double spacing = (c.pageHeight - 1200) / static_cast<double>(c.traces);
        for (int k : want)
            expected.push_back("text 176 " + std::to_string(500 + c.firstBaseline - 500 + static_cast<int>(std::nearbyint((k - 1) * spacing))) +
                               " " + std::to_string(16 + k));
        EXPECT_EQ(labels, expected) << c.traces;
    }
}

TEST(PrintPage, TracesMarksAndOnlyMarks) {
    PrintSession p(traceSession(2));
    addMark(*p.s, 17, 300);
    p.s->MarkTable[1].Origin = ManualOrigin;
    addMark(*p.s, 17, 2500);  // outside the window
    p.s->Connections[1] = {17, 300, 18, 600, 1};
    p.s->ConnCount = 1;
    p.s->PrintOnlyMarks = false;
    // Panel 1200 high: spacing (1200 - 200) / 2 = 500, baseline 750, mark from 550 to 950.
    const Ops ops = p.print(1400, 2200, 0);
    ASSERT_EQ(p.page.polylines.size(), 2u);
    // Mean 100, five pixels per 100 units at amplification 0.01, from x = 201 + i.
    const auto& trace = p.page.polylines[0];
    EXPECT_EQ(pointsOf({trace[0], trace[1], trace.back()}), "202,745 203,755 1201,755");
    EXPECT_EQ(notDrawn(ops, {"line 200 500 1200 500", "line 200 1500 200 1520", "text 197 1550 0",
                             "line 300 1500 300 1520", "text 290 1550 100", "line 1200 1500 1200 1520", "width 9",
                             "line 500 550 500 950", "text 515 550 300", "width 2", "line 500 750 800 1250",
                             "ellipse 790 1240 810 1260"}),
              Ops{});
    EXPECT_EQ(drawn(ops, {"text 515 550 2500", "line 1300 1500 1300 1520"}), Ops{});
    p.s->PrintOnlyMarks = true;
    const Ops marksOnly = p.print(1400, 2200, 0);
    EXPECT_EQ(std::count_if(marksOnly.begin(), marksOnly.end(), [](const std::string& o) { return o.rfind("polyline", 0) == 0; }), 0);
    EXPECT_EQ(notDrawn(marksOnly, {"line 500 550 500 950", "text 515 550 300", "line 500 750 800 1250"}), Ops{});
}

TEST(PrimitiveLog, WritesEveryCallAsOneLine) {
    RecordingCanvas inner(300, 200);
    std::ostringstream out;
    PrimitiveLog log(inner, out);
    log.beginDraw();
    log.setPenWidth(3);
    log.setFontStyle(FontBold | FontItalic);
    log.setPenStyle(PenStyle::Dot);
    log.setPenColor(0x00112233);
    log.polyline({{1, 2}, {3, 4}});
    log.ellipse(1, 2, 3, 4);
    log.textOut(5, 6, clBlack, "a\\\"b\tc\x7f");
    EXPECT_EQ(log.textWidth("ab"), 14);  // a measure is no line
    log.endDraw();
    EXPECT_EQ(out.str(),
              "begin 300 200\npenwidth 3\nfontstyle 3\npenstyle dot\npencolor $00112233\npolyline 2 1 2 3 4\n"
              "ellipse 1 2 3 4\ntext 5 6 $00000000 49 14 \"a\\\\\\\"b\\x09c\\x7F\"\nend\n");
}

// What the exports may not do and which window they read: no export or
// print replaces the open recording, its mark file or its connections file;
// the names the dialogs propose; the window of the panel that shows
// electrograms, whichever panel was drawn last.
using Lines = std::vector<std::string>;

// The working folder moved to `dir` for one test, for the exports with fixed names.
struct InFolder {
    std::filesystem::path before = std::filesystem::current_path();
    explicit InFolder(const std::string& dir) { std::filesystem::current_path(dir); }
    ~InFolder() { std::filesystem::current_path(before); }
};

struct RecordingFolder {
    test::TempDir dir;
    std::unique_ptr<SessionState> s = test::gridSession(2, 1);
    test::ScriptedHost host;
    Ctx ctx{*s, host, nullptr};
    RecordingFolder() {
        s->FileName = dir.write("rec.E01", "ELG");
        s->MarkFileName = dir.write("rec.M01", "MARKS");
        s->ConnFileName = dir.write("rec.C01", "CONNECTIONS");
        std::filesystem::create_symlink(dir.file("rec.E01"), dir.file("link.E01"));
        test::addMark(*s, 20, 1000);
    }
    std::string files() const {
        return test::TempDir::read(dir.file("rec.E01")) + "|" + test::TempDir::read(dir.file("rec.M01")) + "|" +
               test::TempDir::read(dir.file("rec.C01"));
    }
};

TEST(ExportSafety, NoExportReplacesTheRecordingItsMarksOrItsConnections) {
    const std::pair<const char*, std::function<void(Ctx&, const std::string&)>> exports[] = {
        {"matrix", [](Ctx& c, const std::string&) { savedatainmatrixtextfile1Click(c); }},
        {"animation", [](Ctx& c, const std::string&) { savemarkstoanimation1Click(c); }},
        {"single", [](Ctx& c, const std::string&) { savesingleelemarks1Click(c); }},
        {"all marks", [](Ctx& c, const std::string&) { WhichElectrodeOkClick(c, "20"); }},
        {"mark text", [](Ctx& c, const std::string&) { SaveMarkstotxt1Click(c); }},
        {"mac", [](Ctx& c, const std::string&) { MacOkClick(c, MacCopy::Electrograms); }},
        {"realbasic", [](Ctx& c, const std::string&) { SavetoRealBasic1Click(c); }},
        {"spike stats", [](Ctx& c, const std::string& p) { runCommand(c, [&] { SaveSpikeStats(c.s, p); }); }},
    };
    for (const char* target : {"rec.E01", "./rec.M01", "rec.C01", "link.E01"}) {
        for (const auto& [name, run] : exports) {
            RecordingFolder f;
            const std::string path = f.dir.path() + "/" + target;
            f.host.files.push_back(FileChoice{path, 1});
            run(f.ctx, path);
            ASSERT_EQ(std::tuple(f.files(), f.host.errors.size()), std::tuple(std::string("ELG|MARKS|CONNECTIONS"), 1u)) << name << " over " << target;
            EXPECT_NE(f.host.errors[0].find(path + ": this is "), std::string::npos) << f.host.errors[0];
        }
    }
    RecordingFolder f;
    f.host.files.push_back(FileChoice{f.dir.file("rec.E01"), 1});
    savedatainmatrixtextfile1Click(f.ctx);
    EXPECT_EQ(f.host.errors, Lines{f.dir.file("rec.E01") +
                                   ": this is the open recording; an export never replaces it, nothing was written"});
    // Another name is written; the dialog proposed the recording's name with ".txt".
    f.host.files.push_back(FileChoice{f.dir.file("map.txt"), 1});
    savedatainmatrixtextfile1Click(f.ctx);
    EXPECT_EQ(std::tuple(f.host.dialogs.back().folder, test::TempDir::read(f.dir.file("map.txt"))),
              std::tuple(f.dir.file("rec.txt"), MatrixTextBytes(*f.s)));

    // The exports with fixed names in the working folder go through the same guard.
    f.s->FileName = f.dir.file("Ele12Col.txt");
    f.dir.write("Ele12Col.txt", "ELG");
    InFolder here(f.dir.path());
    SaveEletotxt1Click(f.ctx);
    EXPECT_EQ(std::tuple(test::TempDir::read(f.dir.file("Ele12Col.txt")), f.host.errors.size()), std::tuple(std::string("ELG"), 2u));
}

TEST(ExportSafety, ProposedNamesAndThePdfOfEachRecording) {
    SessionState s;
    s.FileName = "/data/day 3/REC.E01";
    EXPECT_EQ(std::tuple(DefaultPdfFileName(s), PrintPdfFile(s, ""), PrintPdfFile(s, "/tmp/page.pdf")),
              std::tuple("/data/day 3/REC.pdf", "/data/day 3/REC.pdf", "/tmp/page.pdf"));
    EXPECT_THROW(PrintPdfFile(s, "/data/day 3/REC.E01"), IoError);
    s.FileName = "/data/other.E02";  // each recording its own page
    EXPECT_EQ(DefaultPdfFileName(s), "/data/other.pdf");
    // An NI import names the NI file; FileName still names an earlier recording.
    s.ImportedFile = true;
    s.FileType = NITextFileType;
    s.NIFileName = "/ni/run.7/data";
    EXPECT_EQ(std::pair(RecordingPath(s), DefaultPdfFileName(s)), std::pair(std::string("/ni/run.7/data"), std::string("/ni/run.7/data.pdf")));
    EXPECT_THROW(RefuseRecordingFiles(s, "/ni/run.7/data"), IoError);
    s.FileType = 4;
    EXPECT_NO_THROW(RefuseRecordingFiles(s, "/ni/run.7/data"));
    SessionState none;
    EXPECT_EQ(DefaultPdfFileName(none), "vorelkant.pdf");
}

// Panel A shows the traces from 5000 to 10000 ms; a tiled panel B shows a
// map of 0..5000 and was drawn last.
std::unique_ptr<SessionState> tiledSession() {
    auto s = test::gridSession(3, 1);
    std::tie(s->Tiled, s->DisplayTypeA, s->BeginTimeA, s->WindowA) = std::tuple(true, 1, 5000, 5000);
    std::tie(s->DisplayTypeB, s->BeginTimeB, s->WindowB) = std::tuple(0, 0, 5000);
    std::tie(s->BeginTime, s->WindowTime) = std::pair(0, 5000);
    std::tie(s->TraceOrder, s->FirstChannel, s->NrTraces) = std::tuple(0, 1, 2);
    s->FileName = "rec.E01";
    s->MatrixFileName = "m.txt";
    // The window's end is part of the window; a mark after it and one in B's window are not.
    for (int t : {5000, 7000, 10000, 10001, 3000}) test::addMark(*s, 1, t);
    return s;
}

TEST(ElectrogramWindow, ExportsAndSpikeStatsReadThePanelShowingTraces) {
    struct Case {
        int typeA, typeB;
        bool tiled;
        int panel;
    };
    for (const Case& c : {Case{1, 0, true, 1}, {1, 1, true, 1}, {0, 1, true, 2}, {0, 1, false, 1}, {0, 2, true, 1}}) {
        SessionState s;
        std::tie(s.DisplayTypeA, s.DisplayTypeB, s.Tiled) = std::tuple(c.typeA, c.typeB, c.tiled);
        EXPECT_EQ(ElectrogramPanel(s), c.panel) << c.typeA << c.typeB << c.tiled;
    }

    auto s = tiledSession();
    test::ScriptedHost host;
    Ctx ctx(*s, host, nullptr);
    SpikeStats1Click(ctx);
    EXPECT_EQ(s->StatsMemo, (Lines{SpikeStatsHeader, "1      2    2,500.0    707.1    2,000.0    3,000.0    1000",
                                   "2               "}));
    EXPECT_EQ(std::pair(s->BeginTime, s->WindowTime), std::pair(0, 5000));  // B's copies back

    test::TempDir dir;
    host.files.push_back(FileChoice{dir.file("anim.txt"), 1});
    savemarkstoanimation1Click(ctx);
    EXPECT_EQ(test::TempDir::read(dir.file("anim.txt")),
              "rec.E01\r\nm.txt\r\n5000\r\n1\t1\t5000\r\n1\t1\t7000\r\n1\t1\t10000\r\n");

    // Panel A a map, B the traces from 1000 to 1003: B's window.
    std::tie(s->DisplayTypeA, s->DisplayTypeB, s->BeginTimeB, s->WindowB) = std::tuple(0, 1, 1000, 3);
    s->Signals.at(1001, 1) = 5;
    s->SignalLength = s->NrOfFrames = 2000;
    InFolder here(dir.path());
    SaveEletotxt1Click(ctx);
    const std::string rows = test::TempDir::read(dir.file("Ele12Col.txt"));
    EXPECT_EQ(std::tuple(rows.substr(0, 8), std::count(rows.begin(), rows.end(), '\n'), host.errors.size()),
              std::tuple("5\t0\t0\t0\t", 3, 0u));
}

// Every export and print that turns milliseconds into sample rows, at 500,
// 1000 and 2000 Hz: the same window in ms gives the same picture and the
// same rows of the recording at every rate.
std::string n(int64_t v) { return std::to_string(v); }

TEST(Rates, TextAndDrawingExportsReadTheRowsOfTheWindow) {
    for (int rate : Rates) {
        SCOPED_TRACE(rate);
        RateSession r(rate);
        SessionState& s = *r.s;
        r.window(500, 1000);
        const int first = r.row(500), last = r.row(1500), w = r.row(1000);

        // "Electrogram to .txt": rows first+1 .. last, trace position 1 is electrode 17.
        const Lines twelve = TwelveTraceLines(s);
        EXPECT_EQ(std::tuple(twelve.size(), twelve.front().substr(0, twelve.front().find('\t')), twelve.back().substr(0, twelve.back().find('\t'))),
                  std::tuple(size_t(last - first), n(1000 * (first + 1) + 17), n(1000 * last + 17)));

        // Copy Electrograms: values of rows first+2 .. last+1; marks at their
        // row's place among them (the window's end included), labelled in ms.
        s.NrTraces = 1;
        s.Amplification = 0.05;  // x 20: the value itself
        s.RefTime = 200;
        for (int t : {1000, 1500, 1502, 498}) r.mark(17, t);
        const auto blocks = CopySignalsBlocks(s);
        ASSERT_EQ(blocks.size(), 2u);
        EXPECT_EQ(std::tuple(blocks[0].lines.size(), blocks[0].lines.front()), std::tuple(size_t(last - first), n(-(1000 * (first + 2) + 17))));
        EXPECT_EQ(blocks[1].lines, (Lines{n(r.row(1000) - first + 1) + " 50 -50 800", n(last - first + 1) + " 50 -50 1300"}));

        // Copy EleMap: w + 1 rows from first + 1 around their mean, x over 0..10000 at every rate.
        const auto cells = CopyEleMapBlocks(s);
        ASSERT_EQ(cells.size(), 2u);
        ASSERT_EQ(cells[0].lines.size(), size_t(w + 2));
        EXPECT_EQ(std::tuple(cells[0].lines[0], cells[0].lines[1], cells[0].lines.back()),
                  std::tuple("17 1 1", n(10000 / w) + " " + n(50000LL * w), n(10000 + 10000 / w) + " " + n(-50000LL * w)));
    }
}

TEST(Rates, PrintedTracesMarksConnectionsAndAxisSpanTheWindow) {
    for (int rate : Rates) {
        SCOPED_TRACE(rate);
        RateSession r(rate);
        SessionState& s = *r.s;
        // The whole recording: every row is printed (not half of them at 2000 Hz).
        const PrintBox box{200, 500, 1000, 1200};
        r.window(0, s.SignalLength);
        const int whole = CalcPrintElgSize(s, box).last;
        r.window(500, 1000);
        const PrintTraceGeometry g = CalcPrintElgSize(s, box);
        EXPECT_EQ(std::tuple(whole, g.first, g.last, g.px, g.plotWidth),
                  std::tuple(4000, r.row(500), r.row(1500), 1000.0 / r.row(1000), 1000));
        // Marks before the window, in it, on its last sample and after it.
        for (int t : {498, 1000, 1500, 1502}) r.mark(17, t);
        s.Connections[1] = {17, 1000, 18, 1200, 1};
        s.ConnCount = 1;
        s.ShowElgConnections = true;
        RecordingCanvas page(1400, 2200);
        PrintElectrogramPanel(r.ctx, page, box);
        // Two traces 500 apart: baselines 750 and 1250; mark lines 550..950; one pixel per ms.
        EXPECT_EQ(notDrawn(page.ops, {"line 700 550 700 950", "line 1200 550 1200 950", "line 700 750 900 1250"}), Ops{});
        EXPECT_EQ(drawn(page.ops, {"line 198 550 198 950", "line 1202 550 1202 950"}), Ops{});
        ASSERT_EQ(page.polylines.size(), 2u);
        const auto& trace = page.polylines[0];
        const int step = std::max(1, 1000 / r.row(1000));  // pixels per row: 2, 1 or a half
        EXPECT_EQ(std::tuple(trace.size(), trace.front().x, trace.back().x),
                  std::tuple(size_t(r.row(1000)), rate == 2000 ? 201 : 200 + 2 * step, rate == 2000 ? 1200 : 1200 + step));
        // A tick and a label every 100 ms, 500 to 1500, 100 pixels apart.
        Ops labels, ticks, wantLabels, wantTicks;
        for (const std::string& o : page.ops) {
            if (o.rfind("text ", 0) == 0 && o.find(" 1550 ") != std::string::npos) labels.push_back(o.substr(o.rfind(' ') + 1));
            if (o.rfind("line ", 0) == 0 && o.find(" 1500 ") != std::string::npos && o.find(" 1520") != std::string::npos) ticks.push_back(o);
        }
        for (int x = 200; x <= 1200; x += 100) {
            wantLabels.push_back(n(x + 300));
            wantTicks.push_back("line " + n(x) + " 1500 " + n(x) + " 1520");
        }
        EXPECT_EQ(std::tuple(labels, ticks), std::tuple(wantLabels, wantTicks));
    }
}

// The stretch of the waveform grid and of the printed matrix-ordered
// electrograms spans its cell at every rate: as many rows as the window
// holds, the last on the cell's right edge.
TEST(Rates, WaveformCellsAndPrintedMatrixCellsSpanTheirCell) {
    for (int rate : Rates) {
        SCOPED_TRACE(rate);
        RateSession r(rate);
        SessionState& s = *r.s;
        const int w = r.row(1000);
        s.ElgViewMode = 2;
        s.WaveGrid = s.WaveGridLabel = false;
        r.window(500, 1000);
        RedrawPanels(r.ctx, 1);
        // Cells of (650 - 50) div 2 = 300 pixels from x = 25.
        ASSERT_EQ(r.a.polylines.size(), 2u);
        EXPECT_EQ(std::tuple(s.WaveXScale, r.a.polylines[0].size(), r.a.polylines[0].back().x, r.a.polylines[1].back().x),
                  std::tuple(300.0 / w, size_t(w + 1), 325, 625));

        // Printed, aligned on the activation time: the map time is relative
        // to the reference (300), the segment centred on the absolute time 600.
        for (int i = 1; i <= 4000; ++i) s.Signals.at(i, 17) = 0;
        s.Signals.at(r.row(600), 17) = 100000;
        r.mark(17, 600);
        s.RefTime = 300;
        s.WaveMarkAlign = true;
        r.window(0, 1000);
        RecordingCanvas page(1400, 2200);
        PrintMatrixElectrograms(r.ctx, page, PrintBox{200, 500, 1000, 1200});
        ASSERT_EQ(page.polylines.size(), 1u);  // electrode 18 has no time in the window
        const auto& cell = page.polylines[0];
        EXPECT_EQ(cell.size(), size_t(w));
        const auto peak = std::min_element(cell.begin(), cell.end(), [](Point a, Point b) { return a.y < b.y; });
        EXPECT_EQ(std::pair(peak->x, cell.back().x), std::pair(450, 700));  // the cell's middle and right edge
        // Without alignment both cells start at panel A's begin time.
        s.WaveMarkAlign = false;
        PrintMatrixElectrograms(r.ctx, page, PrintBox{200, 500, 1000, 1200});
        ASSERT_EQ(page.polylines.size(), 3u);
        EXPECT_EQ(std::pair(page.polylines[1].back().x, page.polylines[2].back().x), std::pair(700, 1200));
    }
}

}  // namespace
}  // namespace vk::test
