// GIF reader: the first image of a GIF87a or GIF89a file as an 8-bit
// PackedDib with the colour table in use (global, or the image's local one).
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/dib.h"

// Result codes of the reader.
constexpr int kGifReadFailed = -1;         // cannot read the file, too short, or far too
                                           // short for the image it announces
constexpr int kGifBadSignature = -3;       // not "GIF87a" / "GIF89a"
constexpr int kGifNoMemory = -6;
constexpr int kGifExtensionOverrun = -20;  // extension sub-blocks run past the end
constexpr int kGifNoImage = -21;           // trailer (or end of file) before any image
constexpr int kGifBadBlock = -22;          // unknown block introducer before the image
constexpr int kGifNoColourTable = -25;
constexpr int kGifZeroWidth = -26;
constexpr int kGifZeroHeight = -27;
constexpr int kGifBadCodeSize = -28;       // LZW minimum code size outside 2..11
constexpr int kGifBadFirstCode = -29;      // a first code above the clear code
constexpr int kGifBadCode = -30;           // a code's prefix is not in the table
constexpr int kGifUndefinedCode = -31;     // a code beyond the next free entry

// 0 with a new PackedDib in *out, or a negative code above with *out null.
int gif_read(PackedDib* out, const char* path);

// The same for a GIF already in memory (the bytes are copied, not kept).
int gif_read_memory(PackedDib* out, const uint8_t* data, size_t size);
