// The mark text file, the data exports, the drawing file and the RealBasic
// file: exact bytes on small hand-made sessions.
#include <gtest/gtest.h>

#include "exchange/DataExports.h"
#include "exchange/ExportFiles.h"
#include "exchange/MacExport.h"
#include "exchange/MarkText.h"
#include "session/Errors.h"
#include "support/GridSession.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace vk {
namespace {

using test::addMark;
using Lines = std::vector<std::string>;

std::string joined(const Lines& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text;
}

Lines header(const std::string& count) {
    Lines h{"27", "m.txt", "1000", count, "6", "IRIRRI", "Ele ", "Activation Time", "code", "ampl", "slope", "wave nr"};
    h.resize(28);
    h.push_back("Ele \tActivation Time\tcode\tampl\tslope\twave nr\t");
    return h;
}

TEST(MarkText, HeaderSelectionGroupingAndRoundTrip) {
    auto s = test::gridSession(2, 2);
    s->MatrixFileName = "m.txt";
    EXPECT_EQ(MarkTextLines(*s), header("0"));

    addMark(*s, 5, 1000, SlowWave, 3);
    addMark(*s, 2, 0);                  // time 0: left out
    addMark(*s, 2, 700);
    s->MarkTable[3].MarkType = DeletedType;  // deleted: left out
    addMark(*s, 2, 500, Reference, 0);  // kept
    addMark(*s, 5, 2000, Spike, 65535);
    addMark(*s, 2, 300, SlowWave, 9);
    s->MarkMeasures[1].MeasuredElectrode = 5;  // 1494 units of 747 per mV, a slope above 1000
    s->MarkMeasures[1].MaxValue = 1000;
    s->MarkMeasures[1].MinValue = -494;
    s->MarkMeasures[1].Slope = 1234.5;
    Lines want = header("4");
    for (const char* l : {"2\t500.00\t-1\t0.00\t0.00\t0", "2\t300.00\t1\t0.00\t0.00\t9",
                          "5\t1000.00\t1\t2.00\t1234.50\t3", "5\t2000.00\t2\t0.00\t0.00\t65535"})
        want.push_back(l);
    EXPECT_EQ(MarkTextLines(*s), want);

    // Read back into a session that already holds a mark: appended with
    // electrode, time, type and number; written again grouped the same way.
    auto t = test::gridSession(2, 2);
    addMark(*t, 1, 50);
    const MarkTextRead r = ReadMarkText(*t, joined(want), "x");
    EXPECT_EQ(std::pair(r.announced, r.read), std::pair(4, 4));
    ASSERT_EQ(t->MarkCount, 5);
    EXPECT_EQ(std::tuple(t->MarkTable[5].Electrode, t->MarkTable[5].Time, t->MarkTable[5].MarkType, t->MarkTable[5].MarkNr),
              std::tuple(uint16_t{5}, 2000, int16_t{2}, uint16_t{65535}));
    t->MarkTable[1].Time = 0;
    want[31].replace(want[31].find("2.00\t1234.50"), 12, "0.00\t0.00");  // measured again, not read
    EXPECT_EQ(MarkTextLines(*t), want);
}

TEST(MarkText, ReaderEdges) {
    struct Case {
        const char* name;
        std::string body;
        std::vector<int32_t> times;  // of the marks added
        int announced;
    };
    const Case cases[] = {
        {"halves to even", "4\t1234.50\t1\t0\t0\t1\r\n4\t1235.5\t1\t0\t0\t1\r\n4\t7.49\t1\t1,234.00\t0\t1\r\n", {1234, 1236, 7}, 3},
        {"stops at the end of the data", "4\t10\t1\t0\t0\t1\r\n\r\n", {10}, 5},
        {"numbers across lines", "4\n20\n1 0 0\n2 extra words\r\n", {20}, 1},
    };
    for (const auto& c : cases) {
        auto s = test::gridSession(2, 2);
        Lines h = header(std::to_string(c.announced));
        const MarkTextRead r = ReadMarkText(*s, joined(h) + c.body, "x");
        std::vector<int32_t> got;
        for (int i = 1; i <= s->MarkCount; ++i) got.push_back(s->MarkTable[static_cast<size_t>(i)].Time);
        EXPECT_EQ(got, c.times) << c.name;
        EXPECT_EQ(r.read, static_cast<int>(c.times.size())) << c.name;
        EXPECT_EQ(s->SamplingFrequency, 1000);
        EXPECT_EQ(s->CurrentElectrode, 4);
    }
    // A bad token stops the reader; what came before stays.
    auto s = test::gridSession(2, 2);
    EXPECT_THROW(ReadMarkText(*s, joined(header("2")) + "3\t5\t1\t0\t0\t1\r\n3\tx\t1\t0\t0\t1\r\n", "x"), ConversionError);
    EXPECT_EQ(s->MarkCount, 1);
    // A header with a sampling frequency of 0 changes nothing.
    Lines zero = header("0");
    zero[2] = "0";
    EXPECT_THROW(ReadMarkText(*s, joined(zero), "x"), IoError);
    EXPECT_EQ(s->SamplingFrequency, 1000);
}

// Appending marks that are there already, and lines without an electrode:
// counted apart, and told in the window's message.
TEST(MarkText, AppendsCountsPresentAndSkipped) {
    auto s = test::gridSession(2, 2);
    addMark(*s, 5, 1000);
    addMark(*s, 5, 2000, Spike);
    const std::string body =
        "5\t1000.40\t1\t0\t0\t1\r\n"   // 1000: present
        "5\t2000\t1\t0\t0\t1\r\n"      // another type: new
        "6\t1000\t1\t0\t0\t1\r\n"      // another electrode: new
        "0\t10\t1\t0\t0\t1\r\n"        // no electrode: skipped
        "257\t10\t1\t0\t0\t1\r\n"      // beyond 256: skipped
        "256\t10\t1\t0\t0\t1\r\n"      // the last electrode: new
        "5\t2000.50\t2\t0\t0\t1\r\n";  // 2000 (halves to even): present
    test::TempDir dir;
    const std::string path = dir.write("m.txt", joined(header("8")) + body);
    const MarkTextRead r = ImportMarkText(*s, path);
    EXPECT_EQ(std::tuple(r.announced, r.read, r.alreadyPresent, r.skipped), std::tuple(8, 5, 2, 2));
    ASSERT_EQ(s->MarkCount, 7);  // appended, the present ones too
    std::vector<std::tuple<int, int, int>> marks;
    for (int i = 3; i <= 7; ++i) {
        const MarkRecord& m = s->MarkTable[static_cast<size_t>(i)];
        marks.emplace_back(m.Electrode, m.Time, m.MarkType);
    }
    EXPECT_EQ(marks, (std::vector<std::tuple<int, int, int>>{{5, 1000, 1}, {5, 2000, 1}, {6, 1000, 1}, {256, 10, 1}, {5, 2000, 2}}));
    EXPECT_EQ(MarkTextReadMessage(path, r), "5 marks added, 2 of them already present.\n"
                                            "2 marks were skipped: their electrode is outside 1..256.\n" +
                                                path + " announces 8 marks but holds 7.");
    // Nothing to say about a plain import; each finding alone.
    EXPECT_EQ(MarkTextReadMessage(path, {4, 4, 0, 0}), "");
    EXPECT_EQ(MarkTextReadMessage(path, {4, 4, 1, 0}), "4 marks added, 1 of them already present.");
    EXPECT_EQ(MarkTextReadMessage(path, {4, 3, 0, 1}), "3 marks added.\n1 marks were skipped: their electrode is outside 1..256.");

    // The window: the same file again is all present, and says so.
    test::ScriptedHost host;
    Ctx ctx(*s, host, nullptr);
    host.files.push_back(FileChoice{path, 1});
    Readmarksfromtxt1Click(ctx);
    EXPECT_EQ(s->MarkCount, 12);
    EXPECT_EQ(host.messages, Lines{"5 marks added, 5 of them already present.\n"
                                   "2 marks were skipped: their electrode is outside 1..256.\n" +
                                   path + " announces 8 marks but holds 7."});
}

TEST(DataExports, AllMarksIntervalsAndThePanel) {
    auto s = test::gridSession(2, 2);
    s->FileName = "rec.E01";
    for (int t : {1000, 3000, 2000, 5000}) addMark(*s, 20, t);
    addMark(*s, 20, 4000, Reference);
    EXPECT_EQ(AllMarksLines(*s, 20), (Lines{"rec.E01", "Ele: 20", "", "1000", "2000\t1000\t60.00", "3000\t1000\t60.00",
                                          "5000\t2000\t30.00", "", "Avg:\tStDev", "50.00\t14.14"}));
    addMark(*s, 21, 800);
    EXPECT_EQ(AllMarksLines(*s, 21), (Lines{"rec.E01", "Ele: 21", "", "800"}));
    addMark(*s, 21, 800);  // a zero interval has no frequency
    EXPECT_EQ(AllMarksLines(*s, 21), (Lines{"rec.E01", "Ele: 21", "", "800", "800\t0\t"}));

    test::ScriptedHost host;
    Ctx ctx(*s, host, nullptr);
    test::TempDir dir;
    for (const char* typed : {"16", "256", " 17 "}) WhichElectrodeOkClick(ctx, typed);
    ASSERT_EQ(host.dialogs.size(), 1u);  // only 17 asks for a file
    EXPECT_EQ(s->WhichElectrode, 17);
    WhichElectrodeOkClick(ctx, "12a");
    EXPECT_EQ(host.errors, Lines{"'12a' is not a valid integer value"});
    host.files.push_back(FileChoice{dir.file("none/all.txt"), 1});  // a folder that is not there
    WhichElectrodeOkClick(ctx, "20");
    ASSERT_EQ(host.errors.size(), 2u);
    EXPECT_NE(host.errors[1].find(dir.file("none/all.txt") + ": "), std::string::npos);
    host.files.push_back(FileChoice{dir.file("all.txt"), 1});
    WhichElectrodeOkClick(ctx, "20");
    EXPECT_EQ(test::TempDir::read(dir.file("all.txt")), joined(AllMarksLines(*s, 20)));
}

TEST(DataExports, MatrixAnimationAndTraces) {
    auto s = test::gridSession(3, 2);
    s->FileName = "rec.E01";
    const int32_t times[] = {10, Missing, 1234, 40, Excluded, 6};
    for (int i = 0; i < 6; ++i) s->MapBuf.at(i % 3 + 1, i / 3 + 1).Time = times[i];
    EXPECT_EQ(MatrixTextBytes(*s), "rec.E01\r\n\r\n\t10\t\t1234\r\n\t40\t\t6");
    s->Prefs.TimeDigitFormat = 2;
    EXPECT_EQ(MatrixTextBytes(*s), "rec.E01\r\n\r\n\t0.01\t\t1.23\r\n\t0.04\t\t0.01");
    s->MapKind = AmplitudeMapKind;
    s->MapBuf.at(1, 1).Amplitude = 2.345;
    s->MapBuf.at(2, 1).Amplitude = -12345.2;  // rounds to the missing marker
    EXPECT_EQ(MatrixTextBytes(*s).substr(0, 18), "rec.E01\r\n\r\n\t2.35\t\t");

    s->MatrixFileName = "m.txt";
    s->BeginTime = 1000;
    s->WindowTime = 500;
    for (auto [e, t] : {std::pair{256, 1200}, {255, 1000}, {3, 1500}, {3, 1501}, {3, 999}}) addMark(*s, e, t);
    EXPECT_EQ(AnimationLines(*s), (Lines{"rec.E01", "m.txt", "500", "255\t1\t1000", "3\t1\t1500"}));

    s->TraceOrder = 0;
    s->FirstChannel = 3;
    EXPECT_EQ(SingleElectrogramLines(*s), (Lines{"rec.E01", "Ele nr: 3", "1500\t1501\t999\t"}));

    // Twelve traces from electrode 250: positions past 256 are empty; so
    // are rows past the recording.
    s->FirstChannel = 250;
    s->SignalLength = s->NrOfFrames = 2;
    s->Signals.at(2, 250) = -7;
    s->BeginTime = 1;
    s->WindowTime = 2;
    EXPECT_EQ(TwelveTraceLines(*s), (Lines{"-7\t0\t0\t0\t0\t0\t0\t\t\t\t\t\t", "\t\t\t\t\t\t\t\t\t\t\t\t"}));

    // Tavring: ten blocks whatever the matrix; (2, 1) holds electrode 2.
    const std::string tavrin = TavrinBytes(*s);
    s->Signals.at(1, 2) = 5;
    const std::string withSample = TavrinBytes(*s);
    EXPECT_EQ(withSample.substr(0, withSample.find("\r\n")), "0\t5\t0\t" + std::string(21, '\t'));
    EXPECT_EQ(std::count(tavrin.begin(), tavrin.end(), '\n'), 40010);
    EXPECT_EQ(tavrin.substr(tavrin.size() - 31), std::string(24, '\t') + "\r\nEND\r\n");

    InitializeDataGrid(*s);
    EXPECT_EQ(std::pair(s->DataPad.size(), s->DataPad[299].size()), std::pair(size_t{300}, size_t{7}));
    EXPECT_EQ(s->DataPad[0][0], "rec.E01");
}

TEST(MacExport, MapFrameDigitsArrowsTracesAndRealBasic) {
    auto s = test::gridSession(2, 1);
    s->MapRight = 300;
    s->MapBottom = 200;
    s->ShowMapDigits = false;
    const Lines frame{"6 4", "10 10 500 10", "500 10 500 337", "500 337 10 337", "10 337 10 10"};
    Lines want{"1"};
    want.insert(want.end(), frame.begin(), frame.end());
    EXPECT_EQ(DrawingFileLines(CopyMapBlocks(*s)), want);

    s->ShowMapDigits = true;
    s->CellWidth = s->CellHeight = 100;
    s->MapBuf.at(1, 1).Time = 250;
    s->MapBuf.at(2, 1).Time = Excluded;
    want = {"2"};
    want.insert(want.end(), frame.begin(), frame.end());
    // Centre (59, 60) of cell (1, 1) scaled by 490 / 300.
    for (const char* l : {"1 1", "106 108 250"}) want.push_back(l);
    EXPECT_EQ(DrawingFileLines(CopyMapBlocks(*s)), want);
    // With arrows the frame and one block of kind 5 with the arrows alone,
    // byte for byte as the "to Mac" window writes it; a block whose arrow
    // the last run dropped (Speed Missing, old points left) gives none.
    s->PlotArrows = true;
    s->NrColumns = 3;
    s->ElectrodeCol[3] = 3;
    s->ElectrodeRow[3] = 1;
    s->MapBuf.at(3, 1).Time = 400;
    s->VelocityBuf.at(1, 1) = VelocityRec{1, 0, 5, 6, 7, 8, 9, 10, 11, 12};
    s->VelocityBuf.at(3, 1) = VelocityRec{Missing, 0, 50, 60, 70, 80, 90, 100, 110, 120};
    s->FileName = "/data/rec.E01";
    test::TempDir dir;
    test::ScriptedHost host;
    Ctx ctx{*s, host, [](Ctx&, int) {}};
    for (int format : {0, 3}) {
        s->Prefs.TimeDigitFormat = format;
        host.files = {FileChoice{dir.file("map.TXT")}};
        MacOkClick(ctx, MacCopy::Map);
        EXPECT_EQ(test::TempDir::read(dir.file("map.TXT")),
                  "2\r\n6 4\r\n10 10 500 10\r\n500 10 500 337\r\n500 337 10 337\r\n10 337 10 10\r\n"
                  "5 1\r\n5 6 7 8 9 10 11 12\r\n")
            << format;
    }
    EXPECT_EQ(host.dialogs.back().folder, "/data/rec.TXT");
    s->VelocityBuf.at(1, 1).Speed = Missing;  // no arrow at all: the block is there, empty
    EXPECT_EQ(Lines(DrawingFileLines(CopyMapBlocks(*s))).back(), "5 0");
    s->PlotArrows = false;
    s->NrColumns = 2;
    s->ElectrodeCol[3] = s->ElectrodeRow[3] = -1;

    // Two traces of three samples; a mark only on the second.
    s->SignalLength = s->NrOfFrames = 10;
    s->TraceOrder = 0;
    s->FirstChannel = 1;
    s->NrTraces = 3;  // position 3 has electrode 3, which has no samples set
    s->Amplification = 0.5;
    s->Signals.at(2, 1) = 3;
    s->Signals.at(3, 2) = -1;
    s->BeginTime = 0;
    s->WindowTime = 2;
    s->RefTime = 1;
    addMark(*s, 2, 2);
    EXPECT_EQ(DrawingFileLines(CopySignalsBlocks(*s)),
              (Lines{"4", "2 2", "-30", "0", "2 2", "0", "10", "4 1", "3 50 -50 1", "2 2", "0", "0"}));

    // Small electrograms around their mean over the window's 3 rows.
    EXPECT_EQ(DrawingFileLines(CopyEleMapBlocks(*s)),
              (Lines{"2", "8 4", "1 1 1", "5000 1000", "10000 -2000", "15000 1000", "8 4", "2 2 1", "5000 -300",
                     "10000 -300", "15000 700"}));
    EXPECT_EQ(Lines(s->Memo1.end() - 2, s->Memo1.end()), (Lines{" beginsig = 0", " windowsig = 2"}));

    for (int e : {65, 96}) addMark(*s, e, e * 10);
    addMark(*s, 65, 5, Spike);
    addMark(*s, 4, 77, Reference);
    s->ActiveDisplay = 1;
    const Lines rb = RealBasicLines(*s);
    ASSERT_EQ(rb.size(), 33u);
    EXPECT_EQ(Lines(rb.begin(), rb.begin() + 3), (Lines{"4 77 ", "1 650  ", "2  "}));
    EXPECT_EQ(rb.back(), "32 960  ");
}

}  // namespace
}  // namespace vk
