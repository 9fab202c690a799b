// The tray commands that make a new scrap or choose another one; both
// update Output/HtmlFile.
#pragma once

#include <windows.h>

// "新規のスクラップを作成する[+1]": a new scrap named after the current one
// with the next free number, which becomes the current scrap.
void new_numbered_scrap(HWND window);
// "新規のスクラップを作成/変更する": the user names a file; a scrap is taken
// as it is, a missing or nearly empty file becomes a new scrap, a file that
// cannot be read and any other page are refused.
void choose_scrap(HWND window);
