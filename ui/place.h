// Placing small windows centred on the cursor, inside its monitor.
#pragma once

#include <windows.h>

void place_at_cursor(HWND window);
