// JPEG files: thin drivers over libjpeg.
//
// Written files are baseline JFIF (fast integer DCT, 4:2:0, standard
// Huffman tables, density unit 0 with densities 1) followed by the four
// bytes "c-NR" after the EOI marker.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "image/dib.h"

// Codes of our own; the library's fatal errors come back as their message
// code (positive when writing, negated when reading).
constexpr int kJpegErrLock = -2;         // cannot lock, or block smaller than its header
constexpr int kJpegErrNoStream = -3;     // null stream given to the writer
constexpr int kJpegErrPlanes = 15;
constexpr int kJpegErrCompression = 16;
constexpr int kJpegErrPalette = 14;
constexpr int kJpegErrDepth = 13;
constexpr int kJpegErrEmpty = 23;
constexpr int kJpegErrTooLarge = 27;
constexpr int kJpegMaxSide = 65500;

constexpr int kJpegErrFile = -1;         // cannot open, size or read; too short
constexpr int kJpegErrMemory = -6;
constexpr int kJpegErrColourSpace = -50; // neither grayscale nor RGB (CMYK, YCCK)

// Compresses an 8- or 24-bit PackedDib at `quality` (1..100) into `stream`,
// a file opened "wb". The stream belongs to the writer from the call on and
// is closed on every path. 0 on success, nonzero on failure; a partly
// written file stays on disk.
int jpeg_write_dib(PackedDib dib, int quality, std::FILE* stream);

// Reads a JPEG file into a new 24-bit PackedDib (owned by the caller).
// 0 on success; a negative code with `*out` null on failure.
int jpeg_read_dib(const char* path, PackedDib* out);

// The decoder behind jpeg_read_dib, on bytes already in memory. Pictures
// whose pixel block would exceed `max_bytes` give kJpegErrMemory; the
// library's own working memory is held to the same limit.
int jpeg_read_dib_memory(const uint8_t* data, size_t size, size_t max_bytes, PackedDib* out);
