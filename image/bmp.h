// BMP files: written as a 14-byte file header followed by the whole PackedDib
// block; read with the 40-byte and the OS/2 12-byte headers, 1/4/8/24 bits
// as they are and 16/32 bits (plain or bit fields) converted to 24 bits.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/dib.h"

// Result codes of the readers.
constexpr int kBmpOk = 0;
constexpr int kBmpErrFile = -1;    // cannot be opened, or shorter than its headers say
constexpr int kBmpErrFormat = -3;  // header size, compression or bit depth not accepted
constexpr int kBmpErrMemory = -6;

// 1 on success, 0 on failure. Sets biSizeImage to 0 in the caller's block
// (as BMP files carry it) and writes the block's full size, spare bytes too.
int bmp_write(PackedDib dib, const char* path);

// 0 with a new PackedDib in *out, or a negative code with *out null.
int bmp_read(const char* path, PackedDib* out);

// The same for a file already in memory (a bare bitmap without the "BM"
// header is accepted too, as in the file case).
int bmp_read_memory(const uint8_t* data, size_t size, PackedDib* out);
