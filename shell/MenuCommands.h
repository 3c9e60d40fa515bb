// What each item of the main menu does, by the item's name: one line per
// item. An item that has no line here stays disabled in the menu, which is
// how a feature that is not built yet shows. Items whose command needs a
// window of the desktop (the tool windows, captions that follow a toggle)
// are wired by the main window itself.
#pragma once

#include <string>
#include <vector>

#include "session/Context.h"

namespace vk {

struct MenuCommand {
    const char* name;  // object name of the menu item
    void (*run)(Ctx&);
};

const std::vector<MenuCommand>& MenuCommands();

// The buttons and the trace-order box of a panel's title bar: one line per
// button, given the panel (1 = A, 2 = B) and, for the box, the chosen item.
struct TitleButtonCommand {
    const char* button;
    void (*run)(Ctx&, int panel, int item);
};

const std::vector<TitleButtonCommand>& TitleButtonCommands();
void RunTitleButton(Ctx& ctx, const std::string& button, int panel, int item);

}  // namespace vk
