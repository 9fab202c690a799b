// Drawing on the capture overlay: marks by inversion (display mode 0), the
// magnifier, and the covered display (mode 1). Points are image (overlay
// client) coordinates. Each primitive takes and releases its own device
// context of g_app.capture.draw_window and reads the locked g_app.capture.screen_image.
// The picture's pixels come from the grab's kept bitmap when it shows the
// held picture (capture/screen_grab.h), else from the picture itself.
#pragma once

#include <windows.h>

#include "sys/handles.h"

void draw_crosshair(PixelPoint p);
void draw_frame(PixelPoint tl, PixelPoint br);
void draw_magnifier(PixelPoint p);
void restore_magnifier(PixelPoint p);
// The covered display. After a paint that showed the picture in one
// rectangle and the background colour everywhere else, the next paint
// repaints only the bands that change; anything else is painted whole.
void paint_cover_top_left(PixelPoint p);
void paint_cover_rect(PixelPoint tl, PixelPoint br);
// The overlay no longer shows what the painters left (a new capture, a
// repaint, or drawing by anyone else): the next covered display is
// painted whole.
void overlay_draw_forget();
// The picture 1:1 into `area` of a paint's device context.
void paint_picture(HDC dc, const RECT& area);
