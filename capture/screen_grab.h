// Grabbing the desktop into a 24-bit PackedDib.
#pragma once

#include <windows.h>

#include "image/dib.h"

// screen_rect for a capture: the desktop window's rectangle with Flags 0x8
// (primary monitor only), else the union of all monitors (which always
// contains the point (0, 0)).
void update_screen_rect();
// The screen area between two corners, both inclusive, in either order, in
// desktop coordinates; null for areas under 16 pixels in either direction,
// palette displays and failures.
PackedDib grab_screen(int x1, int y1, int x2, int y2);
// The same, copying only what lies inside `clip` (right and bottom
// exclusive); the rest stays black.
PackedDib grab_screen_clipped(int x1, int y1, int x2, int y2, const PixelRect& clip);
// A device-dependent bitmap as a 24-bit PackedDib; null for 8 bits or less.
PackedDib bitmap_to_dib24(HDC dc, HBITMAP bitmap);
// The whole screen_rect, brought to the program's coordinate space when a
// display scaling percentage is in force.
PackedDib grab_for_capture();
