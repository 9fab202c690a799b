// The small program icon on dialog captions (one slot for the process).
#pragma once

#include <windows.h>

// At the caption's small icon size for `dpi`, or for the dialog's DPI when
// `dpi` is 0 (WM_DPICHANGED sets it again with the new DPI).
void set_caption_icon(HWND dialog, int dpi = 0);
void destroy_caption_icon();
