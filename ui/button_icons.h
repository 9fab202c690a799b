// Icons on buttons: a dialog loads each button's icon when it opens and
// destroys it when it closes.
#pragma once

#include <windows.h>

// Loads icon resource `icon_id` at 16x16 and sets it on button `control`.
void button_icon_set(HWND dialog, int control, int icon_id);
// Destroys the button's icon as its dialog ends (WM_DESTROY).
void button_icon_free(HWND dialog, int control);
