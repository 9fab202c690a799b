// Opens documents that ship beside the program file with the shell.
#pragma once

#include <windows.h>

// Opens `name` from the program file's folder; warning 2 when the program's
// path has no folder.
void open_beside_program(HWND owner, const char* name);
// The user guide, "readme.html".
void open_readme();
