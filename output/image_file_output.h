// Image file output: the picture as a numbered JPEG, GIF or BMP file in the
// output folder, with the clipboard's text beside it when so set.
#pragma once

#include <windows.h>

#include "image/dib.h"

// 1 on success (Output/Number then advances); 0 after the user has been
// told what failed, or declined to overwrite. Frees the image on every path.
int image_file_output(HWND owner, PackedDib image);
