#include "ui/popup_menu.h"

#include <windows.h>

int popup_menu_run(HWND owner, const std::vector<MenuEntry>& entries, bool to_foreground) {
    POINT at;
    if (!GetCursorPos(&at)) return kMenuNotShown;
    HMENU menu = CreatePopupMenu();
    if (!menu) return kMenuNotShown;
    for (const MenuEntry& e : entries) {
        if (e.separator)
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu, MF_STRING | (e.checked ? MF_CHECKED : 0), UINT_PTR(e.id),
                        e.text.c_str());
    }
    if (to_foreground) SetForegroundWindow(owner);
    const int id =
        int(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
    // The menu of a background window closes properly only after the owner
    // has had a message of its own.
    if (to_foreground) PostMessageA(owner, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return id;
}
