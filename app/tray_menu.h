// The tray icon's menu and its commands.
#pragma once

#include <windows.h>

#include "app/tray_menu_items.h"

// Builds, shows and carries out the menu for the tray icon of `owner`.
void tray_menu(HWND owner);
// 1 to capture now (after the chosen wait), 0 not to capture.
int start_options(HWND owner);
// Puts the text of the clipboard through the editor program; 1 when the
// clipboard was replaced by the edited text.
int edit_clipboard_text(HWND owner);
