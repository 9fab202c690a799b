// Grabbing the desktop into a 24-bit PackedDib.
#pragma once

#include <windows.h>

#include "capture/overlay_geometry.h"
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
// display scaling percentage is in force (the Scaling setting, only where
// the system scales the program's pixels: 1:1 for a DPI-aware program). The grab goes through a memory
// bitmap and a picture block that are kept from one capture to the next
// while the screen keeps its size (a start then makes and touches no new
// screen-sized memory); the picture is a block like any other, freed or
// handed back with grab_take_back.
PackedDib grab_for_capture();
// Takes back a picture capture mode is done with (unlocked): kept as the
// next grab's block when it has the kept size and none is kept yet, else
// freed. capture_release_screen hands the picture here.
void grab_take_back(PackedDib picture);
// Makes the kept bitmap and block for the screen as it is now and touches
// them, so that the first capture of the program starts as fast as the
// later ones (the main window's creation). Returns the kept block, which
// stays the grab's; null, with nothing done, during a capture or when the
// memory cannot be had.
PackedDib grab_prepare();
// Frees the kept bitmap and block (the main window's end, and at rest).
void grab_release_cache();
// A resident program should not hold screen-sized memory all day: the
// kept bitmap and block go when no capture has started for a while (the
// rest). grab_rest_arm (re)starts the main window's rest timer: when a
// capture ends, and after grab_prepare. grab_rest_timer handles the timer
// (false for any other); a capture under way keeps the memory, and its end
// arms the timer again. A capture within the rest keeps its speed.
void grab_rest_arm(HWND window);
bool grab_rest_timer(HWND window, WPARAM id);
// Copies `blit` of the picture that capture mode holds from the kept bitmap,
// limited to the picture as SetDIBitsToDevice limits it: a plain copy of
// pixels in the screen's format. False, with nothing drawn, when the held
// picture is not the one the bitmap shows (a resized grab, any other block).
bool grab_blit_shown(HDC dc, const DibBlit& blit);
