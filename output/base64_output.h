// BASE64 output: the picture as an <img> item with a data: URI, to the
// clipboard as text or into the current scrap file.
#pragma once

#include <windows.h>

#include "image/dib.h"

// 1 when the item reached its destination; 0 after the user has been told
// what failed. The caller keeps the image.
int base64_output(HWND window, PackedDib image);
