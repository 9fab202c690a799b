// Icons on buttons: a dialog sets its table of button icons when it opens
// and frees them when it closes.
#pragma once

#include <windows.h>

#include <cstddef>

// The 16x16 icon resource `icon` on button `control`.
struct ButtonIcon {
    int control;
    int icon;
};

void button_icons_set(HWND dialog, const ButtonIcon* table, size_t count);
// Takes each icon back from its button and destroys it.
void button_icons_free(HWND dialog, const ButtonIcon* table, size_t count);

template <size_t N>
void button_icons_set(HWND dialog, const ButtonIcon (&table)[N]) {
    button_icons_set(dialog, table, N);
}
template <size_t N>
void button_icons_free(HWND dialog, const ButtonIcon (&table)[N]) {
    button_icons_free(dialog, table, N);
}
