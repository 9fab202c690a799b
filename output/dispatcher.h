// What happens to a confirmed rectangle: crop, linked application, square
// shrink, end of capture, delivery, and remembering the selection.
#pragma once

#include <windows.h>

void output_selection(HWND owner);
