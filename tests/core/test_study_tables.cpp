// The study tables of a small hand-marked recording, field by field.
#include <gtest/gtest.h>

#include <cmath>

#include "exchange/StudyTables.h"
#include "shell/Display.h"
#include "shell/ViewCommands.h"
#include "support/GridSession.h"
#include "support/RateSession.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace vk {
namespace {

std::string csv(const std::vector<std::string>& columns, const std::vector<TableRow>& rows) {
    std::string out = CsvHeader(columns);
    for (const TableRow& r : rows) out += CsvLine(r);
    return out;
}

// 3 x 2 electrodes 1 mm apart. Wave 1 crosses all six with times chosen so
// that its two arrows point at 16.73 and 348.71 degrees (their circular
// mean is 2.72, their plain mean 182.72); electrode 1 beats twice more.
struct StudyFixture : ::testing::Test {
    std::unique_ptr<SessionState> s = test::gridSession(3, 2);
    test::ScriptedHost host;
    Ctx ctx{*s, host, RedrawPanels};

    void SetUp() override {
        s->FileLoaded = s->SignalsLoaded = true;
        s->NrChannelsInFile = 6;
        s->NrOfFrames = 10000;
        SetSamplingFrequency(*s, 1000);
        s->Signals.at(900, 1) = 2 * 747;  // 2 mV above the rest, falling over 24 samples: slope 80
        const int marks[][3] = {{1, 1000, 1}, {1, 4000, 1}, {1, 7500, 1}, {2, 1010, 1}, {3, 1015, 1}, {4, 997, 1},
                                {5, 1007, 1}, {6, 1022, 1}, {2, 3000, 2}, {9, 2000, 1}, {3, 5000, -1}, {5, 6000, 1}};
        for (const auto& m : marks) test::addMark(*s, m[0], m[1], m[2]);
        s->MarkTable[12].MarkType = DeletedType;
    }
};

TEST_F(StudyFixture, TablesOfAHandMarkedRecording) {
    const StudyRows rows = ComputeStudyRows(ctx, "a,b.E01", {});
    EXPECT_EQ(csv(MarksColumns, rows.marks),
              "recording,electrode,column,row,time_ms,type,origin,mark_nr,wave,amplitude_mv,slope,interval_ms\n"
              "\"a,b.E01\",1,1,1,1000,1,1,0,1,2,80,3000\n"
              "\"a,b.E01\",1,1,1,4000,1,1,0,2,0,0,3500\n"
              "\"a,b.E01\",1,1,1,7500,1,1,0,3,0,0,\n"
              "\"a,b.E01\",2,2,1,1010,1,1,0,1,0,0,\n"
              "\"a,b.E01\",3,3,1,1015,1,1,0,1,0,0,\n"
              "\"a,b.E01\",4,1,2,997,1,1,0,1,0,0,\n"
              "\"a,b.E01\",5,2,2,1007,1,1,0,1,0,0,\n"
              "\"a,b.E01\",6,3,2,1022,1,1,0,1,0,0,\n"
              "\"a,b.E01\",2,2,1,3000,2,1,0,,,,\n"
              "\"a,b.E01\",9,,,2000,1,1,0,,0,0,\n");
    EXPECT_EQ(csv(ElectrodesColumns, rows.electrodes),
              "recording,electrode,column,row,marks,interval_mean_ms,interval_sd_ms,frequency_cpm,amplitude_mean_mv\n"
              "\"a,b.E01\",1,1,1,3,3250,353.5534,18.4615,0.6667\n"
              "\"a,b.E01\",2,2,1,1,,,,0\n"
              "\"a,b.E01\",3,3,1,1,,,,0\n"
              "\"a,b.E01\",4,1,2,1,,,,0\n"
              "\"a,b.E01\",5,2,2,1,,,,0\n"
              "\"a,b.E01\",6,3,2,1,,,,0\n");
    EXPECT_EQ(csv(WavesColumns, rows.waves),
              "recording,wave,electrodes,first_ms,last_ms,duration_ms,speed_median_cm_s,speed_mean_cm_s,"
              "direction_deg,arrows\n"
              "\"a,b.E01\",1,6,997,1022,25,9.692,9.692,2.72,2\n"
              "\"a,b.E01\",2,1,4000,4000,0,,,,0\n"
              "\"a,b.E01\",3,1,7500,7500,0,,,,0\n");
    TableRow recording = rows.recording.at(0);
    recording[9] = {};  // the spectrum has its own test
    EXPECT_EQ(CsvLine(recording), "\"a,b.E01\",ok,6,1000,10,9,3,18.4615,9.692,,\n");
    // The window's views keep what they showed: no measurements, no waves.
    EXPECT_EQ(s->WaveCount, 0);
    EXPECT_EQ(s->MarkMeasures[1].MeasuredElectrode, Missing);

    // study.json's object of the recording: the counts renamed, the lists without the path.
    const std::string json = JsonRecording(rows);
    EXPECT_EQ(json.substr(0, 60), "{\"recording\":\"a,b.E01\",\"status\":\"ok\",\"channels\":6,\"rate_hz\":");
    EXPECT_NE(json.find("\"mark_count\":9,\"wave_count\":3,"), std::string::npos);
    EXPECT_NE(json.find("\"waves\":[{\"wave\":1,\"electrodes\":6,\"first_ms\":997,"), std::string::npos);
    EXPECT_NE(json.find("{\"wave\":2,\"electrodes\":1,\"first_ms\":4000,\"last_ms\":4000,\"duration_ms\":0,"
                        "\"speed_median_cm_s\":null,"),
              std::string::npos);
}

TEST_F(StudyFixture, WindowExportWritesTheFourTablesIntoTheChosenFolder) {
    test::TempDir dir;
    s->FileName = "rec.E01";
    host.files.push_back(FileChoice{dir.path(), 1});
    StudyTables1Click(ctx);
    EXPECT_NE(test::TempDir::read(dir.file("waves.csv")).find("\nrec.E01,1,6,997,1022,25,9.692,9.692,2.72,2\n"),
              std::string::npos);
    EXPECT_NE(test::TempDir::read(dir.file("recordings.csv")).find("\nrec.E01,ok,6,1000,10,9,3,18.4615,9.692,"),
              std::string::npos);
    const StudyRows rows = ComputeStudyRows(ctx, "rec.E01", {});
    EXPECT_EQ(test::TempDir::read(dir.file("marks.csv")), csv(MarksColumns, rows.marks));
    EXPECT_EQ(test::TempDir::read(dir.file("electrodes.csv")), csv(ElectrodesColumns, rows.electrodes));
    EXPECT_TRUE(host.errors.empty());
    // Without a matrix there are no tables, and nothing is asked.
    s->NrColumns = 0;
    StudyTables1Click(ctx);
    EXPECT_EQ(host.dialogs.size(), 1u);
}

// The rhythm of a sine of 15 cycles per minute on the marked channel, and
// the length in seconds, at every rate.
TEST(StudySpectrum, DominantRhythmAtEveryRate) {
    for (int rate : test::Rates) {
        test::RateSession r(rate, 32000);
        for (int row = 1; row <= 32000; ++row)
            r.s->Signals.at(row, 17) = static_cast<int32_t>(std::lround(1000 * std::sin(2 * M_PI * 0.25 * row / rate)));
        r.mark(17, 100);
        const StudyRows rows = ComputeStudyRows(r.ctx, "x", {});
        const TableRow& rec = rows.recording.at(0);
        EXPECT_EQ(rec[3].text + " " + rec[4].text + " " + rec[9].text,
                  std::to_string(rate) + " " + std::to_string(32000 / rate) + " 15")
            << rate;
        EXPECT_TRUE(std::isnan(DominantCpm(*r.s, Spike))) << "no channel has spikes";
    }
}

TEST(StudyNumbers, FormatsMediansAndDirections) {
    EXPECT_EQ(TableNumber(12.50004) + " " + TableNumber(-0.00001) + " " + TableNumber(3) + " " + TableNumber(2.71828, 2),
              "12.5 0 3 2.72");
    EXPECT_EQ(Median({3, 1, 2}), 2);
    EXPECT_EQ(Median({4, 1, 3, 2}), 2.5);
    // Across north: 0 (or a hair below 360), never the plain mean 180.
    EXPECT_NEAR(std::remainder(CircularMeanDegrees({350, 10}), 360), 0, 1e-9);
    EXPECT_NEAR(CircularMeanDegrees({350, 20}), 5, 1e-9);
    EXPECT_NEAR(CircularMeanDegrees({170, 200}), 185, 1e-9);
    EXPECT_TRUE(std::isnan(CircularMeanDegrees({90, 270})));
    EXPECT_EQ(CsvLine({{"say \"hi\"", true}, {"2"}, {}}), "\"say \"\"hi\"\"\",2,\n");
    EXPECT_EQ(JsonObject({"a", "b", "c"}, {{"x\n\"y\"", true}, {"2"}, {}}), "{\"a\":\"x\\u000a\\\"y\\\"\",\"b\":2,\"c\":null}");
}

}  // namespace
}  // namespace vk
