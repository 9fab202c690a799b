// Drawing on the capture overlay: marks by inversion (display mode 0), the
// magnifier, and the covered display (mode 1). Points are image (overlay
// client) coordinates. Each primitive takes and releases its own device
// context of g_app.capture.draw_window and reads the locked g_app.capture.screen_image.
#pragma once

#include "sys/handles.h"

void draw_crosshair(PixelPoint p);
void draw_frame(PixelPoint tl, PixelPoint br);
void draw_magnifier(PixelPoint p);
void restore_magnifier(PixelPoint p);
void paint_cover_top_left(PixelPoint p);
void paint_cover_rect(PixelPoint tl, PixelPoint br);
