#include "ui/start_options.h"

#include "state/app_state.h"
#include "state/instance.h"
#include "resources/resource_ids.h"
#include "ui/button_icons.h"
#include "ui/caption_icon.h"
#include "ui/guarded_proc.h"
#include "ui/place.h"

namespace {

const char kRectKey[] = "DialogRect3";

// Set once the dialog exists: DialogBoxParam reports some failures as 0,
// which is also "capture at once".
bool dialog_shown = false;

struct ButtonIcon {
    int control;
    int icon;
    int result;  // seconds to wait before capturing
};
constexpr ButtonIcon kButtons[] = {
    {IDOK, IDI_START_NOW, 0},
    {IDC_START_DELAY3, IDI_START_DELAY3, 3},
    {IDC_START_DELAY5, IDI_START_DELAY5, 5},
};

void on_init(HWND dialog) {
    dialog_shown = true;
    place_saved_or_at_cursor(dialog, kRectKey);
    set_caption_icon(dialog);
    for (const ButtonIcon& b : kButtons) button_icon_set(dialog, b.control, b.icon);
}

void on_command(HWND dialog, int id) {
    if (id == IDCANCEL) {
        EndDialog(dialog, -1);
        return;
    }
    for (const ButtonIcon& b : kButtons)
        if (b.control == id) EndDialog(dialog, b.result);
}

void on_destroy(HWND dialog) {
    save_window_rect(dialog, kRectKey);
    destroy_caption_icon();
    for (const ButtonIcon& b : kButtons) button_icon_free(dialog, b.control);
}

INT_PTR CALLBACK start_options_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            on_init(dialog);
            return TRUE;
        case WM_COMMAND:
            on_command(dialog, LOWORD(wparam));
            return TRUE;
        case WM_DESTROY:
            on_destroy(dialog);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

int run_start_options(HWND owner) {
    HINSTANCE instance = app_instance();
    dialog_shown = false;
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_START_OPTIONS), owner,
                                     guarded_dialog_proc<start_options_proc>, 0);
    // A dialog that could not be created counts as cancelled.
    if (!dialog_shown) return -1;
    return result == 0 || result == 3 || result == 5 ? int(result) : -1;
}
