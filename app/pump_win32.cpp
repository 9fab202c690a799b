#include "app/pump.h"

#include <windows.h>

int pump_messages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (msg.message == WM_QUIT) return 1;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return 0;
        if (msg.message == WM_QUIT) {
            PostMessageA(msg.hwnd, WM_QUIT, msg.wParam, msg.lParam);
            return 1;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
