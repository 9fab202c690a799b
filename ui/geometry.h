// Rectangle arithmetic of the monitor lookup.
#pragma once

#include "image/dib.h"

// Widens `acc` to include `r` (minimum left/top, maximum right/bottom).
void rect_widen(PixelRect* acc, const PixelRect& r);
