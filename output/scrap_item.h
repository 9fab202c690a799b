// The <img> item of BASE64 output: the clipboard's text split into heading,
// link and text, and the item text with the picture as a Base64 data: URI.
// The scrap editor reads these items back, so the bytes are a format.
#pragma once

#include "image/dib.h"

// Heading, link and text taken from the clipboard's text; each a heap
// string (std::free) or null when absent or empty.
struct ClipboardParts {
    char* heading;
    char* link;
    char* text;
};

// Lines longer than this (from their "<" or "[") are not a heading or link.
constexpr int kPartLineLimit = 1024;

// Splits the clipboard's text: a first line "<heading>" and then a line
// "[link]" are taken off, the rest is the text. 0 when memory ran out
// (nothing is kept then).
int split_clipboard_text(const char* clipboard, ClipboardParts* parts);
void clipboard_parts_free(ClipboardParts* parts);

// The item text from its pieces: marker line, optional heading and link,
// the <img> tag with `mime` and `base64`, the wrap chosen by the Flags
// bits 0x1000 and 0x2000, and the text with its line ends as "<br>\r\n".
// A heap string, or null when memory ran out.
char* scrap_item_text(const char* marker, const char* heading, const char* link,
                      const char* text, const char* mime, const char* base64, int flags);

// Writes `image` to the scratch file "$image." + Output/Type in the data
// folder, reads it back, and builds the item for now. Null with the number
// of the message to show in *error (0: nothing to show).
char* build_scrap_item(const char* heading, const char* link, const char* text, PackedDib image,
                       int* error);
