// The start-options dialog before a delayed capture.
#pragma once

#include <windows.h>

// 0, 3 or 5 (seconds to wait before capturing), or -1 when cancelled.
int run_start_options(HWND owner);
