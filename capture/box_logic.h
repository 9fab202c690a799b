// What the coordinate boxes show and copy, apart from the window system:
// the corner texts, the colour under a corner and the colour sample.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "capture/overlay_geometry.h"
#include "sys/handles.h"

// "x,y" of a point, and "w,h" of the rectangle between two inclusive corners.
std::string point_text(PixelPoint p);
std::string size_text(PixelPoint top_left, PixelPoint bottom_right);

// The colour (COLORREF: red in the low byte) of image pixel p; 0 when p is
// outside the image (the caller keeps its previous colour then).
int image_pixel(const ImageView& image, PixelPoint p, uint32_t* colour);
// "rrggbb" in lower-case hexadecimal.
std::string colour_text(uint32_t colour);

// The colour sample's picture: an 8x8 24-bit bitmap of one colour at 3780
// pixels per metre (header and rows, as the clipboard's CF_DIB holds it).
constexpr size_t kColourSampleBlockSize = 256;
constexpr int kColourSampleSide = 8;
constexpr int kColourSamplePixelsPerMetre = 3780;
void colour_sample_dib(uint32_t colour, uint8_t block[kColourSampleBlockSize]);

// The key under which a box keeps its window rectangle: the bottom-right
// box has its own when the option asks for separate positions.
const char* box_rect_key(bool bottom_right, int flags);
