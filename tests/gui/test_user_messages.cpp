// What a new user meets in the real window, offscreen: boxes that open above
// the window that asked, refusals that say why, fields that keep what was
// typed, and tool windows that follow the panels.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "desktop/AnalyseElgWindow.h"
#include "desktop/ElectrogramToolsWindow.h"
#include "desktop/MiniWindows.h"
#include "desktop/PanelWidget.h"
#include "desktop/PreferencesDialog.h"
#include "desktop/QtDialogs.h"
#include "desktop/ReferenceTableWindow.h"
#include "electrograms/TraceDisplay.h"
#include "marks/ReferenceTable.h"
#include "shell/Preferences.h"
#include "support/WindowFixture.h"

namespace vk {
namespace {

using test::Window;

// The parent of the next modal box, which is then closed.
QWidget* parentOfNextBox(const std::function<void()>& open) {
    QWidget* parent = nullptr;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            parent = box->parentWidget();
            box->reject();
        }
    });
    open();
    return parent;
}

TEST(UserMessages, EveryBoxOpensAboveTheWindowThatAsked) {
    Window t;
    QtDialogs dialogs(t.w.get());
    const std::function<void()> boxes[] = {
        [&] { dialogs.information("Electrode Number must be in the 17 - 256 range !"); },
        [&] { dialogs.message(InvalidRefTitle, InvalidRefText); },
        [&] { dialogs.warning("w"); },
        [&] { dialogs.error("e"); },
        [&] { dialogs.askYesNoCancel("q"); },
        [&] { dialogs.inputBox("Amplification Electrograms ", "Give new value:", "0.01"); },
        [&] { dialogs.saveFile("Save as text", {{"Text files", "*.txt"}}, ""); },
        [&] { dialogs.openFile("Open electrogram file", {{"E00 files", "*.E**"}}, 1, t.dir.file("")); },
    };
    // The reference table stays on top of the main window: its boxes are its own.
    t.w->action("ReferenceTable1")->trigger();
    QDialog* table = t.w->referenceTable()->window();
    auto activate = [](QWidget* w) {
        w->activateWindow();
        return QTest::qWaitFor([w] { return QApplication::activeWindow() == w; });
    };
    ASSERT_TRUE(activate(table));
    for (size_t i = 0; i < std::size(boxes); ++i) {
        EXPECT_EQ(parentOfNextBox(boxes[i]), table) << i;
        ASSERT_TRUE(activate(table));  // as the window manager does when the box closes
    }
    // With the main window active, the main window.
    table->hide();
    ASSERT_TRUE(activate(t.w.get()));
    EXPECT_EQ(parentOfNextBox(boxes[0]), t.w.get());
}

TEST(UserMessages, ReferenceTableTakesElectrodes17To256AndForgetsADeletedCurrent) {
    Window t;
    t.s->SignalLength = 5000;
    t.w->action("ReferenceTable1")->trigger();
    ReferenceTableWindow* r = t.w->referenceTable();
    for (auto [electrode, time] : {std::tuple("16", "100"), {"17", "100"}, {"257", "200"}, {"256", "5000"}}) {
        r->electrodeEdit()->setText(electrode);
        r->timeEdit()->setText(time);
        r->insertButton()->setEnabled(true);
        r->insertButton()->click();
    }
    EXPECT_EQ(std::tuple(t.host.messages, r->grid()->rowCount()),
              std::tuple(std::vector<std::string>(2, "Electrode Number must be in the 17 - 256 range !"), 3));
    EXPECT_EQ(r->grid()->item(1, 1)->text() + " " + r->grid()->item(1, 2)->text() + ", " +
                  r->grid()->item(2, 1)->text() + " " + r->grid()->item(2, 2)->text(),
              "17 100, 256 5000");
    // Entry 2 becomes "Current"; once deleted, "Current" names no reference.
    QTest::mouseClick(r->grid()->viewport(), Qt::LeftButton, {}, r->grid()->visualItemRect(r->grid()->item(1, 0)).center());
    EXPECT_EQ(r->currentElectrode()->text() + "/" + r->currentTime()->text(), "17/100");
    r->window()->findChild<QPushButton*>("DeleteButton")->click();
    EXPECT_EQ(std::tuple(r->currentElectrode()->text() + "/" + r->currentTime()->text(), r->grid()->rowCount()), std::tuple(QString("0/0"), 2));
    r->window()->findChild<QPushButton*>("OkButton")->click();
    EXPECT_EQ(std::tuple(t.s->RefElectrode, t.s->RefTime), std::tuple(0, 0));
}

TEST(UserMessages, PreferencesStopAtABadFirstFieldAndNameEveryRefusal) {
    Window t;
    t.w->action("Preferences1")->trigger();
    PreferencesDialog* p = t.w->preferencesDialog();
    QWidget* dialog = p->tabs()->window();
    ASSERT_TRUE(dialog->isVisible());
    auto edit = [&](const char* control) {
        const auto& f = PreferenceFields();
        for (size_t i = 0; i < f.size(); ++i)
            if (std::string(f[i].control) == control) return qobject_cast<QLineEdit*>(p->control(i));
        return static_cast<QLineEdit*>(nullptr);
    };
    auto ok = [&] { dialog->findChild<QPushButton*>("OKButton")->click(); };
    // A bad first field keeps the dialog open at that field, named in the message.
    edit("MinDiffValEdit1")->setText("-1x0");
    ok();
    EXPECT_EQ(std::tuple(dialog->isVisible(), p->tabs()->currentIndex(), t.s->Prefs.MinDiffLevel[1]), std::tuple(true, 0, -100));
    EXPECT_EQ(t.host.errors, std::vector<std::string>{"Slow Waves: Minimal Differentiated level: '-1x0' is not a valid integer value"});
    // 0 neighbours: a message, the dialog stays.
    edit("MinDiffValEdit1")->setText("-120");
    edit("NrNeighbours1")->setText("0");
    ok();
    EXPECT_EQ(std::tuple(dialog->isVisible(), p->tabs()->currentIndex(), t.host.messages.back()),
              std::tuple(true, 2, std::string("Nr of Neighbours required must not be 0 !")));
    edit("NrNeighbours1")->setText("2");
    edit("EndSimEdit")->setText("9000");
    ok();
    EXPECT_EQ(std::tuple(dialog->isVisible(), t.s->Prefs.MinDiffLevel[1], t.s->Prefs.ExpandNeighbours, t.s->Prefs.AnimEndTime),
              std::tuple(false, -120, 2, 9000));
}

TEST(UserMessages, TheAnalysisWindowKeepsWhatWasTypedWhenUpdateRefusesIt) {
    Window t;
    t.useGrid();
    t.w->action("AnalyseElg1")->trigger();
    AnalyseElgWindow* a = t.w->analyseElgWindow();
    auto typed = [&] { return a->edit(0)->text() + "|" + a->edit(1)->text() + "|" + a->edit(2)->text(); };
    QPushButton* update = a->paintBox()->window()->findChild<QPushButton*>("Update1");
    for (const char* width : {"3OO", "-5"}) {
        a->edit(0)->setText("-150");
        a->edit(1)->setText(width);
        update->click();
        EXPECT_EQ(std::tuple(typed(), t.s->Prefs.MinDiffLevel[1]), std::tuple(QString("-150|") + width + "|100", -100));
    }
    a->edit(1)->setText(" 250");
    update->click();
    EXPECT_EQ(std::tuple(typed(), t.s->Prefs.MinDiffLevel[1], t.s->Prefs.SearchWidth[1]), std::tuple(QString("-150|250|100"), -150, 250));
}

TEST(UserMessages, GotoChannelAfterAClickInTheMiniMapMovesTheTraces) {
    Window t;
    t.useGrid();
    t.w->action("ShowMiniMap1")->trigger();
    MiniMapWindow* mini = t.w->miniMap();
    mini->paintBox()->onMouseMove(33, 23);  // column 3, row 2: electrode 11
    mini->paintBox()->onClick(33, 23, false);
    EXPECT_EQ(std::tuple(t.s->StartCol, t.s->StartRow, ElectrodeOfRow(*t.s, 1)), std::tuple(3, 2, 11));
    // Ctrl+G with the mini map the active window: electrode 20 sits at column 4, row 3.
    mini->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(mini->window()));
    t.host.inputs = {std::string("20")};
    QTest::keyClick(mini->window(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(t.host.questions.back(), "Go To Signal Nr|Give new channel number:");
    EXPECT_EQ(std::tuple(t.s->FirstChannel, t.s->StartCol, t.s->StartRow, ElectrodeOfRow(*t.s, 1), ElectrodeOfRow(*t.s, 2)),
              std::tuple(20, 4, 3, 20, 21));
    // A channel not on the array moves the numbered orders only.
    t.host.inputs = {std::string("200")};
    t.w->action("GotoChannel1")->trigger();
    EXPECT_EQ(std::tuple(t.s->FirstChannel, t.s->StartCol, t.s->StartRow), std::tuple(200, 4, 3));
}

TEST(UserMessages, FileDialogsShowWholeHeadersAndNames) {
    Window t;
    const std::string name = "pig stomach serosa, 256 electrodes, second recording of the afternoon.E01";
    t.recording(name);
    QtDialogs dialogs(t.w.get());
    std::vector<std::string> cut;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d) return cut.push_back("no dialog");
        auto* view = d->findChild<QTreeView*>("treeView");
        if (!view) {
            d->reject();
            return cut.push_back("no detail view");
        }
        QHeaderView* h = view->header();
        const QFontMetrics names(view->font());
        const int wanted = names.horizontalAdvance(QString::fromStdString(name)) + view->iconSize().width();
        // The names come from the file system a little later.
        (void)QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) > 0 && h->sectionSize(0) >= wanted; }, 3000);
        if (h->sectionSize(0) < wanted) cut.push_back(name);
        for (int c = 0; c < h->count(); ++c) {
            const QString caption = view->model()->headerData(c, Qt::Horizontal).toString();
            if (!h->isSectionHidden(c) && h->sectionSize(c) < h->fontMetrics().horizontalAdvance(caption) + 8)
                cut.push_back(caption.toStdString());
        }
        d->reject();
    });
    dialogs.openFile("Open electrogram file", {{"E00 files", "*.E**"}}, 1, t.dir.file(""));
    EXPECT_EQ(cut, std::vector<std::string>{});
}

}  // namespace
}  // namespace vk
