// Icons on buttons: a dialog sets its table of button icons when it opens
// and frees them when it closes.
#pragma once

#include <windows.h>

#include <cstddef>

#include "ui/caption_icon.h"

// The icon resource `icon` on button `control`, 16x16 at 96 DPI.
struct ButtonIcon {
    int control;
    int icon;
};

// Sets each icon at the size for `dpi`, or for the dialog's DPI when `dpi`
// is 0. Called again with the DPI of WM_DPICHANGED, it replaces the icons
// (the version 6 buttons then keep their copies of the old ones until they
// end: a move to a monitor of another DPI is rare).
void button_icons_set(HWND dialog, const ButtonIcon* table, size_t count, int dpi = 0);
// Takes each icon back from its button and destroys it.
void button_icons_free(HWND dialog, const ButtonIcon* table, size_t count);

template <size_t N>
void button_icons_set(HWND dialog, const ButtonIcon (&table)[N], int dpi = 0) {
    button_icons_set(dialog, table, N, dpi);
}
template <size_t N>
void button_icons_free(HWND dialog, const ButtonIcon (&table)[N]) {
    button_icons_free(dialog, table, N);
}

// Icons in the icon statics beside buttons (a template's cells without ids,
// as in the aspect chooser): `table` names each button and the icon of the
// static on its row, set at the size for `dpi` (0: the dialog's) over the
// template's own, and again with the DPI of WM_DPICHANGED.
void row_icons_set(HWND dialog, const ButtonIcon* table, size_t count, int dpi = 0);
// Destroys the icons row_icons_set gave.
void row_icons_free(HWND dialog, const ButtonIcon* table, size_t count);

// A dialog's caption icon and button icons at `dpi` (0: the dialog's own):
// set when it opens and again with the DPI of WM_DPICHANGED, whose other
// work (the dialog's size and font) the dialog leaves to the system.
template <size_t N>
void dialog_icons_set(HWND dialog, const ButtonIcon (&table)[N], int dpi = 0) {
    set_caption_icon(dialog, dpi);
    button_icons_set(dialog, table, N, dpi);
}
