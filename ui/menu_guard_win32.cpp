#include "ui/menu_guard.h"

#include <windows.h>

void menu_guard_note() {
    bool down = GetAsyncKeyState(VK_RBUTTON) < 0 || GetAsyncKeyState(VK_LBUTTON) < 0;
    menu_guard_record(&g_app, down, GetTickCount());
}

int menu_guard_allows() { return menu_guard_check(&g_app, GetTickCount()); }
