// PNG files: thin drivers over libspng (with zlib).
//
// Written files are 8-bit RGB (colour type 2) without interlace, alpha or
// any ancillary chunk but pHYs (only when the picture has densities). Any
// valid PNG is read: palette, grey, grey with alpha, RGB, RGBA, 1 to 16
// bits, interlaced, with or without tRNS. Transparency is composited on
// black and 16-bit samples are rounded to 8 bits.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/dib.h"

constexpr int kPngErrFile = -1;     // no data; cannot open, create or write the file
constexpr int kPngErrLock = -2;     // cannot lock, or block smaller than its header and rows
constexpr int kPngErrFormat = -3;   // not a 24-bit bottom-up picture (writer)
constexpr int kPngErrDamaged = -4;  // not a PNG, or one the library refuses as damaged
constexpr int kPngErrMemory = -6;   // over the size limit, or memory ran out

// Writes a 24-bit PackedDib to `path`. 0 on success, else a negative code;
// a file the writer could not finish is removed, so no half-written
// picture is ever left under the name.
int png_write_dib(PackedDib dib, const char* path);

// Reads a PNG file into a new 24-bit PackedDib (owned by the caller).
// 0 on success; a negative code with `*out` null on failure.
int png_read_dib(const char* path, PackedDib* out);

// The same on bytes in memory. Pictures whose pixel block, or the buffer an
// interlaced picture is decoded into first, would exceed `max_bytes` give
// kPngErrMemory before any pixel is decoded.
int png_read_dib_memory(const uint8_t* data, size_t size, size_t max_bytes, PackedDib* out);
