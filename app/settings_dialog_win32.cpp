#include "app/settings_dialog.h"

#include <shlobj.h>

#include <cstdio>
#include <string>

#include "app/hotkey.h"
#include "app/settings_logic.h"
#include "capture/constraint_menus.h"
#include "capture/constraints.h"
#include "resources/resource_ids.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/warnings.h"
#include "sys/files.h"
#include "ui/button_icons.h"
#include "ui/dpi.h"
#include "ui/caption_icon.h"
#include "ui/command_gate.h"
#include "ui/dialog.h"
#include "ui/file_pickers.h"
#include "ui/guarded_proc.h"
#include "ui/hints.h"
#include "ui/path_tail.h"
#include "ui/place.h"

namespace {

const HintEntry kSettingsHints[] = {
    {IDC_SET_ASPECT_TEXT, "切り取る矩形の縦横比を表示する"},
    {IDC_SET_ASPECT, "切り取る矩形の縦横比を変更する"},
    {IDC_SET_WIDTH_TEXT, "切り取る矩形の横幅を表示する"},
    {IDC_SET_WIDTH, "切り取る矩形の横幅を変更する"},
    {IDC_SET_SHIFT, "<Shift>キーをホットキーに組み合わせます"},
    {IDC_SET_CTRL, "<Ctrl>キーをホットキーに組み合わせます"},
    {IDC_SET_ALT, "<Alt>キーをホットキーに組み合わせます"},
    {IDC_SET_KEY, "ホットキーとして英字一文字か、\n1～12のファンクションキーを表す数値を入力します"},
    {IDC_SET_PRIMARY, "プライマリーモニターのみをTambleの範囲とします\nセカンダリーモニターがプライマリーモニターの上か、\n左側にある場合設定します"},
    {IDC_SET_SCALING, "Windowsの設定でスケーリングをOnにしている場合、\nそのスケーリング値を設定します\n設定しない場合は100にします"},
    {IDC_SET_AUTO_BOX, "左上座標と右下座標の入力時に\nそれぞれのボックスを表示します"},
    {IDC_SET_LARGE_BOXES, "大きいダイアログボックスを使うようにします"},
    {IDC_SET_SEPARATE_RECTS, "左上と右下座標入力のボックス位置を別々に記憶するようにします"},
    {IDC_SET_EDITOR, "HTMLファイルを編集するプログラム名を表示します"},
    {IDC_SET_EDITOR_PICK, "HTMLファイルを編集するプログラムを設定します"},
    {0, nullptr},
};

const ButtonIcon kButtons[] = {
    {IDC_SET_ASPECT, IDI_DROP_DOWN},
    {IDC_SET_WIDTH, IDI_DROP_DOWN},
    {IDC_SET_EDITOR_PICK, IDI_DROP_DOWN},
};

struct FlagBox {
    int control;
    int flag;
};
const FlagBox kFlagBoxes[] = {
    {IDC_SET_PRIMARY, kFlagPrimaryOnly},
    {IDC_SET_AUTO_BOX, kFlagAutoOpenBox},
    {IDC_SET_LARGE_BOXES, kFlagLargeBoxes},
    {IDC_SET_SEPARATE_RECTS, kFlagSeparateBoxRects},
};

struct SettingsDialogState {
    // The dialog's working copy of Option/Editor, stored at OK.
    char editor_path[kPathSize] = {};
    // The chooser, the menu and the picker run their own loops.
    CommandGate commands;
};

void show_editor_path(HWND dialog, const SettingsDialogState& state) {
    SetDlgItemTextA(dialog, IDC_SET_EDITOR, path_tail(state.editor_path).c_str());
}

void show_constraints(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_SET_ASPECT_TEXT, aspect_text(g_app.aspect).c_str());
    SetDlgItemTextA(dialog, IDC_SET_WIDTH_TEXT, width_text(g_app.fixed_width).c_str());
}

void on_init(HWND dialog, SettingsDialogState* state) {
    place_at_cursor(dialog);
    char caption[64];
    std::snprintf(caption, sizeof caption, "設定 - %s", kAppCaption);
    SetWindowTextA(dialog, caption);
    dialog_icons_set(dialog, kButtons);
    attach_hints(dialog, kSettingsHints);
    show_constraints(dialog);
    const int vk = settings_read_int(kSectionOption, "HotkeyVK", 0);
    const int mod = settings_read_int(kSectionOption, "HotkeyMOD", 0);
    SetDlgItemTextA(dialog, IDC_SET_KEY, hotkey_key_text(vk).c_str());
    set_checked(dialog, IDC_SET_SHIFT, mod & kModShift);
    set_checked(dialog, IDC_SET_CTRL, mod & kModCtrl);
    set_checked(dialog, IDC_SET_ALT, mod & kModAlt);
    for (const FlagBox& b : kFlagBoxes) set_checked(dialog, b.control, g_app.flags & b.flag);
    SetDlgItemInt(dialog, IDC_SET_SCALING, UINT(g_app.scaling_percent), FALSE);
    settings_read_string(kSectionOption, "Editor", state->editor_path, sizeof state->editor_path);
    show_editor_path(dialog, *state);
}

void on_pick_editor(HWND dialog, SettingsDialogState* state) {
    char* path = state->editor_path;
    if (!path[0]) {
        char programs[MAX_PATH] = {};
        SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE);
        std::snprintf(path, kPathSize, "%s\\無題.exe", programs);
    }
    int chosen;
    {
        const HintsOff hints_off;
        chosen = pick_program_file(path, dialog);
    }
    if (chosen) {
        show_editor_path(dialog, *state);
    } else if (!fs_exists(path)) {
        path[0] = '\0';
        show_editor_path(dialog, *state);
    }
}

// The hotkey step of OK; false when the dialog is to stay open.
bool apply_hotkey(HWND dialog) {
    const int mod = (is_checked(dialog, IDC_SET_SHIFT) ? kModShift : 0) |
                    (is_checked(dialog, IDC_SET_CTRL) ? kModCtrl : 0) |
                    (is_checked(dialog, IDC_SET_ALT) ? kModAlt : 0);
    char text[4] = {};
    GetDlgItemTextA(dialog, IDC_SET_KEY, text, sizeof text);
    const int vk = hotkey_key_from_text(text);
    if (vk == kHotkeyBadKey || (vk && !mod)) {
        show_warning(dialog, kMsgBadHotkey);
        return false;
    }
    hotkey_unregister();
    if (!vk) return true;  // none now; the stored one returns at the next start
    if (!hotkey_register(mod, vk)) {
        show_warning(dialog, kMsgHotkeyTaken);
        return false;
    }
    settings_write_int(kSectionOption, "HotkeyVK", vk);
    settings_write_int(kSectionOption, "HotkeyMOD", mod);
    return true;
}

void on_ok(HWND dialog, const SettingsDialogState& state) {
    if (!apply_hotkey(dialog)) return;
    char scaling[16] = {};
    GetDlgItemTextA(dialog, IDC_SET_SCALING, scaling, sizeof scaling);
    g_app.scaling_percent = scaling_from_text(scaling);
    settings_write_int(kSectionWindow, "Scaling", g_app.scaling_percent);
    for (const FlagBox& b : kFlagBoxes) {
        if (is_checked(dialog, b.control))
            g_app.flags |= b.flag;
        else
            g_app.flags &= ~b.flag;
    }
    settings_write_string(kSectionOption, "Editor", state.editor_path);
    EndDialog(dialog, 0);
}

void on_cancel(HWND dialog) {
    // A refused OK may have taken the hotkey away.
    if (!g_app.hotkey_id) hotkey_register_stored();
    EndDialog(dialog, -1);
}

void on_command(HWND dialog, SettingsDialogState* state, int id) {
    switch (id) {
        case IDOK:
            on_ok(dialog, *state);
            break;
        case IDCANCEL:
            on_cancel(dialog);
            break;
        case IDC_SET_ASPECT:
            if (choose_aspect()) show_constraints(dialog);
            break;
        case IDC_SET_WIDTH:
            width_menu(dialog, IDC_SET_WIDTH_TEXT);
            break;
        case IDC_SET_EDITOR_PICK:
            on_pick_editor(dialog, state);
            break;
    }
}

void on_destroy(HWND dialog) {
    destroy_caption_icon();
    button_icons_free(dialog, kButtons);
    detach_hints(dialog);
}

INT_PTR CALLBACK settings_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    SettingsDialogState* state = dialog_state<SettingsDialogState>(dialog, message, lparam);
    if (!state) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            on_init(dialog, state);
            return TRUE;
        case WM_DPICHANGED:
            dialog_icons_set(dialog, kButtons, dpi_of_message(wparam));
            return FALSE;
        case WM_COMMAND:
            gate_run(&state->commands, wparam,
                     [dialog, state](uintptr_t c) { on_command(dialog, state, LOWORD(c)); });
            return TRUE;
        case WM_DESTROY:
            on_destroy(dialog);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

int settings_dialog(HWND owner) {
    SettingsDialogState state;
    return int(dialog_run(IDD_SETTINGS, owner, guarded_dialog_proc<settings_proc>, &state));
}
