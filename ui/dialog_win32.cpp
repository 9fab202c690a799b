#include "ui/dialog.h"

#include "state/instance.h"

INT_PTR dialog_run(int template_id, HWND owner, DLGPROC proc, void* state) {
    return DialogBoxParamA(app_instance(), MAKEINTRESOURCEA(template_id), owner, proc,
                           reinterpret_cast<LPARAM>(state));
}

bool is_checked(HWND dialog, int control) {
    return IsDlgButtonChecked(dialog, control) == BST_CHECKED;
}

void set_checked(HWND dialog, int control, bool on) {
    CheckDlgButton(dialog, control, on ? BST_CHECKED : BST_UNCHECKED);
}

void check_one(HWND dialog, const int* group, size_t count, int control) {
    for (size_t i = 0; i < count; ++i) set_checked(dialog, group[i], group[i] == control);
}

bool in_group(const int* group, size_t count, int control) {
    for (size_t i = 0; i < count; ++i)
        if (group[i] == control) return true;
    return false;
}
