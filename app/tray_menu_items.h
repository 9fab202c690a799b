// The tray icon's menu apart from the window system: its items by the
// option bits, the start delays and the home page.
#pragma once

#include <cstdint>

// Command ids of the menu items.
enum TrayCommand {
    kCmdCloseMenu = 0,
    kCmdHomePage = 1,
    kCmdStartOptions = 2,
    kCmdExit = 5,
    kCmdSettings = 8,
    kCmdOutputSettings = 9,
    kCmdOpenOutputFolder = 10,
    kCmdOpenScrap = 11,
    kCmdEditScrap = 12,
    kCmdEditClipboardText = 13,
    kCmdNewNumberedScrap = 14,
    kCmdChooseScrap = 15,
    kCmdAbout = 21,
};

struct TrayMenuItem {
    int id;
    const char* text;  // null for a separator
};
constexpr int kTrayMenuMaxItems = 17;

// The items for the option bits `flags`, in menu order; returns the count.
int tray_menu_items(int flags, TrayMenuItem items[kTrayMenuMaxItems]);

// The wait before a capture for a start-options result: 0, 3000 or 5000
// ms, or -1 for no capture (cancelled, or the dialog could not be shown).
int start_delay_ms(int result);

// Where "Tambleのホームページ" leads. A plain file name is looked for beside
// the program (the user guide that ships with it); an address with a scheme
// is opened as it stands.
extern const char kHomePage[];
