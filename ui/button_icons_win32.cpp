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

// The icon static whose vertical middle lies within the rows of `control`.
HWND static_beside(HWND dialog, int control) {
    RECT button;
    HWND b = GetDlgItem(dialog, control);
    if (!b || !GetWindowRect(b, &button)) return nullptr;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = "";
        RECT r;
        const bool icon_static = GetClassNameA(child, name, sizeof name) &&
                                 lstrcmpiA(name, "Static") == 0 &&
                                 (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
        if (!icon_static || !GetWindowRect(child, &r)) continue;
        const LONG middle = (r.top + r.bottom) / 2;
        if (middle >= button.top && middle < button.bottom) return child;
    }
    return nullptr;
}

// Marks a cell whose icon row_icons_set loaded: the template's own icon is
// one the system shares, never destroyed.
const char kRowIconProp[] = "Tamble row icon";

}  // namespace

void button_icons_set(HWND dialog, const ButtonIcon* table, size_t count, int dpi) {
    if (dpi <= 0) dpi = window_dpi(dialog);
    for (size_t i = 0; i < count; ++i) set_icon(dialog, table[i], dpi);
}

void button_icons_free(HWND dialog, const ButtonIcon* table, size_t count) {
    for (size_t i = 0; i < count; ++i) free_icon(dialog, table[i].control);
}

void row_icons_set(HWND dialog, const ButtonIcon* table, size_t count, int dpi) {
    if (dpi <= 0) dpi = window_dpi(dialog);
    for (size_t i = 0; i < count; ++i) {
        HWND cell = static_beside(dialog, table[i].control);
        HICON icon = cell ? load_icon_for_dpi(table[i].icon, dpi) : nullptr;
        if (!icon) continue;
        HICON old = reinterpret_cast<HICON>(SendMessageA(cell, STM_SETICON, WPARAM(icon), 0));
        if (old && old != icon && GetPropA(cell, kRowIconProp)) DestroyIcon(old);
        SetPropA(cell, kRowIconProp, HANDLE(1));
    }
}

void row_icons_free(HWND dialog, const ButtonIcon* table, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        HWND cell = static_beside(dialog, table[i].control);
        if (!cell || !RemovePropA(cell, kRowIconProp)) continue;
        if (HICON icon = reinterpret_cast<HICON>(SendMessageA(cell, STM_GETICON, 0, 0)))
            DestroyIcon(icon);
    }
}
