// Resampling and depth conversion of PackedDibs.
#pragma once

#include "image/dib.h"

// A new PackedDib of new_width x new_height with the source's depth:
// bilinear for 24-bit, nearest neighbour for 8-bit. Null for a null or
// unusable source, a size that is not positive, another depth, no memory,
// or when the message pump reports that the program is quitting. The source
// stays the caller's.
PackedDib dib_scale(PackedDib dib, int new_width, int new_height);

// A 24-bit image of the same size. Takes ownership of `dib`: a 24-bit image
// comes back as the same handle; a 1, 4, 8 or 32-bit one is converted into a
// new block and freed; on failure it is freed and null is returned.
PackedDib dib_to_24bit(PackedDib dib);
