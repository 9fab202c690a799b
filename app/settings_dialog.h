// The settings dialog of the tray menu: constraints, box options, the
// hotkey (registered again at once), the primary monitor, display scaling
// and the editor program.
#pragma once

#include <windows.h>

// 0 after OK, -1 after cancel.
int settings_dialog(HWND owner);
