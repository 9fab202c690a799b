// Writing the final picture as a JPEG, GIF, BMP or PNG file, shared by the image
// file output and BASE64 output, and the numbered file names.
#pragma once

#include <cstddef>

#include "image/dib.h"

// Output/JpegQuality when none is stored or typed.
constexpr int kDefaultQuality = 80;

// The format names of Output/Type, compared case-sensitively.
extern const char kTypeJpeg[];  // "jpg"
extern const char kTypeGif[];   // "gif"
extern const char kTypeBmp[];   // "bmp"
extern const char kTypePng[];   // "png"

// The MIME type of a format name; null for anything else.
const char* image_mime_type(const char* type);

// Writes `image` (24 bits, only read) to `path` in the format `type`, JPEG
// at `quality`. 0 on success, else the number of the message that tells the
// user what failed: 8 unknown type, 16 GIF, 17 colour reduction, 18 JPEG,
// 19 BMP, 35 PNG. A failed write may leave a partial file, except for PNG,
// whose writer leaves none.
int image_write_as(PackedDib image, const char* type, const char* path, int quality);
// The message of a failed write in the format `type` (8 when unknown).
int image_write_failure(const char* type);

// Whether a file name prefix stays a plain part of one file name: no path
// separator or drive colon (which would put the file outside the output
// folder), none of <>"|?* or control characters, and no double-byte
// character cut in two. Double-byte characters are stepped over, so one
// whose second byte is 0x5C or 0x7C is fine.
int file_prefix_ok(const char* prefix);

// The numbered file name folder + prefix + "%05d." + type (six digits and
// more in full) into `out` of `size` bytes; a folder without its closing
// backslash gets one. 0 when it does not fit: a cut name would write some
// other file.
int image_file_name(const char* folder, const char* prefix, int number, const char* type,
                    char* out, size_t size);

// The companion text file's name: everything after the last "." of the
// image file's name replaced by "txt". 0 when there is no "." in the file
// name or the result does not fit.
int companion_text_name(const char* image_path, char* out, size_t size);
