// Marks survive a killed program: a window in a child process marks with
// clicks until its journal holds the marks, is killed with SIGKILL, and the
// recording opened again offers them back.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <filesystem>

#include "desktop/PanelWidget.h"
#include "input/Matrix.h"
#include "marks/Journal.h"
#include "marks/MarkStore.h"
#include "session/TextFiles.h"
#include "shell/Commands.h"
#include "support/WindowFixture.h"

namespace vk {
namespace {

using test::TempDir;
using test::Window;

constexpr const char* ChildVariable = "VK_JOURNAL_CRASH_RECORDING";

// "electrode:time" of every mark, in slot order.
std::string marksText(const SessionState& s) {
    std::string out;
    for (int i = 1; i <= s.MarkCount; ++i) {
        const MarkRecord& m = s.MarkTable[static_cast<size_t>(i)];
        out += std::to_string(m.Electrode) + ":" + std::to_string(m.Time) + " ";
    }
    return out;
}

void useMatrix(Window& t) { UseNewMatrix(*t.s, t.dir.write("m.txt", "-2\n4 4 1 1\n\n1 2 3 4\n")); }

// The child: opens the recording, marks with the mouse, waits for the
// journal and says what it marked; then waits to be killed.
TEST(JournalCrash, Child) {
    const QByteArray recording = qgetenv(ChildVariable);
    if (recording.isEmpty()) GTEST_SKIP() << "run by JournalCrash.KilledWindowsMarksComeBack";
    Window t;
    useMatrix(t);
    ASSERT_TRUE(OpenFromCommandLine(t.w->ctx(), "", recording.toStdString()));
    PanelWidget* panel = t.w->paintBox(1);
    for (const QPoint p : {QPoint(300, 60), QPoint(300, 60), QPoint(500, 200)}) {
        QTest::mouseMove(panel, p);
        QTest::mouseClick(panel, Qt::LeftButton, {}, p);
    }
    ASSERT_EQ(t.s->MarkCount, 2);
    const std::string journal = JournalFileName(t.s->MarkFileName);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return fileExists(journal) &&
                   ParseJournal(TempDir::read(journal), StampOf(t.s->MarkFileName)).last.marks.size() == 2;
        },
        3000));
    std::printf("JOURNALED %s\n", marksText(*t.s).c_str());
    std::fflush(stdout);
    QTest::qWait(60000);
}

// Runs the child until its journal is written, kills it, and returns the
// marks it made.
std::string markAndKill(const std::string& recording) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(ChildVariable, QString::fromStdString(recording));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=JournalCrash.Child"});
    std::string marks;
    while (marks.empty() && child.waitForReadyRead(20000)) {
        while (child.canReadLine()) {
            const std::string line = child.readLine().trimmed().toStdString();
            if (line.rfind("JOURNALED ", 0) == 0) marks = line.substr(10) + " ";
        }
    }
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    child.waitForFinished(5000);
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    return marks;
}

TEST(JournalCrash, KilledWindowsMarksComeBack) {
    Window t;
    useMatrix(t);
    const std::string rec = t.recording("one.E01");
    const std::string marks = markAndKill(rec);
    ASSERT_FALSE(marks.empty());

    // Yes: the marks as they were, unsaved.
    t.host.answers = {Answer::Yes};
    ASSERT_TRUE(OpenFromCommandLine(t.w->ctx(), "", rec));
    ASSERT_EQ(t.host.questions.size(), 1u);
    // The first click arms marking; the other two are a change each.
    EXPECT_EQ(t.host.questions[0].substr(0, 42), "Restore the 2 unsaved mark changes made on");
    EXPECT_EQ(std::tuple(marksText(*t.s), t.s->MarksChanged), std::tuple(marks, true));
    // Leaving without saving removes the journal.
    t.host.answers = {Answer::No};
    t.w->action("Quit1")->trigger();
    const std::string journal = JournalFileName(t.s->MarkFileName);
    EXPECT_FALSE(std::filesystem::exists(journal));

    // No: the mark file's marks, the journal set aside.
    EXPECT_EQ(markAndKill(rec), marks);
    t.host.answers = {Answer::No};
    ASSERT_TRUE(OpenFromCommandLine(t.w->ctx(), "", rec));
    EXPECT_EQ(std::tuple(t.s->MarkCount, t.s->MarksChanged, std::filesystem::exists(journal + ".discarded"),
                         std::filesystem::exists(journal)),
              std::tuple(0, false, true, false));
}

// A journal that cannot be written: one line in the memo window, and
// marking goes on.
TEST(JournalCrash, AFailingJournalIsToldOnce) {
    Window t;
    useMatrix(t);
    ASSERT_TRUE(OpenFromCommandLine(t.w->ctx(), "", t.recording("one.E01")));
    const std::string folder = t.dir.file("gone");
    t.s->MarkFileName = folder + "/one.M01";
    for (int electrode : {1, 2}) {
        t.s->CurrentElectrode = electrode;
        AddMarkRecord(*t.s, 10, SlowWave, 1);
        t.w->journalChanges();
        t.w->waitForJournal();
    }
    const std::string line = "changes are not being journaled: cannot create a temporary file: No such file or directory";
    EXPECT_EQ(std::count(t.s->Memo1.begin(), t.s->Memo1.end(), line), 1);
    EXPECT_EQ(t.s->MarkCount, 2);
}

}  // namespace
}  // namespace vk
