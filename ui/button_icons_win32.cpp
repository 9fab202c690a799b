#include "ui/button_icons.h"

#include "state/app_state.h"
#include "state/instance.h"

void button_icon_set(HWND dialog, int control, int icon_id) {
    HWND button = GetDlgItem(dialog, control);
    if (!button) return;
    HINSTANCE instance = app_instance();
    HANDLE icon = LoadImageA(instance, MAKEINTRESOURCEA(icon_id), IMAGE_ICON, 16, 16, 0);
    if (!icon) return;
    HANDLE old = reinterpret_cast<HANDLE>(
        SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
    if (old && old != icon) DestroyIcon(static_cast<HICON>(old));
}

void button_icon_free(HWND dialog, int control) {
    HWND button = GetDlgItem(dialog, control);
    if (!button) return;
    HANDLE icon = reinterpret_cast<HANDLE>(SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0));
    // The button is not handed a null picture first: the version 6 controls
    // draw a copy of the icon that the button frees only at its own end, and
    // replacing it would lose that copy each time the dialog opens. The
    // button ends with its dialog right after; it draws nothing until then.
    if (icon) DestroyIcon(static_cast<HICON>(icon));
}
