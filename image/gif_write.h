// GIF writer: a paletted PackedDib (1, 4 or 8 bits) as an interlaced GIF87a
// file, compressed in memory first and then written in one go.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/dib.h"

// 0 on success; -1 when the file cannot be created or a write fails; -4 when
// the image is not a paletted image with pixels that a GIF can hold; -6 when
// memory runs out. The file is created before anything else is checked, so a
// failed call may leave an empty or partial file. The PackedDib is only read.
int gif_write(PackedDib dib, const char* path);

// The LZW coder on its own: colour indices in, the GIF code stream (least
// significant bit first, no sub-block framing) out. Greedy LZW with a clear
// code whenever the table would pass code 4094. The string table is an
// open-addressing hash keyed by (prefix code, pixel), so the work is linear
// in the number of pixels and the table stays small.
struct GifLzw {
    uint32_t* slots;  // (prefix << 8 | pixel) << 12 | code; 0 = empty
    uint8_t* out;
    size_t out_size;
    size_t out_capacity;
    uint64_t bit_buffer;
    int bit_count;
    int min_code_size;
    unsigned max_pixel;
    int clear_code;
    int next_code;
    int code_width;
    int width_limit;
    int current;  // code of the current string; -1 before the first pixel
    int status;   // 0, or -4 (a pixel beyond the code size) / -6 (no memory)
};

// Prepares a coder for indices below 2^min_code_size (2..8) and emits the
// first clear code. 0, or -6 when memory cannot be had.
int gif_lzw_begin(GifLzw* lzw, int min_code_size);
// Feeds pixels in order; errors are kept in `status` until the finish.
void gif_lzw_feed(GifLzw* lzw, const uint8_t* pixels, size_t count);
// Flushes the last string and the end code. 0; -4 when no pixel was fed or
// one was out of range; -6 when memory ran out. The stream stays in `out`.
int gif_lzw_finish(GifLzw* lzw);
// Releases the table and the output buffer.
void gif_lzw_free(GifLzw* lzw);
