// The menu bar of a real window against its captions and keys written out
// in full: a caption mistyped in the menu table shows up here.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "support/WindowFixture.h"

namespace vk {
namespace {

// The items of a menu as "caption[key]", a submenu as "title{...}"; a key
// shown beside the caption only (taken by an earlier item) after a "~".
QString itemsOf(const QMenu* menu) {
    QStringList items;
    for (QAction* a : menu->actions()) {
        if (a->menu()) {
            items << a->menu()->title() + "{" + itemsOf(a->menu()) + "}";
            continue;
        }
        QString text = a->text().replace('\t', '~');
        if (!a->shortcut().isEmpty()) text += "[" + a->shortcut().toString() + "]";
        items << text;
    }
    return items.join('|');
}

TEST(MenuCaptions, EveryMenuItemKeyAndSubmenuAsWrittenOut) {
    test::Window t;
    const char* const expected[][2] = {
        {"About", nullptr},
        {"File",
         "Open File[Ctrl+O]|Save Marks+Connections[Ctrl+S]|Import{Connections|Electrogram file|Marks from .txt file}|"
         "Export{to Mac|to RealBasic|Electrogram to .txt|Marks to .txt file|Marks to Animation|Single Electrogram Marks|"
         "Data in Matrix Text File|All Marks in One Electrogram|Tavring File}|Print[Ctrl+P]|Print dialog ...|"
         "Quit[Ctrl+Q]|[F1]|[F2]|[F3]|[F4]|[F5]|||||"},
        {"General",
         "Update Displays[Ctrl+U]|Unhide Marks[Ctrl+Y]|Tile on[Ctrl+T]|Tile type{rectangle|square}|Begin Time[Ctrl+B]|"
         "Window[Ctrl+W]|Reference Table[Ctrl+R]|Next[Ctrl+N]|Previous[Ctrl+M]|Step Increment[Ctrl+E]|File Info|"
         "Preferences ...|Sampling Frequency (1000 Hz)|Change Matrix file|Change New matrix file|show Mini Window|"
         "Show Memo Window|smoothing (only NI files!)|Slow Wave~F1|Spike~F2|Type Mark 3~F3|show mark statistics|"
         "show Datapad|Calc Amplitudes + Slopes|Elg Wave settings"},
        {"Display A",
         "Time Map|Interval Map|Electrode Map|Count Map|Amplitude|Slope|Velocities|Mark nr|Electrograms|Analyse|"
         "Elg Waveforms|Begin Time|Window|Slow Wave|Spike|Mark Type 3"},
        {"Display B",
         "Time Map|Interval Map|Electrode Map|Count Map|Amplitude|Slope|Mark nr|Electrograms|Begin Time|Window|"
         "Slow wave|Spike|Mark Type 3"},
        {"Map",
         "hide Grid|hide colors|hide digits|change Isochrones[Ctrl+I]|plot Isochrones|plot Arrows|Reference Time|"
         "Show Map Statistics|Show MiniMap|Expand Map|remove Expand|show SW's + spikes"},
        {"Electrograms",
         "Undo Deleted Marks [Ctrl+V]|amplification[Ctrl+A]|number Channels[Ctrl+C]|goto Channel[Ctrl+G]|hide marks|"
         "hide times|show  SW intervals|show Spike intervals|hide background color|Average Offset Off|plot only dots|"
         "Plot Mark nr|+ zoom             Z|- zoom        [Ctrl+Z]|show amplitude + slope|Analyse Elg|Interpolate|"
         "Spike Stats[F10]|Automatic SW marking|Detect Activations...|Undo Detection"},
        {"Connections", "hide connections|Make Connections"},
        {"Waves",
         "Wave mode (2){time diff|mark nr}|goto wave nr ...|goto next wave[Ctrl+F12]|goto previous wave[Ctrl+F11]|"
         "show statistics|change Wave Difference[Ctrl+D]|Calculate Waves|composite wave map|Plot local times|"
         "automatic positioning"},
        {"Help", "frequent commands[Ctrl+H]"},
    };
    const QList<QAction*> bar = t.w->menuBar()->actions();
    ASSERT_EQ(bar.size(), static_cast<qsizetype>(std::size(expected)));
    for (qsizetype i = 0; i < bar.size(); ++i) {
        const auto& [title, items] = expected[i];
        EXPECT_EQ(bar[i]->text().toStdString(), title);
        EXPECT_EQ(bar[i]->menu() ? itemsOf(bar[i]->menu()).toStdString() : std::string(), items ? items : "") << title;
    }
}

}  // namespace
}  // namespace vk
