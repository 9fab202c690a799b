// The output settings dialog's rules apart from the window system: the
// path tails its read-only fields show, the number fields, and which
// controls each output kind enables.
#pragma once

#include <string>

// Output folder (ends with a backslash): its last two folder names when
// that is shorter than kPathTailLimit bytes, else its last one, else the whole path.
// (The scrap file's field shows ui/path_tail.h's tail.)
std::string folder_tail(const char* path);

// Square: a number of 64 and up, anything else 0 (no square).
int square_from_text(const char* text);
// JPEG quality: not a number gives kDefaultQuality (output/image_writer.h);
// 30..100 is fine. 0 with *quality,
// else the number of the message to show (9).
int quality_from_text(const char* text, int* quality);
// File number: not a number gives 1.
int file_number_from_text(const char* text);

enum class OutputKind { kNone, kFile, kClipboard, kBase64 };
// Whether control `id` is enabled for `kind` (kNone: left as it is, -1).
int output_control_enabled(OutputKind kind, int id);
