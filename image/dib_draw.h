// Painting a PackedDib into a window during WM_PAINT.
#pragma once

#include <windows.h>

#include "image/dib.h"

// One image pixel per device pixel, limited to the paint's update rectangle.
void dib_draw(const PAINTSTRUCT* paint, PackedDib dib);
