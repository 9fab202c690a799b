// The auto-closing notice, the keyboard help and text measurement.
#pragma once

#include <windows.h>

// Runs the notice dialog (template 105) owned by `owner`; it closes by
// itself once the cursor is off it, at the latest after 3.5 s. -1 once it
// has closed; 0 when it could not be shown.
INT_PTR show_notice(HWND owner, const char* caption, const char* text);
// The keyboard help, which stays until closed; owned by the open box, else
// by the main window.
void show_keyboard_help(HWND owner);
// Width and height of the text in the program's 12-pixel UI font, at `dpi`.
SIZE measure_text(const char* text, int length, HDC reference, int dpi);
