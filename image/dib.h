// PackedDib: one movable memory block holding a 40-byte bitmap information
// header, an optional colour table and bottom-up pixel rows padded to four
// bytes -- the layout of the clipboard's CF_DIB.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sys/handles.h"
#include "sys/memblock.h"

typedef MemBlock PackedDib;

// The BITMAPINFOHEADER layout, little-endian as stored.
struct DibHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(DibHeader) == 40, "DibHeader must match BITMAPINFOHEADER");

// Bytes added to the pixel rows when a block is sized: the 40-byte header
// and 24 spare zero bytes after the last row.
constexpr size_t kDibSpareBytes = 64;

// Padding bytes (0..3) after a row of `width` pixels at `bit_count` bits.
int dib_row_padding(int width, int bit_count);
// Row bytes without padding for the depths 1, 4, 8, 16, 24, 32; 0 otherwise.
int64_t dib_row_bytes(int width, int bit_count);
// Row bytes plus padding.
int64_t dib_stride(int width, int bit_count);

// Colour-table entries of a header; handles the 12-byte OS/2 core header.
uint32_t dib_palette_entries(const void* header);
// Colour-table size in bytes (3-byte entries for a core header).
uint32_t dib_palette_bytes(const void* header);

// Pointers into a locked block.
uint8_t* dib_palette_ptr(void* header);
uint8_t* dib_bits_ptr(void* header);
// The stored row at top-down row y of a locked 24-bit (or any depth) block.
uint8_t* dib_row_top_down(void* header, int y);

// Fills a plain header as the program builds it: 40 bytes, 1 plane, no
// compression, biSizeImage = stride x height, densities 0, and `colours` as
// both the used and the important colour count.
void dib_write_header(DibHeader* h, int width, int height, int bit_count, uint32_t colours);

PackedDib dib_create24(int width, int height);
PackedDib dib_crop24(PackedDib source, PixelRect* rect);
// `colour` is three bytes in pixel order: blue, green, red.
void dib_fill24(PackedDib dib, PixelRect* rect, const uint8_t colour[3]);
void dib_paste_centred24(PackedDib canvas, const PixelRect* rect, PackedDib image);
