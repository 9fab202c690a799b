// Placing small windows centred on the cursor, inside its monitor's work
// area (the taskbar left free), at the size they have on that monitor.
#pragma once

#include <windows.h>

void place_at_cursor(HWND window);
// Puts `window` back where its rectangle was saved under the Window key
// `key` (pulled onto the monitor it overlaps most), or at the cursor when
// nothing is saved there.
void place_saved_or_at_cursor(HWND window, const char* key);
// Saves `window`'s rectangle under the Window key `key`.
void save_window_rect(HWND window, const char* key);
