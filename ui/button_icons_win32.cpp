#include "ui/button_icons.h"

#include "ui/dpi.h"

namespace {

void set_icon(HWND dialog, const ButtonIcon& b, int dpi) {
    HWND button = GetDlgItem(dialog, b.control);
    if (!button) return;
    HICON icon = load_icon_for_dpi(b.icon, dpi);
    if (!icon) return;
    HANDLE old = reinterpret_cast<HANDLE>(
        SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
    if (old && old != icon) DestroyIcon(static_cast<HICON>(old));
}

void free_icon(HWND dialog, int control) {
    HWND button = GetDlgItem(dialog, control);
    if (!button) return;
    HANDLE icon = reinterpret_cast<HANDLE>(SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0));
    // The button is not handed a null picture first: the version 6 controls
    // draw a copy of the icon that the button frees only at its own end, and
    // replacing it would lose that copy each time the dialog opens. The
    // button ends with its dialog right after; it draws nothing until then.
    if (icon) DestroyIcon(static_cast<HICON>(icon));
}

}  // namespace

void button_icons_set(HWND dialog, const ButtonIcon* table, size_t count, int dpi) {
    if (dpi <= 0) dpi = window_dpi(dialog);
    for (size_t i = 0; i < count; ++i) set_icon(dialog, table[i], dpi);
}

void button_icons_free(HWND dialog, const ButtonIcon* table, size_t count) {
    for (size_t i = 0; i < count; ++i) free_icon(dialog, table[i].control);
}
