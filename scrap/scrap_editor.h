// The scrap editor: the tray command "スクラップを編集する". Reads the current
// scrap, shows its items one at a time in the editor dialog and, after OK,
// writes the file anew; after Cancel the file is left untouched.
#pragma once

#include <windows.h>

// Returns once the dialog has ended and, after OK, the file is written; a
// scrap that cannot be read or written is told with its message.
void edit_scrap(HWND window);
