// What the exports may not do and which window they read: no export or
// print replaces the open recording, its mark file or its connections file;
// the names the dialogs propose; the window of the panel that shows
// electrograms, whichever panel was drawn last.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "electrograms/SpikeStats.h"
#include "exchange/DataExports.h"
#include "exchange/MacExport.h"
#include "exchange/MarkText.h"
#include "printing/PrintPage.h"
#include "session/Ask.h"
#include "session/ElectrogramWindow.h"
#include "session/Errors.h"
#include "session/RecordingFiles.h"
#include "support/GridSession.h"
#include "support/ScriptedHost.h"
#include "support/TempDir.h"

namespace vk {
namespace {

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

}  // namespace
}  // namespace vk
