// The colour chooser and the colour swatch of owner-drawn buttons.
#pragma once

#include <windows.h>

// 1 with *colour set when the user chose one, 0 when cancelled.
int choose_color(COLORREF* colour, HWND owner);
void draw_swatch(const DRAWITEMSTRUCT* item, COLORREF colour);
