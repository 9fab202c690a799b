// The width menu, the aspect chooser, the size menu and the small dialogs
// that type a width, a ratio or a rectangle size. All are modal, without
// an owner window unless said, and open at the cursor.
#pragma once

#include <windows.h>

// The width menu of button 1011: changes fixed_width and Window/Width and
// shows the new width text in `text_control` of `owner`.
void width_menu(HWND owner, int text_control);
// The aspect chooser panel: -1 (left alone, cancelled) or an aspect value.
int aspect_chooser();
// The aspect buttons of the top-left box and the settings dialog: runs the
// chooser (hints off meanwhile) and stores a new choice in aspect and
// Window/Aspect at once. 1 when the aspect changed.
int choose_aspect();
// -1 or a width of 16..2000.
int custom_width_dialog();
// -1 or a custom aspect value; the sides are kept in Custom/w and Custom/h.
int custom_aspect_dialog();
// The size menu of the bottom-right box's button 1013.
void size_menu(HWND box);
// Types a rectangle size and posts it to the main window: 0, or -1.
int size_dialog();
// The current rectangle's size as width and ratio constraint (silently
// nothing when a side is outside 16..2000).
void remember_current_size();
