// The main menu: every menu and item with its caption, shortcut and name, in
// menu order. The window builds its menu bar from this table; the handlers
// are attached by name.
#pragma once

#include <vector>

namespace vk {

struct MenuItemDef {
    const char* menu;      // top-level menu caption, or nullptr for an item on the bar itself
    const char* submenu;   // submenu caption, or nullptr
    const char* caption;
    const char* shortcut;  // key sequence, or nullptr
    const char* name;      // object name of the item
};

const std::vector<MenuItemDef>& MainMenuTable();

// Which items bind their shortcut. When several items carry the same key,
// the first in menu order (left to right, top to bottom) takes it; the later
// ones only show the key beside their caption.
std::vector<bool> ShortcutOwners(const std::vector<MenuItemDef>& table);

}  // namespace vk
