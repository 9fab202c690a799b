// The editor's preview of an item: the picture of its tag, decoded from
// the data: URI through a scratch file, fitted into the preview canvas.
#pragma once

#include "image/dib.h"

// The size a w x h picture gets in a cw x ch canvas: scaled by the larger
// of the two ratios (so a small picture is enlarged), each side truncated
// and at most the canvas's.
void preview_fit(int w, int h, int cw, int ch, int* fitted_w, int* fitted_h);

// Paints the canvas (24-bit) black and, when the item's picture can be
// read, pastes it fitted and centred. `scratch_base` is the scratch file's
// path without extension ("…\$image"); ".jpg", ".gif", ".png" or ".bmp" is
// added by the picture's type. 1 when a picture was drawn.
int preview_render(PackedDib canvas, const char* tag, const char* scratch_base);
