// What a new user meets in the real window, offscreen: boxes that open above
// the window that asked, refusals that say why, fields that keep what was
// typed, tool windows that follow the panels, and texts that show whole.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include "desktop/ElectrogramToolsWindow.h"
#include "desktop/MainWindow.h"
#include "desktop/MiniWindows.h"
#include "desktop/PanelWidget.h"
#include "desktop/PreferencesDialog.h"
#include "desktop/QtDialogs.h"
#include "desktop/ReferenceTableWindow.h"
#include "desktop/TitleBar.h"
#include "electrograms/TraceDisplay.h"
#include "input/DemoRecording.h"
#include "marks/MarkStore.h"
#include "marks/ReferenceTable.h"
#include "shell/Commands.h"
#include "shell/ViewCommands.h"
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

TEST(UserMessages, ReferenceTableChoosesByNumberTakesElectrodes17To256AndForgetsADeletedCurrent) {
    Window t;
    t.s->SignalLength = 5000;
    t.s->CurrentElectrode = 40;
    AddMarkRecord(*t.s, 1234, Reference, 1);
    t.w->action("ReferenceTable1")->trigger();
    ReferenceTableWindow* r = t.w->referenceTable();
    ASSERT_TRUE(r->window()->isVisible());
    EXPECT_TRUE(r->window()->windowFlags() & Qt::WindowStaysOnTopHint);
    auto rows = [&] {
        QStringList out;
        for (int i = 0; i < r->grid()->rowCount(); ++i)
            out << r->grid()->item(i, 0)->text() + " " + r->grid()->item(i, 1)->text() + " " + r->grid()->item(i, 2)->text();
        return out.join(", ");
    };
    auto current = [&] { return r->currentElectrode()->text() + "/" + r->currentTime()->text(); };
    EXPECT_EQ(rows(), "Nr 1 0 0, Nr 2 40 1234");
    // A number out of range beeps and says so; "Insert" waits for an edit.
    r->numberEdit()->selectAll();
    QTest::keyClicks(r->numberEdit(), "3");
    EXPECT_EQ(std::tuple(t.host.beeps, t.host.messages, r->insertButton()->isEnabled()),
              std::tuple(1, std::vector<std::string>{InvalidRefText}, false));
    QTest::keyClicks(r->timeEdit(), "5");
    EXPECT_TRUE(r->insertButton()->isEnabled());
    // Typing 2 makes entry 2 the candidate; OK applies it and hides the window.
    r->numberEdit()->selectAll();
    QTest::keyClicks(r->numberEdit(), "2");
    EXPECT_EQ(current(), "40/1234");
    r->window()->findChild<QPushButton*>("OkButton")->click();
    EXPECT_EQ(std::tuple(r->window()->isVisible(), t.s->RefTime, t.s->RefElectrode), std::tuple(false, 1234, 40));
    EXPECT_EQ(t.w->statusLabels()[2]->toolTip(), "Ref electrode =40");

    t.w->action("ReferenceTable1")->trigger();
    for (auto [electrode, time] : {std::tuple("16", "100"), {"17", "100"}, {"257", "200"}, {"256", "5000"}}) {
        r->electrodeEdit()->setText(electrode);
        r->timeEdit()->setText(time);
        r->insertButton()->setEnabled(true);
        r->insertButton()->click();
    }
    EXPECT_EQ(std::vector(t.host.messages.begin() + 1, t.host.messages.end()),
              std::vector<std::string>(2, "Electrode Number must be in the 17 - 256 range !"));
    EXPECT_EQ(rows(), "Nr 1 0 0, Nr 2 40 1234, Nr 3 17 100, Nr 4 256 5000");
    // Entry 3 becomes "Current"; once deleted, "Current" names no reference.
    QTest::mouseClick(r->grid()->viewport(), Qt::LeftButton, {}, r->grid()->visualItemRect(r->grid()->item(2, 0)).center());
    EXPECT_EQ(current(), "17/100");
    r->window()->findChild<QPushButton*>("DeleteButton")->click();
    EXPECT_EQ(std::tuple(current(), r->grid()->rowCount()), std::tuple(QString("0/0"), 3));
    r->window()->findChild<QPushButton*>("OkButton")->click();
    EXPECT_EQ(std::tuple(t.s->RefElectrode, t.s->RefTime), std::tuple(0, 0));
}

TEST(UserMessages, PreferencesAreFilledFromTheSettingsAndStopAtABadFieldNamingIt) {
    Window t;
    t.s->Prefs.ExpandNeighbours = 4;
    t.w->action("Preferences1")->trigger();
    PreferencesDialog* p = t.w->preferencesDialog();
    QWidget* dialog = p->tabs()->window();
    ASSERT_TRUE(dialog->isVisible());
    QStringList tabs;
    for (int i = 0; i < p->tabs()->count(); ++i) tabs << p->tabs()->tabText(i);
    EXPECT_EQ(dialog->windowTitle() + ": " + tabs.join(","),
              "Preference Settings for Vorelkant2: Automatic Markings,Electrograms,Map,Velocities,Animation,Intervals");
    auto edit = [&](const char* control) { return dialog->findChild<QLineEdit*>(control); };
    EXPECT_EQ(edit("NrNeighbours1")->text() + "," + edit("EndSimEdit")->text(), "4,");
    EXPECT_FALSE(edit("WidthEdit3")->isVisibleTo(dialog));
    auto ok = [&] { dialog->findChild<QPushButton*>("OKButton")->click(); };
    // A bad field keeps the dialog open at that field, named in the message.
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
    // The fields before a bad one are taken.
    edit("NrNeighbours1")->setText("2");
    edit("StepTimeEdit")->setText("250");
    edit("EditMaxIntervalVal")->setText("7e3");
    ok();
    EXPECT_EQ(std::tuple(t.s->Prefs.AnimStepTime, dialog->isVisible(), p->tabs()->currentIndex(),
                         dialog->focusWidget() == edit("EditMaxIntervalVal"), t.host.errors.back()),
              std::tuple(250, true, 5, true, std::string("Maximal Interval Value: '7e3' is not a valid integer value")));
    edit("EditMaxIntervalVal")->setText("7000");
    edit("EndSimEdit")->setText("9000");
    ok();
    EXPECT_EQ(std::tuple(dialog->isVisible(), t.s->Prefs.MinDiffLevel[1], t.s->Prefs.ExpandNeighbours, t.s->Prefs.AnimEndTime,
                         t.s->Prefs.MaxIntervalValue),
              std::tuple(false, -120, 2, 9000, 7000));
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

// What a user reads must show whole: the tiled window, with a map in panel
// A and electrograms in panel B, grabbed at two screen sizes; the texts of
// the title bars, the scale-bar label and the input boxes are measured with
// the fonts they are drawn in.
// The dark pixels of rows y0..y1 of an image: their leftmost and rightmost x.
std::pair<int, int> inkColumns(const QImage& image, int y0, int y1) {
    int lo = image.width(), hi = -1;
    for (int y = std::max(0, y0); y <= std::min(image.height() - 1, y1); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                lo = std::min(lo, x);
                hi = std::max(hi, x);
            }
    return {lo, hi};
}

void expectTextFits(const QLabel* label) {
    const QFontMetrics m(label->font());
    EXPECT_LE(m.horizontalAdvance(label->text()), label->contentsRect().width())
        << label->objectName().toStdString() << ": " << label->text().toStdString();
    EXPECT_LE(m.height(), label->height()) << label->objectName().toStdString();
}

TEST(TextsFit, TitleBarsScaleLabelAndInputBoxesAtTwoScreenSizes) {
    test::TempDir dir;
    const DemoFiles demo = WriteDemoRecording(dir.file("demo"));
    for (const QSize size : {QSize(1600, 1000), QSize(1280, 800)}) {
        SCOPED_TRACE(size.width());
        auto s = std::make_unique<SessionState>();
        s->DataRoot = dir.file("root");
        test::ScriptedHost host;
        MainWindow w(*s, &host);
        w.resize(size);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        ASSERT_TRUE(OpenFromCommandLine(w.ctx(), demo.matrix, demo.recording));
        TitleBar* a = w.titleBar(1);
        QTest::mouseClick(a->button("T"), Qt::LeftButton);
        QTest::mouseClick(a->button("Map"), Qt::LeftButton);
        w.action("Spike2")->trigger();  // the blue bar of the complaint
        QApplication::processEvents();
        // The mouse over a cell of the map and over a trace of panel B gives
        // the longest live captions.
        QTest::mouseMove(w.paintBox(1), QPoint(s->MapLeft + 3 * s->CellWidth / 2, s->MapTop + 3 * s->CellHeight / 2));
        QTest::mouseMove(w.paintBox(2), QPoint(s->PlotLeft + 200, s->PlotTop + 30));
        ASSERT_EQ(std::tuple(s->DisplayTypeA, s->DisplayTypeB), std::tuple(0, 1));
        const QImage shot = w.grab().toImage();
        ASSERT_EQ(shot.size(), w.size());

        // Every control of both bars lies inside its bar, and every text
        // there is white bold and whole.
        for (int panel : {1, 2}) {
            TitleBar* bar = w.titleBar(panel);
            const QRect inside(0, 0, bar->width(), bar->height());
            for (QWidget* c : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (!c->isVisible()) continue;
                EXPECT_TRUE(inside.contains(c->geometry())) << c->objectName().toStdString() << " at " << c->y()
                                                            << " height " << c->height();
            }
            for (QLabel* l : {bar->markNrLabel(), bar->captionLabel()}) {
                EXPECT_TRUE(l->font().bold());
                EXPECT_EQ(l->palette().color(QPalette::WindowText), QColor(Qt::white));
                if (l->isVisible()) expectTextFits(l);
            }
            for (QToolButton* b : bar->findChildren<QToolButton*>())
                if (b->isVisible() && b->arrowType() == Qt::NoArrow) {
                    EXPECT_LE(QFontMetrics(b->font()).horizontalAdvance(b->text()), b->width()) << b->text().toStdString();
                }
            QComboBox* order = bar->traceOrderBox();
            if (order->isVisible()) {
                EXPECT_GE(order->width(), order->sizeHint().width());
            }
        }
        EXPECT_TRUE(w.titleBar(2)->markNrLabel()->isVisible());
        EXPECT_EQ(w.titleBar(2)->captionLabel()->text().toStdString(), s->CaptionB);
        for (QLabel* l : w.statusLabels()) expectTextFits(l);

        // The scale-bar label of panel B, in the rows below the plot: all
        // of its ink shows, clear of the panel's black frame.
        const std::string label = "1.000 mV";
        QtCanvas& canvas = w.canvasB();
        const QRect paint(w.paintBox(2)->mapTo(&w, QPoint(0, 0)), w.paintBox(2)->size());
        const QRect below(paint.right() - 120, paint.top() + s->PlotHeight + 5, 120, canvas.textHeight(label));
        const auto [lo, hi] = inkColumns(shot.copy(below), 0, below.height() - 1);
        ASSERT_GE(hi, 0);  // some ink, and none in the last column
        EXPECT_LT(hi, below.width() - 1);
        EXPECT_GE(hi - lo + 1, canvas.textWidth(label) - 4);

        // Side by side the bars are half as wide: a caption too long even
        // at the smallest size shows its start and is whole in its tooltip.
        SetTileType(w.ctx(), false);
        QApplication::processEvents();
        for (int panel : {1, 2}) {
            QLabel* caption = w.titleBar(panel)->captionLabel();
            const QFontMetrics m(caption->font());
            EXPECT_GE(caption->font().pixelSize(), 10);
            if (m.horizontalAdvance(caption->text()) > caption->width()) {
                EXPECT_EQ(caption->toolTip(), caption->text());
                EXPECT_EQ(caption->font().pixelSize(), 10);
            }
        }

        // The input boxes show their whole caption and prompt.
        for (const auto& [caption, prompt] :
             {std::pair<QString, QString>{"Window Time Display A", "Give new window:"},
              {"Amplification Electrograms ", "Give new value:"}}) {
            const auto box = QtDialogs::makeInputBox(&w, caption, prompt, "4000");
            box->show();
            QFont bold = box->font();
            bold.setBold(true);
            EXPECT_GE(box->width(), QFontMetrics(bold).horizontalAdvance(caption) + QtDialogs::TitleBarExtras)
                << caption.toStdString();
            for (QLabel* l : box->findChildren<QLabel*>()) expectTextFits(l);
            box->close();
        }
    }
}

}  // namespace
}  // namespace vk
