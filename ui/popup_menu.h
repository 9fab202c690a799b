// Popup menus at the cursor: the tray menu, the scrap editor's item menu
// and the boxes' width and size menus. Their items are built apart from
// the window system, so that the rules of which items show are tested
// natively.
#pragma once

#include <string>
#include <vector>

#include "sys/handles.h"

// A popup menu's item in order.
struct MenuEntry {
    int id;
    std::string text;
    bool separator;
    bool checked;
};

inline MenuEntry menu_item(int id, const std::string& text, bool checked = false) {
    return MenuEntry{id, text, false, checked};
}
inline MenuEntry menu_separator() { return MenuEntry{-1, std::string(), true, false}; }

// The menu was not shown: the cursor's position is unknown (a locked or
// secure desktop, where nothing may open at an arbitrary place) or the
// menu could not be made. Nothing was offered, so nothing was dismissed.
constexpr int kMenuNotShown = -1;

// Shows `entries` at the cursor and returns the chosen id, 0 when the menu
// was closed without a choice, or kMenuNotShown. With `to_foreground` the
// owner comes to the foreground first, as a menu of a window that is not
// active needs to take the keys and to close on a click elsewhere.
int popup_menu_run(WindowHandle owner, const std::vector<MenuEntry>& entries,
                   bool to_foreground = false);
