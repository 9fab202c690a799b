// The output settings dialog of the tray menu: the output kind, the image
// format and quality, the file naming, the square, the clipboard text and,
// for BASE64 items, the wrap and the destination.
#pragma once

#include <windows.h>

// 0 after OK, -1 after cancel.
int output_settings_dialog(HWND owner);
