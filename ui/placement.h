// Where small windows go: centred on the cursor, or back at a saved
// rectangle, always pulled inside one monitor's rectangle.
#pragma once

#include "state/app_state.h"
#include "image/dib.h"

// Top-left corner for `window` (only its size counts) centred on `cursor`
// inside `monitor`. Horizontally the left edge wins over the right one,
// vertically the bottom edge wins over the top one, so a window larger than
// the monitor ends at its left or bottom edge.
PixelPoint placement_at_cursor(const PixelRect& window, PixelPoint cursor,
                               const PixelRect& monitor);

// Top-left corner for a window saved at `saved`, clamped into `monitor`:
// right edge then left edge, bottom edge then top edge.
PixelPoint placement_saved(const PixelRect& saved, const PixelRect& monitor);

// A saved rectangle with no area (as an unset key reads) means "no saved
// position": the window is placed at the cursor instead.
bool placement_rect_empty(const PixelRect& rect);
