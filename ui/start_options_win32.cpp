#include "ui/start_options.h"

#include "resources/resource_ids.h"
#include "ui/button_icons.h"
#include "ui/dpi.h"
#include "ui/caption_icon.h"
#include "ui/dialog.h"
#include "ui/guarded_proc.h"
#include "ui/place.h"

namespace {

const char kRectKey[] = "DialogRect3";

const ButtonIcon kButtons[] = {
    {IDOK, IDI_START_NOW},
    {IDC_START_DELAY3, IDI_START_DELAY3},
    {IDC_START_DELAY5, IDI_START_DELAY5},
};

struct StartOptionsState {
    // Set once the dialog exists: DialogBoxParamA reports some failures as
    // 0, which is also "capture at once".
    bool shown = false;
};

void on_init(HWND dialog, StartOptionsState* state) {
    state->shown = true;
    place_saved_or_at_cursor(dialog, kRectKey);
    dialog_icons_set(dialog, kButtons);
}

// Each button ends the dialog with the seconds to wait before capturing.
void on_command(HWND dialog, int id) {
    switch (id) {
        case IDOK:
            EndDialog(dialog, 0);
            break;
        case IDC_START_DELAY3:
            EndDialog(dialog, 3);
            break;
        case IDC_START_DELAY5:
            EndDialog(dialog, 5);
            break;
        case IDCANCEL:
            EndDialog(dialog, -1);
            break;
    }
}

void on_destroy(HWND dialog) {
    save_window_rect(dialog, kRectKey);
    destroy_caption_icon();
    button_icons_free(dialog, kButtons);
}

INT_PTR CALLBACK start_options_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    StartOptionsState* state = dialog_state<StartOptionsState>(dialog, message, lparam);
    if (!state) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            on_init(dialog, state);
            return TRUE;
        case WM_DPICHANGED:
            dialog_icons_set(dialog, kButtons, dpi_of_message(wparam));
            return FALSE;
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
    StartOptionsState state;
    const INT_PTR result =
        dialog_run(IDD_START_OPTIONS, owner, guarded_dialog_proc<start_options_proc>, &state);
    // A dialog that could not be created counts as cancelled.
    if (!state.shown) return -1;
    return result == 0 || result == 3 || result == 5 ? int(result) : -1;
}
