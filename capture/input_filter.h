// The one input filter of a capture: keys, the wheel and mouse buttons on
// the overlay, the coordinate boxes and their controls become selection
// requests. It only posts messages and toggles mode bits.
#pragma once

#include <windows.h>

// 1 when the message has become a request (the caller returns at once and
// the message gets no further processing), else 0.
int box_input_filter(UINT message, WPARAM wparam, HWND window, LPARAM lparam);
