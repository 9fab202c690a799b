// The open-file and save-file dialogs of the settings, the output settings
// and the scrap choice. A chosen name that does not fit the 256-byte path
// (with the extension forced on it) is refused with message 13, and the
// path stays as it was.
#pragma once

#include <windows.h>

// Chooses the editor program: 1 when the user chose an existing file, its
// full path then in `path` (256 bytes, also the starting name).
int pick_program_file(char* path, HWND window);
// Chooses a file name to save under: `filter` holds NUL-separated pairs
// ending with an empty string; `ext` (or null) is forced on the chosen
// name. 1 when the user chose a name, its full path in `path` (256 bytes).
int pick_save_file(const char* title, const char* filter, HWND window, const char* ext,
                   char* path);
