#include "capture/constraint_menus.h"

#include <commctrl.h>

#include <iterator>
#include <string>
#include <vector>

#include "capture/constraints.h"
#include "resources/resource_ids.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/warnings.h"
#include "state/window_messages.h"
#include "ui/button_icons.h"
#include "ui/dialog.h"
#include "ui/dpi.h"
#include "ui/guarded_proc.h"
#include "ui/hints.h"
#include "ui/menu_guard.h"
#include "ui/place.h"
#include "ui/popup_menu.h"

namespace {

void set_fixed_width(HWND owner, int text_control, int width) {
    constraint_set_width(width);
    SetDlgItemTextA(owner, text_control, width_text(width).c_str());
}

// The number in an edit field, -1 when it is not one.
long long field_number(HWND dialog, int control) {
    char text[32] = {};
    GetDlgItemTextA(dialog, control, text, sizeof text);
    return parse_unsigned(text);
}

void set_spin(HWND dialog, int spin, int value) {
    SendDlgItemMessageA(dialog, spin, UDM_SETRANGE32, kConstraintMin, kSpinMax);
    SendDlgItemMessageA(dialog, spin, UDM_SETPOS32, 0, value);
}

// Width (and height) checked as the user reads them: message 3 or 4 and the
// dialog stays. True with the values when both are fine.
bool checked_sides(HWND dialog, bool with_height, int* w, int* h) {
    long long width = field_number(dialog, IDC_EDIT_WIDTH);
    if (!constraint_value_ok(width)) {
        show_warning(dialog, kMsgBadWidth);
        return false;
    }
    *w = int(width);
    if (!with_height) return true;
    long long height = field_number(dialog, IDC_EDIT_HEIGHT);
    if (!constraint_value_ok(height)) {
        show_warning(dialog, kMsgBadHeight);
        return false;
    }
    *h = int(height);
    return true;
}

// The three small dialogs share one template layout and one procedure.
enum class SidesDialog { kWidth, kAspect, kSize };
struct SidesState {
    SidesDialog kind;
};

void on_sides_init(HWND dialog, SidesDialog kind) {
    place_at_cursor(dialog);
    const PixelPoint tl = g_app.capture.top_left, br = g_app.capture.bottom_right;
    if (kind == SidesDialog::kWidth) {
        set_spin(dialog, IDC_SPIN_WIDTH, g_app.fixed_width);
        SetDlgItemInt(dialog, IDC_EDIT_WIDTH, UINT(g_app.fixed_width), FALSE);
        return;
    }
    const bool aspect = kind == SidesDialog::kAspect;
    const int w = aspect ? settings_read_int(kSectionCustom, "w", kCustomDefault) : br.x - tl.x + 1;
    const int h = aspect ? settings_read_int(kSectionCustom, "h", kCustomDefault) : br.y - tl.y + 1;
    set_spin(dialog, IDC_SPIN_WIDTH, w);
    set_spin(dialog, IDC_SPIN_HEIGHT, h);
    SetDlgItemInt(dialog, IDC_EDIT_WIDTH, UINT(w), FALSE);
    SetDlgItemInt(dialog, IDC_EDIT_HEIGHT, UINT(h), FALSE);
}

void on_sides_ok(HWND dialog, SidesDialog kind) {
    int w = 0, h = 0;
    if (!checked_sides(dialog, kind != SidesDialog::kWidth, &w, &h)) return;
    if (kind == SidesDialog::kWidth) {
        EndDialog(dialog, w);
    } else if (kind == SidesDialog::kAspect) {
        settings_write_int(kSectionCustom, "w", w);
        settings_write_int(kSectionCustom, "h", h);
        EndDialog(dialog, custom_aspect(w, h));
    } else {
        PostMessageA(g_app.main_window, UM_SET_SIZE, WPARAM(w - 1), LPARAM(h - 1));
        EndDialog(dialog, 0);
    }
}

INT_PTR CALLBACK sides_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    const SidesState* state = dialog_state<SidesState>(dialog, message, lparam);
    if (!state) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            on_sides_init(dialog, state->kind);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDCANCEL)
                EndDialog(dialog, -1);
            else if (LOWORD(wparam) == IDOK)
                on_sides_ok(dialog, state->kind);
            return TRUE;
    }
    return FALSE;
}

// The width and the ratio dialog: -1 when cancelled, else the width or the
// ratio's aspect value. A dialog that could not be made (0 from
// DialogBoxParamA, never a width or ratio) counts as cancelled too; the size
// dialog ends with 0 itself.
int run_sides_dialog(int template_id, SidesDialog kind) {
    SidesState state{kind};
    const INT_PTR result =
        dialog_run(template_id, nullptr, guarded_dialog_proc<sides_proc>, &state);
    return int(result == 0 && kind != SidesDialog::kSize ? -1 : result);
}

int custom_width_dialog() { return run_sides_dialog(IDD_CUSTOM_WIDTH, SidesDialog::kWidth); }

int custom_aspect_dialog() { return run_sides_dialog(IDD_CUSTOM_ASPECT, SidesDialog::kAspect); }

// Types a rectangle size and posts it to the main window.
void size_dialog() { run_sides_dialog(IDD_SIZE, SidesDialog::kSize); }

// Each ratio's icon beside its button, at the size of the panel's DPI.
const ButtonIcon kChooserIcons[] = {
    {IDC_CHOOSER_16_9, IDI_ASPECT_16_9}, {IDC_CHOOSER_3_2, IDI_ASPECT_3_2},
    {IDC_CHOOSER_4_3, IDI_ASPECT_4_3},   {IDC_CHOOSER_1_1, IDI_ASPECT_1_1},
    {IDC_CHOOSER_3_4, IDI_ASPECT_3_4},   {IDC_CHOOSER_2_3, IDI_ASPECT_2_3},
};

INT_PTR CALLBACK chooser_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            row_icons_set(dialog, kChooserIcons, std::size(kChooserIcons));
            place_at_cursor(dialog);
            SetTimer(dialog, kPopupTimerId, kPopupTimerMs, nullptr);
            SetFocus(GetDlgItem(dialog, chooser_button_for(g_app.aspect)));
            return FALSE;  // the focus is set
        case WM_TIMER: {
            // The panel goes away by itself once the pointer has left it.
            RECT r;
            POINT c;
            if (GetWindowRect(dialog, &r) && GetCursorPos(&c) && !PtInRect(&r, c))
                EndDialog(dialog, -1);
            return TRUE;
        }
        case WM_COMMAND: {
            const int id = LOWORD(wparam);
            if (id == IDCANCEL) {
                EndDialog(dialog, -1);
            } else if (id == IDC_CHOOSER_CUSTOM) {
                KillTimer(dialog, kPopupTimerId);
                EndDialog(dialog, custom_aspect_dialog());
            } else if (chooser_preset_for(id) >= 0) {
                EndDialog(dialog, chooser_preset_for(id));
            }
            return TRUE;
        }
        case WM_DPICHANGED:
            row_icons_set(dialog, kChooserIcons, std::size(kChooserIcons), dpi_of_message(wparam));
            return FALSE;
        case WM_DESTROY:
            KillTimer(dialog, kPopupTimerId);
            row_icons_free(dialog, kChooserIcons, std::size(kChooserIcons));
            return TRUE;
    }
    return FALSE;
}

// The aspect chooser panel: -1 (left alone, cancelled) or an aspect value.
int aspect_chooser() {
    return int(dialog_run(IDD_ASPECT_CHOOSER, nullptr, guarded_dialog_proc<chooser_proc>));
}

}  // namespace

void width_menu(HWND owner, int text_control) {
    if (!menu_guard_allows()) return;
    const HintsOff hints_off;
    const int id = popup_menu_run(owner, width_menu_entries());
    if (id == kMenuNotShown) {
        // Nothing was offered, so nothing was dismissed either.
    } else if (id == 0) {
        menu_guard_note();
    } else if (id == kWidthMenuFree) {
        set_fixed_width(owner, text_control, 0);
    } else if (id == kWidthMenuCustom) {
        int width = custom_width_dialog();
        if (width > 0) set_fixed_width(owner, text_control, width);
    } else {
        set_fixed_width(owner, text_control, id);
    }
}

int choose_aspect() {
    int chosen;
    {
        const HintsOff hints_off;
        chosen = aspect_chooser();
    }
    if (chosen < 0 || chosen == g_app.aspect) return 0;
    constraint_set_aspect(chosen);
    return 1;
}

void size_menu(HWND box) {
    char history[1024] = {};
    settings_read_string(kSectionWindow, "WH_His", history, sizeof history);
    if (!history[0] || !menu_guard_allows()) return;
    const std::vector<MenuEntry> entries =
        size_menu_entries(history, g_app.aspect, g_app.capture.capture_flags);
    if (entries.empty()) return;
    const int n = size_menu_entry_count(history);
    int entry = 0;
    SizeMenuChoice choice;
    {
        const HintsOff hints_off;
        const int id = popup_menu_run(box, entries);
        if (id == kMenuNotShown) return;
        choice = size_menu_choice(id, n, &entry);
        if (choice == SizeMenuChoice::kTypeSize) {
            size_dialog();
            return;
        }
    }
    int dw = 0, dh = 0;
    switch (choice) {
        case SizeMenuChoice::kToggleFixed:
            PostMessageA(box, WM_COMMAND, IDC_BOX_FIXED, 0);
            break;
        case SizeMenuChoice::kToggleAspect:
            PostMessageA(box, WM_COMMAND, IDC_BOX_ASPECT_RELEASE, 0);
            break;
        case SizeMenuChoice::kRememberSize:
            remember_current_size();
            break;
        case SizeMenuChoice::kEntry:
            if (size_entry_request(size_history_entry(history, entry), &dw, &dh))
                PostMessageA(g_app.main_window, UM_SET_SIZE, WPARAM(dw), LPARAM(dh));
            break;
        default:
            menu_guard_note();
            break;
    }
}

void remember_current_size() {
    int aspect = 0, width = 0;
    if (!remembered_size(g_app.capture.top_left, g_app.capture.bottom_right, &aspect, &width))
        return;
    constraint_set_aspect(aspect);
    constraint_set_width(width);
}
