// The settings file beside a recording (read, applied on every open, written
// by the window's menu commands) and the recording written back as an
// electrogram file.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "input/ElgFile.h"
#include "input/RecordingSettings.h"
#include "session/Errors.h"
#include "session/TextFiles.h"
#include "shell/Commands.h"
#include "shell/ViewCommands.h"
#include "support/FileSession.h"

namespace vk {
namespace {

std::string parseError(const std::string& text) {
    try {
        ParseRecordingSettings(text);
    } catch (const ConversionError& e) {
        return e.what();
    }
    return "";
}

TEST(RecordingSettingsFile, ReadsTheTwoMembersAndRefusesWhatIsNotOne) {
    const RecordingSettings r = ParseRecordingSettings(
        R"( {"Note": [1, {"a": null, "b": true}], "MatrixFile": "m\u00e9\\x \"q\".txt", "SamplingFrequency": 2000} )");
    EXPECT_EQ(r.rate, 2000);
    EXPECT_EQ(r.matrix, "m\xc3\xa9\\x \"q\".txt");
    EXPECT_EQ(ParseRecordingSettings(RecordingSettingsText(r)).matrix, r.matrix);
    EXPECT_EQ(ParseRecordingSettings(RecordingSettingsText(r)).rate, 2000);
    EXPECT_EQ(RecordingSettingsText({512, ""}), "{\n  \"SamplingFrequency\": 512\n}\n");
    const std::string range = "SamplingFrequency {} is not a whole number of Hz in 1..100000";
    auto outside = [&](const std::string& n) { return std::string(range).replace(range.find("{}"), 2, n); };
    const std::vector<std::pair<std::string, std::string>> bad = {
        {R"({"SamplingFrequency": 0})", outside("0")},
        {R"({"SamplingFrequency": 100001})", outside("100001")},
        {R"({"SamplingFrequency": 512.5})", outside("512.5")},
        {R"({"SamplingFrequency": 1-2})", outside("1-2")},
        {R"({"SamplingFrequency": "512"})", "a value is not a number"},
        {R"({"MatrixFile": 3, "SamplingFrequency": 5})", "MatrixFile is not a text"},
        {R"({"MatrixFile": "m.txt"})", "it gives no SamplingFrequency"},
        {R"([512])", "the file is not a JSON object"},
        {R"({"SamplingFrequency": 512} x)", "there is more after the object"},
        {R"({"SamplingFrequency": 512)", "a ',' or '}' is missing"},
        {"", "the file is not a JSON object"},
    };
    for (const auto& [text, why] : bad) EXPECT_EQ(parseError(text), why) << text;
}

TEST(RecordingSettingsFile, MatrixPathsAreTheRecordingFolders) {
    EXPECT_EQ(SettingsFileFor("d/demo.E01"), "d/demo.E01.vk.json");
    EXPECT_EQ(SettingsMatrixPath("/r/d/demo.E01", "../m.txt"), "/r/d/../m.txt");
    EXPECT_EQ(SettingsMatrixPath("/r/d/demo.E01", "/m.txt"), "/m.txt");
    EXPECT_EQ(MatrixForSettings("/r/d/demo.E01", "/m.txt"), "/m.txt");
    EXPECT_EQ(MatrixForSettings("d/demo.E01", "m.txt"), "../m.txt");
    EXPECT_EQ(MatrixForSettings("d/demo.E01", "d/x/m.txt"), "x/m.txt");
}

struct SettingsSession : test::FileSession {
    std::string rec = recording("r.E01", 1001);
    bool open() {
        if (!OpenElectrogramFile(ctx, rec)) return false;
        ResetViewAfterLoad(*s);
        return true;
    }
};

// Opening applies the file at every rate; the samples give the length in ms.
TEST(RecordingSettingsOpen, AppliesMatrixThenRateOnOpen) {
    for (const auto& [rate, length] : std::vector<std::pair<int, int>>{{500, 2002}, {1000, 1001}, {2000, 500}}) {
        SettingsSession f;
        f.dir.write("m2.txt", "-2\n2 2 1 1\n\n7 8\n");
        f.dir.write("r.E01.vk.json", "{\"SamplingFrequency\": " + std::to_string(rate) + ", \"MatrixFile\": \"m2.txt\"}");
        ASSERT_TRUE(f.open());
        EXPECT_EQ(f.s->SamplingFrequency, rate);
        EXPECT_EQ(f.s->SignalLength, length);
        EXPECT_EQ(f.s->HighRateMode, rate != 1000);
        EXPECT_EQ(f.s->NrColumns, 2);
        EXPECT_EQ(f.s->MatrixFileName, f.dir.file("m2.txt"));
        EXPECT_EQ(f.s->SettingsFileName, f.dir.file("r.E01.vk.json"));
        EXPECT_TRUE(f.host.messages.empty());
    }
}

TEST(RecordingSettingsOpen, DamagedFileWarnsOnceAndStaysAsItIs) {
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"{\"SamplingFrequency\": 0}", ": SamplingFrequency 0 is not a whole number of Hz in 1..100000; it was not used"},
        {"{\"SamplingFrequency\": 250, \"MatrixFile\": \"none.txt\"}", ": its MatrixFile was not used: "},
    };
    for (const auto& [text, why] : damaged) {
        SettingsSession f;
        const std::string path = f.dir.write("r.E01.vk.json", text);
        ASSERT_TRUE(f.open());
        ASSERT_EQ(f.host.messages.size(), 1u);
        EXPECT_EQ(f.host.messages[0].rfind(path + why, 0), 0u) << f.host.messages[0];
        EXPECT_EQ(f.s->NrColumns, 4);  // the matrix in use stays
        EXPECT_EQ(f.s->SamplingFrequency, text.find("250") != std::string::npos ? 250 : 1000);
        EXPECT_EQ(f.s->SettingsFileName, path);
        EXPECT_EQ(readWholeFile(path, 1000), text);
        // The window's rate command does not replace what it could not read.
        f.host.inputs = {"300"};
        SamplingFrequencyCommand(f.ctx);
        if (text.find("250") == std::string::npos) {
            EXPECT_EQ(readWholeFile(path, 1000), text);
        }
    }
}

TEST(RecordingSettingsOpen, WindowSamplingFrequencyWritesTheFile) {
    SettingsSession f;
    ASSERT_TRUE(f.open());
    EXPECT_EQ(f.s->SettingsFileName, "");
    f.host.inputs = {std::nullopt};  // Cancel writes nothing
    SamplingFrequencyCommand(f.ctx);
    EXPECT_FALSE(fileExists(f.dir.file("r.E01.vk.json")));
    f.host.inputs = {"2000"};
    SamplingFrequencyCommand(f.ctx);
    EXPECT_EQ(readWholeFile(f.dir.file("r.E01.vk.json"), 1000), "{\n  \"SamplingFrequency\": 2000\n}\n");
    // A fresh session (the rate back at 1000) opens it at 2000 Hz.
    SettingsSession g;
    g.rec = f.rec;
    ASSERT_TRUE(g.open());
    EXPECT_EQ(g.s->SamplingFrequency, 2000);
    EXPECT_EQ(g.s->SignalLength, 500);
}

// An import of 2 channels and 25 rows written back: the scaled values, in
// the frames the reader loads.
TEST(RecordingAsElg, ScalesHalvesToEvenAndNamesTheFirstValueOutside) {
    auto s = std::make_unique<SessionState>();
    s->ImportedFile = true;
    s->ImportedChannels = 2;
    s->NrOfFrames = 25;
    for (auto [row, c, v] : std::vector<std::tuple<int, int, int>>{{1, 1, 5}, {1, 2, -5}, {2, 1, 7}, {2, 2, 40001}, {3, 1, -40000}})
        s->Signals.at(row, c) = v;
    try {
        RecordingElgBytes(*s, 1);
        ADD_FAILURE() << "a value outside 16 bits was written";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "channel 2 sample 2 holds 40001, outside -32768..32767");
    }
    const std::string bytes = RecordingElgBytes(*s, 2);
    ASSERT_EQ(bytes.size(), 4100u + 25 * 4);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\0\0\0\x10", 4));
    EXPECT_EQ(bytes.substr(86, 4), std::string("\x02\0\x02\0", 4));
    EXPECT_EQ(bytes.find_first_not_of('\0', 90), 4100u);  // the other header fields are zero
    MemorySource src(bytes, "x.E01");
    ASSERT_TRUE(LooksLikeElectrogramFile(src));
    const ElgLayout l = ExamineElgFile(src, "x.E01");
    std::vector<int16_t> raw(4096);
    ReadElgFrames(src, l, raw.data(), raw.size());
    auto out = std::make_unique<SessionState>();
    CopyFramesToSignals(raw.data(), raw.size(), l.NrChannelsInFile, l.NrOfFrames, false, out->Signals);
    EXPECT_EQ(l.NrOfFrames, 26);
    const std::vector<int> got = {out->Signals.at(1, 1), out->Signals.at(1, 2), out->Signals.at(2, 1), out->Signals.at(2, 2),
                                  out->Signals.at(3, 1), out->Signals.at(4, 1)};
    EXPECT_EQ(got, (std::vector<int>{2, -2, 4, 20000, -20000, 0}));
    // What is not an electrogram file at all.
    for (const std::string& text : {std::string("short"), std::string(4096 + 100, '\0'), bytes.substr(0, 4100),
                                    std::string(86, '\0') + "\x2c\x01\x02" + std::string(5000, '\0')}) {
        MemorySource t(text, "t");
        EXPECT_FALSE(LooksLikeElectrogramFile(t)) << text.size();
    }
}

}  // namespace
}  // namespace vk
