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
    // Shortcut text shown beside the caption without binding the key (the
    // key belongs to an earlier item).
    const char* shownKey = nullptr;
};

const std::vector<MenuItemDef>& MainMenuTable();

}  // namespace vk
