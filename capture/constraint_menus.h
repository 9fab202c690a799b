// The width menu, the aspect chooser, the size menu and the small dialogs
// behind them that type a width, a ratio or a rectangle size. All are
// modal, without an owner window unless said, and open at the cursor.
#pragma once

#include <windows.h>

// The width menu of a box's or the settings dialog's width button: a new
// choice changes the width constraint at once and shows its text in
// `text_control` of `owner`.
void width_menu(HWND owner, int text_control);
// The aspect buttons of the top-left box and the settings dialog: runs the
// aspect chooser (hints off meanwhile) and makes a new choice the aspect
// constraint at once. 1 when the aspect changed.
int choose_aspect();
// The size menu of the bottom-right box's size button.
void size_menu(HWND box);
// The current rectangle's size as width and ratio constraint (silently
// nothing when a side is outside 16..2000).
void remember_current_size();
