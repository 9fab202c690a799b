// GIF writer: a paletted PackedDib (1, 4 or 8 bits) as an interlaced GIF87a
// file, compressed in memory first and then written in one go.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/dib.h"

// Result codes of the writer and of the LZW coder (0 is success).
constexpr int kGifWriteErrFile = -1;    // the file cannot be created, or a write fails
constexpr int kGifWriteErrImage = -4;   // not a paletted image whose pixels a GIF can hold
constexpr int kGifWriteErrMemory = -6;

// 0 on success or one of the codes above. The file is created before
// anything else is checked, so a failed call may leave an empty or partial
// file. The PackedDib is only read.
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
    int status;   // 0, kGifWriteErrImage (a pixel beyond the code size) or kGifWriteErrMemory
};

// Prepares a coder for indices below 2^min_code_size (2..8) and emits the
// first clear code. 0, or kGifWriteErrMemory (kGifWriteErrImage for a code
// size outside 2..8).
int gif_lzw_begin(GifLzw* lzw, int min_code_size);
// Feeds pixels in order; errors are kept in `status` until the finish.
void gif_lzw_feed(GifLzw* lzw, const uint8_t* pixels, size_t count);
// Flushes the last string and the end code. 0; kGifWriteErrImage when no
// pixel was fed or one was out of range; kGifWriteErrMemory when memory ran
// out. The stream stays in `out`.
int gif_lzw_finish(GifLzw* lzw);
// Releases the table and the output buffer.
void gif_lzw_free(GifLzw* lzw);
