// GIF reader: the first image of a GIF87a or GIF89a file as an 8-bit
// PackedDib with the colour table in use (global, or the image's local one).
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/dib.h"

// Result codes of the reader.
enum : int {
    kGifReadFailed = -1,         // cannot read the file, too short, or far too
                                 // short for the image it announces
    kGifBadSignature = -3,       // not "GIF87a" / "GIF89a"
    kGifNoMemory = -6,
    kGifExtensionOverrun = -20,  // extension sub-blocks run past the end
    kGifNoImage = -21,           // trailer (or end of file) before any image
    kGifBadBlock = -22,          // unknown block introducer before the image
    kGifNoColourTable = -25,
    kGifZeroWidth = -26,
    kGifZeroHeight = -27,
    kGifBadCodeSize = -28,       // LZW minimum code size outside 2..11
    kGifBadFirstCode = -29,      // a first code above the clear code
    kGifBadCode = -30,           // a code's prefix is not in the table
    kGifUndefinedCode = -31,     // a code beyond the next free entry
};

// 0 with a new PackedDib in *out, or a negative code above with *out null.
int gif_read(PackedDib* out, const char* path);

// The same for a GIF already in memory (the bytes are copied, not kept).
int gif_read_memory(PackedDib* out, const uint8_t* data, size_t size);
