// What every dialog procedure uses: the dialog's state record, its modal
// run, and its check boxes and radio groups.
#pragma once

#include <windows.h>

#include <cstddef>

// A dialog keeps what it works on in one record of its own. Its entry
// function makes the record and hands it to dialog_run; the procedure
// fetches it first thing with dialog_state, which keeps it in DWLP_USER at
// WM_INITDIALOG. Null for the few messages that come before WM_INITDIALOG
// (WM_SETFONT), which the procedure then leaves alone.
template <typename State>
State* dialog_state(HWND dialog, UINT message, LPARAM lparam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lparam);
    return reinterpret_cast<State*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// Runs the modal dialog of template `template_id` from the program's
// resources with `state` as its record. What EndDialog gave; 0 or -1 when
// the dialog could not be made (DialogBoxParamA's failures).
INT_PTR dialog_run(int template_id, HWND owner, DLGPROC proc, void* state = nullptr);

bool is_checked(HWND dialog, int control);
void set_checked(HWND dialog, int control, bool on);
// Checks `control` and unchecks every other member of its group.
void check_one(HWND dialog, const int* group, size_t count, int control);
bool in_group(const int* group, size_t count, int control);
template <size_t N>
void check_one(HWND dialog, const int (&group)[N], int control) {
    check_one(dialog, group, N, control);
}
template <size_t N>
bool in_group(const int (&group)[N], int control) {
    return in_group(group, N, control);
}
