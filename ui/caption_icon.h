// The small program icon on dialog captions (one slot for the process).
#pragma once

#include <windows.h>

void set_caption_icon(HWND dialog);
void destroy_caption_icon();
