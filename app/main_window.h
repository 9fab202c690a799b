// The hidden main window: tray icon, hotkey, custom messages; during a
// capture the same window is the full-screen overlay.
#pragma once

#include <windows.h>

// Registers the window class; 0 on failure.
int main_window_register(HINSTANCE instance);
// Creates the window (top-most popup on `area`, no title) and leaves it
// hidden. Null when creation failed.
HWND main_window_create(HINSTANCE instance, const RECT& area);

int tray_add();
// One notification at the icon on the first start: the icon may sit in the
// notification area's overflow, where a new user would never find it.
void tray_show_first_start_notice();
// Adds the icon again after the shell has restarted.
void tray_restore();
void tray_remove();

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
