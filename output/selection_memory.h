// The arithmetic of a confirmed selection: the crop rectangle, the shrink
// to the configured square, and what is remembered in section Window (x, y,
// w, h and the WH_His list of recently used sizes).
#pragma once

#include <string>

#include "image/dib.h"
#include "sys/handles.h"

// Squares below this side length disable the shrink.
constexpr int kSquareMin = 64;
// WH_His is read back through a buffer of this size.
constexpr int kSizeHistoryBufferSize = 1024;
// WH_His is never written longer than this (what the buffer reads back).
constexpr int kSizeHistoryMaxLength = kSizeHistoryBufferSize - 1;
// Entries kept in WH_His, the new one included.
constexpr int kSizeHistoryMaxEntries = 12;

// The crop rectangle (right and bottom exclusive) for the inclusive corners.
PixelRect selection_crop_rect(PixelPoint top_left, PixelPoint bottom_right);

// Whether an image of width x height is to be shrunk to `square`, and to
// what size: the longer side becomes `square`, the other keeps the aspect
// ratio rounded to nearest (never below one pixel). Returns 1 with the new
// size, 0 when the image stays as it is.
int selection_square_size(int width, int height, int square, int* new_width, int* new_height);

// The WH_His entry of a selection: its pixel width and height as "%d,%d".
std::string selection_history_entry(PixelPoint top_left, PixelPoint bottom_right);

// Puts `cur` at the front of the "@"-joined size list `old_text`. Returns 1
// with the text to write in *out, or 0 when the list is to stay as it is
// (cur is already its first entry). The text is at most
// kSizeHistoryMaxLength characters: whole entries are dropped from the end.
int selection_history_update(const char* old_text, const char* cur, std::string* out);

// Writes x, y, w, h (selection_save_corners) and the updated WH_His of a
// selection to the settings.
void selection_remember(PixelPoint top_left, PixelPoint bottom_right);
