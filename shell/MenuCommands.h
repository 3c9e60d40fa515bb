// What each item of the main menu does, by the item's name: one line per
// item. An item that has no line here stays disabled in the menu, which is
// how a feature that is not built yet shows. Items whose command needs a
// window of the desktop (the tool windows, captions that follow a toggle)
// are wired by the main window itself.
#pragma once

#include <vector>

#include "session/Context.h"

namespace vk {

struct MenuCommand {
    const char* name;  // object name of the menu item
    void (*run)(Ctx&);
};

const std::vector<MenuCommand>& MenuCommands();

// The command of the item `name`, or nullptr when the item has none.
void (*MenuCommandOf(const char* name))(Ctx&);

}  // namespace vk
