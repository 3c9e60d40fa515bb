// How keys and menu items reach their operations in the real window: the
// first item in menu order takes a shared shortcut, items of features not
// built stay disabled, letters act only over the plot or map area in either case.
#include <gtest/gtest.h>

#include <QAction>
#include <QTest>

#include "desktop/MenuTable.h"
#include "desktop/PanelWidget.h"
#include "marks/MarkStore.h"
#include "shell/Commands.h"
#include "support/WindowFixture.h"

namespace vk {
namespace {

using test::Window;

TEST(KeyRouting, TheFirstItemInMenuOrderTakesASharedShortcut) {
    Window t;
    QStringList shownOnly;
    const auto owners = ShortcutOwners(MainMenuTable());
    for (size_t i = 0; i < owners.size(); ++i) {
        const MenuItemDef& def = MainMenuTable()[i];
        QAction* a = t.w->action(def.name);
        EXPECT_EQ(a->shortcut(), owners[i] ? QKeySequence(def.shortcut) : QKeySequence()) << def.name;
        if (def.shortcut && !owners[i]) shownOnly << a->text();
    }
    EXPECT_EQ(shownOnly.join("|"), "Slow Wave\tF1|Spike\tF2|Type Mark 3\tF3");

    // Only the items of features not built yet (and those that wait for
    // marks or a matrix) are disabled.
    QStringList disabled;
    for (const MenuItemDef& def : MainMenuTable())
        if (!t.w->action(def.name)->isEnabled()) disabled << def.name;
    EXPECT_EQ(disabled.join(","),
              "UnhideMarks1,ShowMiniWindow1,UndoDeletedMarks1,CompositeWaveMap1");
}

TEST(KeyRouting, ShortcutsAndLettersReachTheirOperations) {
    Window t;
    UseNewMatrix(*t.s, t.dir.write("m.txt", "-2\n4 4 1 1\n\n1 2 3 4\n"));
    const std::string second = t.recording("two.E01"), first = t.recording("one.E01");
    PushRecent(*t.s, "1", second);
    PushRecent(*t.s, "1", first);
    t.w->syncFromState();
    // F2 reopens recent file 2 (the newest is 1) and leaves the mark types alone.
    QTest::keyClick(t.w.get(), Qt::Key_F2);
    EXPECT_EQ(std::tuple(t.s->FileName, t.s->CurrentMarkType[1], t.s->CurrentMarkType[2]), std::tuple(second, 1, 1));
    t.w->action("Spike1")->trigger();  // the mouse reaches the General mark-type items
    EXPECT_EQ(std::tuple(t.s->CurrentMarkType[1], t.s->CurrentMarkType[2]), std::tuple(2, 2));

    QWidget* paint = t.w->paintBox(1);
    QApplication::processEvents();
    const QPoint inside(300, t.s->PlotTop + t.s->TraceSpacing / 2), outside(3, 3);
    t.s->CurrentElectrode = 1;
    AddMarkRecord(*t.s, 100, Spike, 1);
    t.s->WindowA = t.s->WindowAll = 100;
    struct Row {
        QPoint mouse;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int32_t window, marks;
        long deleted;
    };
    const int32_t w = t.s->WindowA;
    auto deleted = [&] { return std::count_if(&t.s->MarkTable[1], &t.s->MarkTable[1] + t.s->MarkCount, IsDeleted); };
    const Row rows[] = {
        {outside, Qt::Key_Z, Qt::ControlModifier, w * 2, 1, 0},  // Ctrl+Z: "- zoom" wherever the mouse is
        {outside, Qt::Key_K, Qt::NoModifier, w * 2, 1, 0},       // letters outside the plot: nothing
        {inside, Qt::Key_R, Qt::ShiftModifier, w * 2, 2, 0},     // upper case R: a reference mark
        {inside, Qt::Key_K, Qt::NoModifier, w * 2, 2, 1},        // k: the marks of the electrode go
    };
    for (const Row& r : rows) {
        t.s->CurrentElectrode = 1;
        QTest::mouseMove(paint, r.mouse);
        QTest::keyClick(t.w.get(), r.key, r.modifiers);
        EXPECT_EQ(std::tuple(t.s->WindowA, t.s->MarkCount, deleted()), std::tuple(r.window, r.marks, r.deleted))
            << r.key << " at " << r.mouse.x();
    }
    EXPECT_EQ(t.host.dialogs.size(), 0u);
}

}  // namespace
}  // namespace vk
