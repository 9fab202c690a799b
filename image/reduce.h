// Colour reduction of a 24-bit PackedDib to an 8-bit paletted one: a palette
// of at most 256 colours from a weighted histogram of 12-bit colour cells,
// then serpentine error diffusion onto it.
#pragma once

#include <cstdint>

#include "image/dib.h"

// One entry of a logical palette (PALETTEENTRY order: red, green, blue, flags).
struct LogPaletteEntry {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t flags;
};

// The LOGPALETTE layout: version 0x300, entry count, up to 256 entries.
struct LogPalette {
    uint16_t version;
    uint16_t count;
    LogPaletteEntry entry[256];
};
constexpr size_t kLogPaletteBlockSize = 1032;
static_assert(sizeof(LogPalette) <= kLogPaletteBlockSize, "LogPalette must fit its block");

// The 12-bit cell key of a colour: green nibble in bits 8..11, red in 4..7,
// blue in 0..3, each channel rounded to 4 bits (15 from 248 up).
int colour_key(int r, int g, int b);

// A cell's hue sector (0..5) and spread (max - min of its nibbles).
int colour_cell_sector(int key);
int colour_cell_spread(int key);

// The weighted histogram of a locked 24-bit image (first pass of palette
// selection); `weight` receives one value per cell key.
void colour_histogram(const DibHeader* image, int64_t weight[4096]);

// A movable block of kLogPaletteBlockSize bytes holding a LogPalette for the
// image, sorted by brightness with black first and white last; null when the
// image is not 24-bit or memory runs out. The caller frees it.
MemBlock select_palette(PackedDib dib);

// A new 8-bit PackedDib whose pixels are indices into `palette` (count
// entries of blue, green, red, 0), dithered from the 24-bit `dib`; null on
// failure. The block holds exactly header, colour table and index rows.
PackedDib dither_to_palette(const uint8_t* palette, int count, PackedDib dib);

// select_palette + dither_to_palette. The source stays unchanged and the
// caller's; the caller frees the result.
PackedDib reduce_to_8bit(PackedDib dib);
