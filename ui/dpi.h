// The DPI a window is shown at, and the program's icons at that DPI. The
// functions of newer systems are looked up at run time; where they are
// missing the device context's LOGPIXELSY stands in.
#pragma once

#include <windows.h>

// The DPI of `window` (GetDpiForWindow), else of its device context; 96
// when neither answers.
int window_dpi(HWND window);
// The system's DPI (GetDpiForSystem, else the screen's device context), for
// what belongs to no one window: the tray icon.
int system_dpi();

// The icon resource `id` at its side for `dpi` (16x16 at 96), drawn for that
// size; the caller destroys it.
HICON load_icon_for_dpi(int id, int dpi);
// The caption's small icon side at `dpi` (SM_CXSMICON for that DPI).
int small_icon_metric(int dpi);

// The DPI a WM_DPICHANGED message brings.
inline int dpi_of_message(WPARAM wparam) { return HIWORD(wparam); }

